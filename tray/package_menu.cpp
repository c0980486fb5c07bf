#include "tray/package_menu.h"

#include <stdlib.h>
#include <string.h>

#include "launch/launch_package.h"
#include "tray/launch_report.h"
#include "store/package_folder.h"
#include "store/package_names.h"

char* PackageNames[MAX_PACKAGES];

namespace {

// Stores the name without its suffix in PackageNames[index]; false when memory ran out.
bool StoreName(UINT index, const char* fileName, size_t nameLength)
{
    char* name = (char*)calloc(nameLength + 1, 1);
    if (!name)
        return false;
    memcpy(name, fileName, nameLength);
    free(PackageNames[index]);
    PackageNames[index] = name;
    return true;
}

}  // namespace

UINT FillPackageMenu(HMENU menu)
{
    char pattern[MAX_PATH];
    if (!PackagesPattern(pattern, sizeof pattern))
        return 0;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;

    UINT count = 0;
    do {
        size_t length = strnlen(found.cFileName, sizeof found.cFileName - 1);
        // Only a name that really carries the suffix gives a package name.
        if (length < PACKAGE_SUFFIX_LENGTH)
            continue;
        if (!StoreName(count, found.cFileName, length - PACKAGE_SUFFIX_LENGTH))
            break;
        char text[2 * MAX_PATH];
        MenuTextFor(PackageNames[count], text, sizeof text);
        AppendMenuA(menu, MF_STRING, IDM_PACKAGE_FIRST + count, text);
        ++count;
    } while (count < MAX_PACKAGES && FindNextFileA(search, &found));
    FindClose(search);
    return count;
}

bool MenuTextFor(const char* name, char* text, size_t size)
{
    size_t at = 0;
    for (; *name; ++name) {
        size_t needed = *name == '&' ? 2 : 1;
        if (at + needed >= size) {
            text[0] = '\0';
            return false;
        }
        if (*name == '&')
            text[at++] = '&';
        text[at++] = *name;
    }
    text[at] = '\0';
    return true;
}

void LaunchListedPackage(HWND window, UINT index)
{
    if (index >= MAX_PACKAGES || !PackageNames[index])
        return;
    char path[MAX_PATH];
    if (!PackagePathFor(PackageNames[index], path, sizeof path))
        return;
    LaunchFailures failures;
    LaunchPackageAt(path, &failures);
    ReportLaunchFailures(window, PackageNames[index], failures);
}

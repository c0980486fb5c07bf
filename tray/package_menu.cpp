// The package menu: one item per package file of the Packages folder, in file-system order.
#include "tray/tray_menu.h"

#include <stdlib.h>
#include <string.h>

#include "app/app_state.h"
#include "app/bounded_format.h"
#include "store/package_file.h"

char* PackageNames[MAX_PACKAGES];

namespace {

const size_t SUFFIX_LENGTH = 7;   // ".mwpack"

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
    if (!FormatBounded(pattern, sizeof pattern, "%s\\Packages\\*.mwpack", ExeFolder()))
        return 0;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;

    UINT count = 0;
    do {
        size_t length = strnlen(found.cFileName, sizeof found.cFileName - 1);
        // Only a name that really carries the suffix gives a package name.
        if (length < SUFFIX_LENGTH)
            continue;
        if (!StoreName(count, found.cFileName, length - SUFFIX_LENGTH))
            break;
        AppendMenuA(menu, MF_STRING, IDM_PACKAGE_FIRST + count, PackageNames[count]);
        ++count;
    } while (count < MAX_PACKAGES && FindNextFileA(search, &found));
    FindClose(search);
    return count;
}

void LaunchListedPackage(UINT index)
{
    if (index >= MAX_PACKAGES || !PackageNames[index])
        return;
    char path[MAX_PATH];
    if (!FormatBounded(path, sizeof path, "%s\\Packages\\%s.mwpack", ExeFolder(), PackageNames[index]))
        return;
    PackageFile* package = CreatePackageFile();
    if (!package)
        return;
    package->openAndLaunch(path);
    DestroyPackageFile(package);
}

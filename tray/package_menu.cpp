#include "tray/package_menu.h"

#include <stdlib.h>
#include <string.h>

#include "launch/launch_package.h"
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

struct MenuFill {
    HMENU menu;
    UINT count;
};

bool AppendPackage(const char* name, size_t length, void* context)
{
    MenuFill& fill = *(MenuFill*)context;
    if (!StoreName(fill.count, name, length))
        return false;
    char text[2 * MAX_PATH];
    MenuTextFor(PackageNames[fill.count], text, sizeof text);
    AppendMenuA(fill.menu, MF_STRING, IDM_PACKAGE_FIRST + fill.count, text);
    return ++fill.count < MAX_PACKAGES;
}

}  // namespace

UINT FillPackageMenu(HMENU menu)
{
    char folder[MAX_PATH];
    MenuFill fill = { menu, 0 };
    if (PackagesFolderPath(folder, sizeof folder))
        ForEachPackage(folder, AppendPackage, &fill);
    return fill.count;
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

void LaunchListedPackage(UINT index)
{
    if (index >= MAX_PACKAGES || !PackageNames[index])
        return;
    char path[MAX_PATH];
    if (PackagePathFor(PackageNames[index], path, sizeof path))
        LaunchPackageAt(path);
}

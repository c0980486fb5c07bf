#include "store/package_folder.h"

#include <windows.h>
#include <string.h>

#include "base/app_state.h"
#include "base/bounded_format.h"
#include "store/package_names.h"

bool PackagesFolderPath(char* buffer, size_t size)
{
    return FormatBounded(buffer, size, "%s\\" PACKAGES_FOLDER, ExeFolder());
}

bool ForEachPackage(const char* folder, PackageVisitor visit, void* context)
{
    char pattern[MAX_PATH];
    if (!FormatBounded(pattern, sizeof pattern, "%s\\*" PACKAGE_SUFFIX, folder))
        return false;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    bool more = true;
    do {
        size_t length = strnlen(found.cFileName, sizeof found.cFileName - 1);
        // A folder named like a package is none; the pattern's match is checked again, as the
        // system also matches short names.
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && HasPackageSuffix(found.cFileName, length))
            more = visit(found.cFileName, length - PACKAGE_SUFFIX_LENGTH, context);
    } while (more && FindNextFileA(search, &found));
    FindClose(search);
    return true;
}

bool PackagePathFor(const char* name, char* buffer, size_t size)
{
    return FormatBounded(buffer, size, "%s\\" PACKAGES_FOLDER "\\%s" PACKAGE_SUFFIX, ExeFolder(), name);
}

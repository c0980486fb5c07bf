#include "store/package_folder.h"

#include "base/app_state.h"
#include "base/bounded_format.h"
#include "store/package_names.h"

bool PackagesFolderPath(char* buffer, size_t size)
{
    return FormatBounded(buffer, size, "%s\\" PACKAGES_FOLDER, ExeFolder());
}

bool PackagesPattern(char* buffer, size_t size)
{
    return FormatBounded(buffer, size, "%s\\" PACKAGES_FOLDER "\\*" PACKAGE_SUFFIX, ExeFolder());
}

bool PackagePathFor(const char* name, char* buffer, size_t size)
{
    return FormatBounded(buffer, size, "%s\\" PACKAGES_FOLDER "\\%s" PACKAGE_SUFFIX, ExeFolder(), name);
}

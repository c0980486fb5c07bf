#include "launch/launch_package.h"

#include "launch/launch_profiles.h"
#include "store/package_file.h"

void PackageFile::openAndLaunch(const char* packagePath)
{
    // A package whose last rewrite was cut short gets its previous bytes back first.
    RecoverPackageAt(packagePath);
    handle = CreateFileA(packagePath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return;
    readRecords();
    LaunchProfiles(profiles.first, nullptr);
}

void LaunchPackageAt(const char* path)
{
    PackageFile* package = CreatePackageFile();
    if (!package)
        return;
    package->openAndLaunch(path);
    DestroyPackageFile(package);
}

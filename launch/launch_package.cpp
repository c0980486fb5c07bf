#include "launch/launch_package.h"

#include "launch/launch_profiles.h"
#include "store/package_file.h"

void PackageFile::openAndLaunch(const char* packagePath, LaunchFailures* failures)
{
    if (failures)
        failures->count = 0;
    // A package whose last rewrite was cut short gets its previous bytes back first.
    RecoverPackageAt(packagePath);
    handle = CreateFileA(packagePath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return;
    readRecords();
    LaunchProfiles(profiles.first, nullptr, failures);
}

void LaunchPackageAt(const char* path, LaunchFailures* failures)
{
    if (failures)
        failures->count = 0;
    PackageFile* package = CreatePackageFile();
    if (!package)
        return;
    package->openAndLaunch(path, failures);
    DestroyPackageFile(package);
}

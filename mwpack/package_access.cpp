#include "mwpack/package_access.h"

#include <stdlib.h>
#include <string.h>

#include <vector>

#include "store/package_folder.h"
#include "store/package_names.h"

namespace {

std::string Describe(const std::string& path, DWORD code)
{
    switch (code) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return path + " is open in the package editor or another program; close it and try again";
    case ERROR_FILE_NOT_FOUND:
        return path + " does not exist";
    case ERROR_PATH_NOT_FOUND:
        return "the folder of " + path + " does not exist";
    case ERROR_ACCESS_DENIED:
        return path + " cannot be opened: access is denied";
    default:
        return path + " cannot be opened (error " + std::to_string(code) + ")";
    }
}

HANDLE OpenShared(const std::string& path, DWORD access, DWORD disposition, std::string& error)
{
    HANDLE handle = CreateFileA(path.c_str(), access, FILE_SHARE_READ, nullptr, disposition, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        error = Describe(path, GetLastError());
    return handle;
}

PackageFile* Adopt(HANDLE handle, const std::string& path, std::string& error)
{
    PackageFile* package = CreatePackageFile();
    if (!package) {
        CloseHandle(handle);
        error = "not enough memory for " + path;
        return nullptr;
    }
    package->handle = handle;
    // The store's crash-safe writing needs the path, for the side file beside the package.
    if (!package->setNames(path.c_str(), nullptr, 0)) {
        DestroyPackageFile(package);
        error = "not enough memory for " + path;
        return nullptr;
    }
    return package;
}

}  // namespace

std::string DefaultPackagesFolder()
{
    char folder[MAX_PATH];
    return PackagesFolderPath(folder, sizeof folder) ? folder : PACKAGES_FOLDER;
}

std::string ResolvePackage(const std::string& text, const std::string& folder)
{
    if (text.find_first_of("\\/:") != std::string::npos)
        return text;
    std::string path = folder + "\\" + text;
    if (!HasPackageSuffix(text.c_str(), text.size()))
        path += PACKAGE_SUFFIX;
    return path;
}

PackageFile* ReadPackage(const std::string& path, std::string& error)
{
    // As Marlowin.exe does: a package whose last rewrite was cut short gets its previous bytes back first.
    RecoverPackageAt(path.c_str());
    HANDLE handle = OpenShared(path, GENERIC_READ, OPEN_EXISTING, error);
    if (handle == INVALID_HANDLE_VALUE)
        return nullptr;
    PackageFile* package = Adopt(handle, path, error);
    if (package)
        package->readRecords();
    return package;
}

bool ReadPackageBytes(const std::string& path, std::string& bytes, std::string& error)
{
    RecoverPackageAt(path.c_str());
    HANDLE handle = OpenShared(path, GENERIC_READ, OPEN_EXISTING, error);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    DWORD high = 0;
    DWORD size = GetFileSize(handle, &high);
    bool read = size != INVALID_FILE_SIZE && high == 0 && size < 0x7FFFFFFFu;
    if (read) {
        bytes.resize(size);
        DWORD got = 0;
        read = size == 0 || (ReadFile(handle, &bytes[0], size, &got, nullptr) && got == size);
    }
    CloseHandle(handle);
    if (!read)
        error = path + " cannot be read";
    return read;
}

PackageFile* OpenForWriting(const std::string& path, bool create, bool* created, std::string& error)
{
    HANDLE handle = OpenShared(path, GENERIC_READ | GENERIC_WRITE, create ? OPEN_ALWAYS : OPEN_EXISTING, error);
    if (handle == INVALID_HANDLE_VALUE)
        return nullptr;
    if (created)
        *created = create && GetLastError() != ERROR_ALREADY_EXISTS;
    PackageFile* package = Adopt(handle, path, error);
    if (package)
        package->showRecovered(nullptr);
    return package;
}

bool WriteList(PackageFile& package, const std::string& path, std::string& error)
{
    uint32_t count = package.profiles.count();
    std::vector<unsigned char> wanted((size_t)count * RECORD_SIZE);
    package.profiles.serialize(wanted.data());

    // The read-back is compared too: the list must be what the package now holds.
    bool same = package.rewriteList() && package.loadedCount == count;
    unsigned char record[RECORD_SIZE];
    for (uint32_t i = 0; same && i < count; ++i) {
        EncodeRecord(package.records[i], record);
        same = memcmp(record, &wanted[(size_t)i * RECORD_SIZE], RECORD_SIZE) == 0;
    }
    if (!same)
        error = "writing " + path + " failed";
    return same;
}

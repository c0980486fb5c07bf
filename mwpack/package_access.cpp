#include "mwpack/package_access.h"

#include <stdlib.h>
#include <string.h>

#include <vector>

#include "base/message_text.h"
#include "mwpack/text_form.h"
#include "store/package_folder.h"
#include "store/package_names.h"

std::string DescribeFileError(const std::string& path, DWORD code)
{
    switch (code) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return path + " is open in the package editor or another program; close it and try again";
    case ERROR_FILE_NOT_FOUND:
        return path + " does not exist";
    case ERROR_PATH_NOT_FOUND:
        return "the folder of " + path + " does not exist";
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return path + " already exists";
    default:
        return path + ": " + SystemMessage(code);
    }
}

namespace {

HANDLE OpenShared(const std::string& path, DWORD access, DWORD disposition, std::string& error)
{
    HANDLE handle = CreateFileA(path.c_str(), access, FILE_SHARE_READ, nullptr, disposition, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        error = DescribeFileError(path, GetLastError());
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

const char TOO_BIG[] = " is too big to be read whole: not enough memory; nothing was changed";

// The store reads what memory allows and no more (and then writes nothing over it); a package
// read only in part must not be shown as whole either.
PackageFile* ReadWhole(PackageFile* package, const std::string& path, std::string& error)
{
    if (!package)
        return nullptr;
    if (package->whole)
        return package;
    DestroyPackageFile(package);
    error = path + TOO_BIG;
    return nullptr;
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

const char* PackageNameFault(const std::string& text)
{
    std::string name = text.substr(text.find_last_of("\\/") == std::string::npos ? 0 : text.find_last_of("\\/") + 1);
    if (name.find_first_not_of(' ') == std::string::npos)
        return "a package needs a name that is not empty or blank";
    for (char c : name)
        if ((unsigned char)c < 32 || strchr("<>:\"|?*", c))
            return "a file name cannot hold control characters or any of < > : \" | ? *";
    if (name.back() == '.' || name.back() == ' ')
        return "a file name cannot end in a dot or a blank";
    // The system keeps these names for devices, with any suffix.
    std::string stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ')
        stem.pop_back();
    static const char* const DEVICES[] = { "CON", "PRN", "AUX", "NUL" };
    bool device = false;
    for (const char* reserved : DEVICES)
        device = device || lstrcmpiA(stem.c_str(), reserved) == 0;
    if (stem.size() == 4 && (_strnicmp(stem.c_str(), "COM", 3) == 0 || _strnicmp(stem.c_str(), "LPT", 3) == 0))
        device = device || (stem[3] >= '1' && stem[3] <= '9');
    return device ? "CON, PRN, AUX, NUL, COM1 to COM9 and LPT1 to LPT9 name devices, not files" : nullptr;
}

bool ResolveNewPackage(const std::string& text, const std::string& folder, std::string& path, std::string& error)
{
    const char* fault = PackageNameFault(text);
    if (fault)
        error = QuotedExcerpt(text) + ": " + fault;
    else
        path = ResolvePackage(text, folder);
    return !fault;
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
    return ReadWhole(package, path, error);
}

bool PackageBytes::read(HANDLE file, const std::string& path, std::string& error)
{
    free(data_);
    data_ = nullptr;
    size_ = 0;
    DWORD high = 0;
    DWORD size = GetFileSize(file, &high);
    if (size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
        error = path + " cannot be read: " + SystemMessage(GetLastError());
        return false;
    }
    data_ = high == 0 && size < 0x7FFFFFFFu ? (unsigned char*)malloc(size ? size : 1) : nullptr;
    if (!data_) {
        error = path + TOO_BIG;
        return false;
    }
    DWORD got = 0;
    if (size && (!ReadFile(file, data_, size, &got, nullptr) || got != size)) {
        error = path + " cannot be read: " + SystemMessage(GetLastError());
        return false;
    }
    size_ = size;
    return true;
}

bool ReadPackageBytes(const std::string& path, PackageBytes& bytes, std::string& error)
{
    RecoverPackageAt(path.c_str());
    HANDLE handle = OpenShared(path, GENERIC_READ, OPEN_EXISTING, error);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    bool read = bytes.read(handle, path, error);
    CloseHandle(handle);
    return read;
}

std::string SystemMessage(DWORD code)
{
    char text[512];
    DescribeError(code, text, sizeof text);
    return text;
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
    return ReadWhole(package, path, error);
}

bool WriteList(PackageFile& package, const std::string& path, std::string& error)
{
    // The store writes the list, reads the package back and says whether it holds the list.
    if (package.rewriteList())
        return true;
    error = "writing " + path + " failed: " + SystemMessage(package.saveError);
    return false;
}

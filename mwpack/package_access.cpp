#include "mwpack/package_access.h"

#include <string.h>

#include <vector>

#include "base/message_text.h"
#include "mwpack/quoted_text.h"
#include "store/package_folder.h"
#include "store/package_names.h"

namespace {

const char TOO_BIG[] = " is too big to be read whole: not enough memory; nothing was changed";

// The long form of the path: of the whole, when it exists, else of its folder.
std::string LongForm(const std::string& full)
{
    char longer[MAX_PATH];
    DWORD length = GetLongPathNameA(full.c_str(), longer, sizeof longer);
    if (length > 0 && length < sizeof longer)
        return longer;
    size_t slash = full.find_last_of('\\');
    if (slash == std::string::npos || slash == 0)
        return full;
    length = GetLongPathNameA(full.substr(0, slash).c_str(), longer, sizeof longer);
    return length > 0 && length < sizeof longer ? longer + full.substr(slash) : full;
}

}  // namespace

std::string FolderOf(const std::string& path)
{
    size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string FileOf(const std::string& path)
{
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool FolderExists(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<const ProfileBase*> InOrder(const ProfileList& list)
{
    std::vector<const ProfileBase*> order;
    for (const ProfileBase* node = list.first; node; node = node->next)
        order.push_back(node);
    return order;
}

std::string DefaultPackagesFolder()
{
    char folder[MAX_PATH];
    return PackagesFolderPath(folder, sizeof folder) ? folder : PACKAGES_FOLDER;
}

std::string ResolveFile(const std::string& text)
{
    char full[MAX_PATH];
    DWORD length = text.empty() ? 0 : GetFullPathNameA(text.c_str(), sizeof full, full, nullptr);
    return length > 0 && length < sizeof full ? LongForm(full) : text;
}

std::string ResolvePackage(const std::string& text, const std::string& folder)
{
    if (text.find_first_of("\\/:") != std::string::npos)
        return ResolveFile(text);
    std::string path = folder + "\\" + text;
    if (!HasPackageSuffix(text.c_str(), text.size()))
        path += PACKAGE_SUFFIX;
    return ResolveFile(path);
}

bool ResolveNewPackage(const std::string& text, const std::string& folder, std::string& path, std::string& error)
{
    const char* fault = PackageNameFault(FileOf(text).c_str());
    path = ResolvePackage(text, folder);
    // What the system makes of the name counts too.
    std::string name = FileOf(path);
    if (!fault)
        fault = PackageNameFault(name.c_str());
    if (!fault && !HasPackageSuffix(name.c_str(), name.size()))
        fault = "the file it names does not end in " PACKAGE_SUFFIX;
    if (fault)
        error = QuotedExcerpt(text) + ": " + fault;
    return !fault;
}

bool ResolveOwnPackage(const std::string& text, const std::string& folder, std::string& path, std::string& error)
{
    path = ResolvePackage(text, folder);
    std::string name = FileOf(path);
    if (FolderExists(path))
        error = path + " is a folder, not a package";
    else if (!HasPackageSuffix(name.c_str(), name.size()))
        error = path + " is not a package (" PACKAGE_SUFFIX ")";
    else
        return true;
    return false;
}

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
    case ERROR_NOT_ENOUGH_MEMORY:
        return path + TOO_BIG;
    default:
        return path + ": " + SystemMessage(code);
    }
}

std::string SystemMessage(DWORD code)
{
    char text[512];
    DescribeError(code, text, sizeof text);
    return text;
}

HeldPackage::HeldPackage(const std::string& path, PackageOpening how)
    : path_(path), package_(OpenPackageFile(path.c_str(), how, &created_)), saved_(false)
{
    if (!package_)
        error_ = DescribeFileError(path, GetLastError());
}

HeldPackage::~HeldPackage()
{
    DestroyPackageFile(package_);
    if (created_ && !saved_)
        DeleteFileA(path_.c_str());
}

bool HeldPackage::save(std::string& error)
{
    // The store writes the list, reads the package back and says whether it holds the list.
    saved_ = package_->rewriteList();
    if (!saved_)
        error = "writing " + path_ + " failed: " + SystemMessage(package_->saveError);
    return saved_;
}

std::vector<const ProfileBase*> HeldPackage::launchOrder() const
{
    return InOrder(package_->profiles);
}

std::vector<const ProfileBase*> HeldPackage::fileOrder() const
{
    std::vector<const ProfileBase*> order(package_->loadedCount);
    for (uint32_t i = 0; i < package_->loadedCount; ++i)
        order[i] = &package_->records[i];
    return order;
}

bool PackageBytes::readPackage(const std::string& path, std::string& error)
{
    free(data_);
    data_ = nullptr;
    size_ = 0;
    RecoverPackageAt(path.c_str());
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = DescribeFileError(path, GetLastError());
        return false;
    }
    // As its recovery will leave it, where a cut-short rewrite could not be put right yet.
    DWORD size = 0;
    SetLastError(NO_ERROR);
    data_ = LoadPackageImage(file, path.c_str(), &size);
    DWORD cause = GetLastError();
    CloseHandle(file);
    if (!data_) {
        error = cause == NO_ERROR || cause == ERROR_NOT_ENOUGH_MEMORY ? path + TOO_BIG
                                                                       : path + " cannot be read: " + SystemMessage(cause);
        return false;
    }
    size_ = size;
    return true;
}

// Names as the file system will see them, and packages opened and saved only through the store.
#ifndef MARLOWIN_PACKAGE_ACCESS_H
#define MARLOWIN_PACKAGE_ACCESS_H

#include <stdlib.h>

#include <string>
#include <vector>

#include "store/package_file.h"

// The Packages folder beside the running program.
std::string DefaultPackagesFolder();

// The one resolver of names. A text with a folder part (a backslash, slash or drive colon) is a
// path; anything else names a package in the folder, ".mwpack" added when it is missing. Either
// way the result is the full path that the file system will open: "." and ".." taken out, the
// final dots and blanks that the system drops dropped, and short (8.3) names of what exists in
// their long form.
std::string ResolvePackage(const std::string& text, const std::string& folder);
// The same for any other file a command writes or reads.
std::string ResolveFile(const std::string& text);

// A package that a command is about to make: false with a usage message when the name as typed,
// or the file it resolves to, cannot name a package file.
bool ResolveNewPackage(const std::string& text, const std::string& folder, std::string& path, std::string& error);
// An existing package that a command changes, deletes or moves: false with a message when the
// file it resolves to is not a package file (a folder, or a name without the package suffix).
bool ResolveOwnPackage(const std::string& text, const std::string& folder, std::string& path, std::string& error);

// What a failed call on the file means, in words; the system's own words for anything uncommon.
std::string DescribeFileError(const std::string& path, DWORD code);
// The system's own words for an error number, without the final line break.
std::string SystemMessage(DWORD code);

// The folder part of a path, without its final backslash; empty when it has none.
std::string FolderOf(const std::string& path);
// The last part of a path, after its last backslash or slash.
std::string FileOf(const std::string& path);
bool FolderExists(const std::string& path);

// The profiles of a list in its order: a package's launch order.
std::vector<const ProfileBase*> InOrder(const ProfileList& list);

// A package held through the store for as long as the command runs: read whole, or not at all.
// A package the command made is removed again unless it was saved.
class HeldPackage {
public:
    HeldPackage(const std::string& path, PackageOpening how);
    ~HeldPackage();
    HeldPackage(const HeldPackage&) = delete;
    HeldPackage& operator=(const HeldPackage&) = delete;

    // Null when it could not be opened; error() then says why.
    PackageFile* get() const { return package_; }
    PackageFile* operator->() const { return package_; }
    const std::string& error() const { return error_; }
    bool created() const { return created_; }
    // The list, as it stands, into the package through the store's crash-safe rewrite.
    bool save(std::string& error);
    // The profiles in launch order, or in the order of the file's records.
    std::vector<const ProfileBase*> launchOrder() const;
    std::vector<const ProfileBase*> fileOrder() const;

private:
    std::string path_;
    PackageFile* package_;
    bool created_;
    bool saved_;
    std::string error_;
};

// A file's bytes, whole, in memory of their own; the allocation is checked, so a file too big
// for the address space is refused instead of ending the program.
class PackageBytes {
public:
    PackageBytes() = default;
    ~PackageBytes() { free(data_); }
    PackageBytes(const PackageBytes&) = delete;
    PackageBytes& operator=(const PackageBytes&) = delete;
    const unsigned char* data() const { return data_; }
    size_t size() const { return size_; }
    // The package's bytes, under the same sharing and recovery as a read through the store.
    bool readPackage(const std::string& path, std::string& error);

private:
    unsigned char* data_ = nullptr;
    size_t size_ = 0;
};

#endif

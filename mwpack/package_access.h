// Packages opened the way Marlowin.exe and its editor open them, read and written only
// through the store.
#ifndef MARLOWIN_PACKAGE_ACCESS_H
#define MARLOWIN_PACKAGE_ACCESS_H

#include <stdlib.h>

#include <string>

#include "store/package_file.h"

// The Packages folder beside the running program.
std::string DefaultPackagesFolder();

// A text with a folder part (a backslash, slash or drive colon) is a path; anything else names
// a package in the folder, ".mwpack" added when it is missing.
std::string ResolvePackage(const std::string& text, const std::string& folder);

// Why the package name (the last part of a path, or the whole text) cannot name a file: empty or
// blank, a device name such as CON, a character a file name cannot hold, a final dot or blank.
// Null when it can.
const char* PackageNameFault(const std::string& text);

// The package's path as ResolvePackage gives it, for a package that a command is about to make;
// false with a message when its name cannot name a file.
bool ResolveNewPackage(const std::string& text, const std::string& folder, std::string& path, std::string& error);

// What a failed call on the file means, in words.
std::string DescribeFileError(const std::string& path, DWORD code);

// Reads a package as Marlowin.exe does: no writer may hold the file meanwhile, so nothing
// half-written is ever read. Null, with a message, when it cannot be read.
PackageFile* ReadPackage(const std::string& path, std::string& error);

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
    bool read(HANDLE file, const std::string& path, std::string& error);

private:
    unsigned char* data_ = nullptr;
    size_t size_ = 0;
};

// The file's bytes, under the same sharing as ReadPackage.
bool ReadPackageBytes(const std::string& path, PackageBytes& bytes, std::string& error);

// The system's own words for an error number, without the final line break.
std::string SystemMessage(DWORD code);

// Opens a package for writing as the editor does; a package an editor holds is refused.
// With create, a missing file is made and *created tells so.
PackageFile* OpenForWriting(const std::string& path, bool create, bool* created, std::string& error);

// Writes the package's list, in list order, through the store's crash-safe rewriting, then checks that
// the file reads back as exactly that list.
bool WriteList(PackageFile& package, const std::string& path, std::string& error);

#endif

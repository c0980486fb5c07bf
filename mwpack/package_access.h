// Packages opened the way Marlowin.exe and its editor open them, read and written only
// through the store.
#ifndef MARLOWIN_PACKAGE_ACCESS_H
#define MARLOWIN_PACKAGE_ACCESS_H

#include <string>
#include <vector>

#include "store/package_file.h"

// The Packages folder beside the running program.
std::string DefaultPackagesFolder();

// A text with a folder part (a backslash, slash or drive colon) is a path; anything else names
// a package in the folder, ".mwpack" added when it is missing.
std::string ResolvePackage(const std::string& text, const std::string& folder);

// Reads a package as Marlowin.exe does: no writer may hold the file meanwhile, so nothing
// half-written is ever read. Null, with a message, when it cannot be read.
PackageFile* ReadPackage(const std::string& path, std::string& error);

// The file's bytes, under the same sharing as ReadPackage.
bool ReadPackageBytes(const std::string& path, std::string& bytes, std::string& error);

// Opens a package for writing as the editor does; a package an editor holds is refused.
// With create, a missing file is made and *created tells so.
PackageFile* OpenForWriting(const std::string& path, bool create, bool* created, std::string& error);

// Links imported profiles into the list in name order, as the editor writes; profiles of
// identical names keep their order in the text, so that an exported package comes back whole.
void LinkImported(std::vector<Profile>& profiles, ProfileList& list);

// Writes the package's list, in list order, through the store's rewriting, then checks that
// the file reads back as exactly that list.
bool WriteList(PackageFile& package, const std::string& path, std::string& error);

#endif

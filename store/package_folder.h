// Paths in the Packages folder beside the running program.
#ifndef MARLOWIN_PACKAGE_FOLDER_H
#define MARLOWIN_PACKAGE_FOLDER_H

#include <stddef.h>

// Each gives false, and an empty buffer, when the path would not fit.
bool PackagesFolderPath(char* buffer, size_t size);
// The one way packages are found in a folder, for the tray menu and mwpack alike: each file (not a
// folder) whose name ends in the package suffix, in the order the file system lists them, given
// to the visitor without its suffix until it answers false. False when the folder cannot be listed.
typedef bool (*PackageVisitor)(const char* name, size_t length, void* context);
bool ForEachPackage(const char* folder, PackageVisitor visit, void* context);
// The path of the package of this name (without its suffix).
bool PackagePathFor(const char* name, char* buffer, size_t size);

#endif

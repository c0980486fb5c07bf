// Paths in the Packages folder beside the running program.
#ifndef MARLOWIN_PACKAGE_FOLDER_H
#define MARLOWIN_PACKAGE_FOLDER_H

#include <stddef.h>

// Each gives false, and an empty buffer, when the path would not fit.
bool PackagesFolderPath(char* buffer, size_t size);
// The search pattern that finds every package file of the folder.
bool PackagesPattern(char* buffer, size_t size);
// The path of the package of this name (without its suffix).
bool PackagePathFor(const char* name, char* buffer, size_t size);

#endif

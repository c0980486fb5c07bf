// What makes a file a package and where packages live: the one place for both names.
#ifndef MARLOWIN_PACKAGE_NAMES_H
#define MARLOWIN_PACKAGE_NAMES_H

#include <stddef.h>

// Macros, so that they join other literals (file filters, search patterns).
#define PACKAGE_EXTENSION "mwpack"
#define PACKAGE_SUFFIX "." PACKAGE_EXTENSION
// The folder beside the program that the package menu lists.
#define PACKAGES_FOLDER "Packages"

enum { PACKAGE_SUFFIX_LENGTH = sizeof PACKAGE_SUFFIX - 1 };

// True when the text ends in lowerSuffix, its letters a to z in either case and every other
// character exactly.
bool EndsWithLetters(const char* text, size_t length, const char* lowerSuffix);

// True when the text of the given length ends in the package suffix, each letter in either case.
bool HasPackageSuffix(const char* text, size_t length);

// Why a file name (no folder part) cannot name a package file: empty or blank, a character a
// file name cannot hold, a final dot or blank (which the system drops), or a device name such as
// CON, with any suffix. Null when it can.
const char* PackageNameFault(const char* name);

#endif

// The package menu's items: one per package file of the Packages folder, in file-system order.
#ifndef MARLOWIN_PACKAGE_MENU_H
#define MARLOWIN_PACKAGE_MENU_H

#include <windows.h>

#include "res/resource.h"

// Names, without the suffix, behind the package commands IDM_PACKAGE_FIRST + i.
extern char* PackageNames[MAX_PACKAGES];

// Appends one item per package file; gives their number.
UINT FillPackageMenu(HMENU menu);

// Launches the package behind the command IDM_PACKAGE_FIRST + index; nothing when it cannot.
void LaunchListedPackage(UINT index);

// The item's text for a package name: an '&' would mark the next letter, so it is doubled.
// False when it does not fit.
bool MenuTextFor(const char* name, char* text, size_t size);

#endif

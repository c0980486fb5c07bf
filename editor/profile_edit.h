// The editor's three actions that change a package: add or replace, delete, and the Delete key.
#ifndef MARLOWIN_PROFILE_EDIT_H
#define MARLOWIN_PROFILE_EDIT_H

#include <windows.h>

struct PackageFile;

// The box that tells of a save that did not take; tests put a recorder in its place.
extern int(WINAPI* SaveFailedBoxCall)(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

void AddProfile(HWND dialog, PackageFile& package);
void DeleteProfile(HWND dialog, PackageFile& package);
// WM_VKEYTOITEM: -1 lets the list box handle the key; otherwise the entry's index.
INT_PTR DeleteKeyInList(HWND dialog, PackageFile& package, WPARAM wParam, LPARAM lParam);

#endif

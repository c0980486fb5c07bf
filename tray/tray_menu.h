// Tray menus, the About box and the dispatch of every tray command.
#ifndef MARLOWIN_TRAY_MENU_H
#define MARLOWIN_TRAY_MENU_H

#include <windows.h>

#include "res/resource.h"

// Names, without extension, behind the package commands IDM_PACKAGE_FIRST + i.
extern char* PackageNames[MAX_PACKAGES];

void OnTrayNotify(HWND window, WPARAM wParam, LPARAM lParam);
UINT FillPackageMenu(HMENU menu);
void TrackTrayMenu(HWND window, HMENU menu);
INT_PTR DispatchCommand(HWND window, WPARAM wParam);
INT_PTR CALLBACK AboutDialogProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam);
void OpenWebPage(const char* address);

#endif

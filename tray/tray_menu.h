// Tray menus, the About box and the dispatch of every tray command.
#ifndef MARLOWIN_TRAY_MENU_H
#define MARLOWIN_TRAY_MENU_H

#include <windows.h>

#include "res/resource.h"

// The product's web site; the home page is the bare address. A reserved example domain.
#define MARLOWIN_WEB_SITE "http://marlowin.example.org"

// Names, without extension, behind the package commands IDM_PACKAGE_FIRST + i.
extern char* PackageNames[MAX_PACKAGES];

void OnTrayNotify(HWND window, WPARAM wParam, LPARAM lParam);
UINT FillPackageMenu(HMENU menu);
void TrackTrayMenu(HWND window, HMENU menu);
INT_PTR DispatchCommand(HWND window, WPARAM wParam);
INT_PTR CALLBACK AboutDialogProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam);
void OpenWebPage(const char* address);

// The platform call that adds the main menu's items; tests put a failing one in its place.
extern BOOL(WINAPI* AppendMenuCall)(HMENU menu, UINT flags, UINT_PTR id, LPCSTR text);

// Builds the main menu, with the package menu as its submenu, into MainMenu and PackageMenu.
HMENU BuildMainMenu();
// Builds the package menu alone into PackageMenu.
HMENU BuildPackageMenu();

// Launches the package behind the command IDM_PACKAGE_FIRST + index; nothing when it cannot.
void LaunchListedPackage(UINT index);

// Russian menus and pages only for the system default language id 1049 itself.
bool UseRussianTexts();

enum WebPage { WEB_HOME, WEB_HELP, WEB_DONATE };
// The page's address in the current system language, decided anew on every call.
const char* WebPageAddress(WebPage page);

#endif

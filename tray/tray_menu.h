// The two tray menus: built afresh for every click, tracked at the notification area, and
// destroyed in one place when their menu loop ends.
#ifndef MARLOWIN_TRAY_MENU_H
#define MARLOWIN_TRAY_MENU_H

#include <windows.h>

// The menus of the menu loop in progress; null outside one.
extern HMENU MainMenu;
extern HMENU PackageMenu;

// WM_TRAYNOTIFY: a right click shows the main menu, a left click the package menu, a pass of
// the mouse animates the icon.
void OnTrayNotify(HWND window, WPARAM wParam, LPARAM lParam);

// The platform call that adds the main menu's items; tests put a failing one in its place.
extern BOOL(WINAPI* AppendMenuCall)(HMENU menu, UINT flags, UINT_PTR id, LPCSTR text);

// Builds the main menu, with the package menu as its submenu, into MainMenu and PackageMenu.
HMENU BuildMainMenu();
// Builds the package menu alone into PackageMenu.
HMENU BuildPackageMenu();
void TrackTrayMenu(HWND window, HMENU menu);

// Destroys the menus of the menu loop that has just ended.
void DestroyTrayMenus();

#endif

// The tray icon, its animation, and the two popup menus that a click on it shows.
#ifndef MARLOWIN_TRAY_ICON_H
#define MARLOWIN_TRAY_ICON_H

#include <windows.h>

extern volatile LONG AnimationCount;
extern HMENU MainMenu;
extern HMENU PackageMenu;

// True for major version 4 and below and for 5.0: those shells get the plain "MW" icon.
bool IsOldShell();

void AddTrayIcon(HWND window);
void StartIconAnimation(HWND window);

// Destroys the menus of the menu loop that has just ended.
void DestroyTrayMenus();

#endif

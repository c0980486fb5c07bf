// Minimal tray icon state so that the menus link; the icon and its animation come separately.
#include "tray/tray_icon.h"

volatile LONG AnimationCount;
HMENU MainMenu;
HMENU PackageMenu;

bool IsOldShell()
{
    return false;
}

void AddTrayIcon(HWND) {}

void StartIconAnimation(HWND) {}

void DestroyTrayMenus()
{
    if (MainMenu) {
        DestroyMenu(MainMenu);   // takes the attached package menu with it
        MainMenu = nullptr;
        PackageMenu = nullptr;
    }
    if (PackageMenu) {
        DestroyMenu(PackageMenu);
        PackageMenu = nullptr;
    }
}

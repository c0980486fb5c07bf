// The two tray menus: built afresh for every click and tracked at the notification area.
#include "tray/tray_menu.h"

#include "res/resource.h"
#include "tray/language.h"
#include "tray/package_menu.h"
#include "tray/tray_icon.h"

HMENU MainMenu;
HMENU PackageMenu;
BOOL(WINAPI* AppendMenuCall)(HMENU, UINT, UINT_PTR, LPCSTR) = AppendMenuA;

namespace {

struct MenuTexts {
    const char* visitWebsite;
    const char* about;
    const char* newPackage;
    const char* editPackage;
    const char* programsPackages;
    const char* exit;
};

const MenuTexts ENGLISH_TEXTS = {
    "Visit Website", "About...", "New package...", "Edit package...", "Programs packages", "Exit",
};

// Code page 1251 bytes, so the texts do not depend on how this file is encoded.
const MenuTexts RUSSIAN_TEXTS = {
    "\xCF\xEE\xF1\xE5\xF2\xE8\xF2\xFC \xF1\xE0\xE9\xF2",
    "\xCE \xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xE5...",
    "\xD1\xEE\xE7\xE4\xE0\xF2\xFC \xEF\xE0\xEA\xE5\xF2...",
    "\xC8\xE7\xEC\xE5\xED\xE8\xF2\xFC \xEF\xE0\xEA\xE5\xF2...",
    "\xCF\xE0\xEA\xE5\xF2\xFB \xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC",
    "\xC2\xFB\xF5\xEE\xE4",
};

// The top-left corner of the notification area; the mouse pointer where there is none (Wine).
POINT MenuAnchor()
{
    POINT anchor = { 0, 0 };
    HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
    HWND area = taskbar ? FindWindowExA(taskbar, nullptr, "TrayNotifyWnd", nullptr) : nullptr;
    RECT rect;
    if (area && GetWindowRect(area, &rect)) {
        anchor.x = rect.left;
        anchor.y = rect.top;
    } else if (!GetCursorPos(&anchor)) {
        anchor.x = GetSystemMetrics(SM_CXSCREEN);
        anchor.y = GetSystemMetrics(SM_CYSCREEN);
    }
    return anchor;
}

void ShowTrayMenu(HWND window, HMENU (*build)())
{
    // A click delivered while a tray menu is still being tracked must not replace its menus.
    if (MainMenu || PackageMenu)
        return;
    HMENU menu = build();
    if (menu)
        TrackTrayMenu(window, menu);
    // An empty popup may never enter the menu loop, and then no WM_EXITMENULOOP frees it.
    DestroyTrayMenus();
}

}  // namespace

HMENU BuildPackageMenu()
{
    PackageMenu = CreatePopupMenu();
    if (PackageMenu)
        FillPackageMenu(PackageMenu);
    return PackageMenu;
}

HMENU BuildMainMenu()
{
    MainMenu = CreatePopupMenu();
    if (!MainMenu)
        return nullptr;
    const MenuTexts& texts = UseRussianTexts() ? RUSSIAN_TEXTS : ENGLISH_TEXTS;
    AppendMenuCall(MainMenu, MF_STRING, IDM_VISIT_WEBSITE, texts.visitWebsite);
    AppendMenuCall(MainMenu, MF_STRING, IDM_ABOUT, texts.about);
    AppendMenuCall(MainMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuCall(MainMenu, MF_STRING, IDM_NEW_PACKAGE, texts.newPackage);
    BuildPackageMenu();
    AppendMenuCall(MainMenu, MF_STRING, IDM_EDIT_PACKAGE, texts.editPackage);
    if (PackageMenu && !AppendMenuCall(MainMenu, MF_POPUP, (UINT_PTR)PackageMenu, texts.programsPackages)) {
        // Not attached, so the main menu would not take it along when it is destroyed.
        DestroyMenu(PackageMenu);
        PackageMenu = nullptr;
    }
    AppendMenuCall(MainMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuCall(MainMenu, MF_STRING, IDM_EXIT, texts.exit);
    return MainMenu;
}

void TrackTrayMenu(HWND window, HMENU menu)
{
    POINT anchor = MenuAnchor();
    SetForegroundWindow(window);
    TrackPopupMenu(menu, TPM_BOTTOMALIGN, anchor.x, anchor.y, 0, window, nullptr);
    if (!IsWindow(window)) {
        // Closed while the menu was open: the menu loop may have taken the quit message.
        PostQuitMessage(0);
        return;
    }
    PostMessageA(window, WM_NULL, 0, 0);
}

void OnTrayNotify(HWND window, WPARAM, LPARAM lParam)
{
    switch (lParam) {
    case WM_RBUTTONUP:
        ShowTrayMenu(window, BuildMainMenu);
        break;
    case WM_LBUTTONUP:
        ShowTrayMenu(window, BuildPackageMenu);
        break;
    case WM_MOUSEMOVE:
        StartIconAnimation(window);
        break;
    default:
        break;
    }
}

void DestroyTrayMenus()
{
    // After a right click the package menu is the main menu's submenu and goes with it;
    // after a left click it was shown on its own.
    if (MainMenu)
        DestroyMenu(MainMenu);
    else if (PackageMenu)
        DestroyMenu(PackageMenu);
    MainMenu = nullptr;
    PackageMenu = nullptr;
}

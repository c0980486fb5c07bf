// Placeholder until the tray menus are built: commands do nothing.
#include "tray/tray_menu.h"

char* PackageNames[MAX_PACKAGES];

void OnTrayNotify(HWND, WPARAM, LPARAM) {}
UINT FillPackageMenu(HMENU) { return 0; }
void TrackTrayMenu(HWND, HMENU) {}
INT_PTR DispatchCommand(HWND, WPARAM) { return 0; }
INT_PTR CALLBACK AboutDialogProc(HWND, UINT, WPARAM, LPARAM) { return 0; }
void OpenWebPage(const char*) {}

#ifndef MARLOWIN_START_WINDOW_H
#define MARLOWIN_START_WINDOW_H

#include <windows.h>

// The hidden Start window: owns the tray icon and receives the tray's messages and commands.
INT_PTR CALLBACK StartWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif

// The one dispatcher of tray menu and About box commands.
#ifndef MARLOWIN_COMMANDS_H
#define MARLOWIN_COMMANDS_H

#include <windows.h>

// Carries out a WM_COMMAND of the Start window or the About box; gives 0.
INT_PTR DispatchCommand(HWND window, WPARAM wParam);

#endif

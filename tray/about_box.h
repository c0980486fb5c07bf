// The About box: version, maker's notice, and the buttons OK, Donate and Help.
#ifndef MARLOWIN_ABOUT_BOX_H
#define MARLOWIN_ABOUT_BOX_H

#include <windows.h>

// Modal without an owner: the tray keeps working while it is open.
void ShowAboutBox();

INT_PTR CALLBACK AboutDialogProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam);

#endif

// The editor dialog IDD_PACKAGE; it owns its PackageFile, reached through the window's user data.
#ifndef MARLOWIN_PACKAGE_EDITOR_DIALOG_H
#define MARLOWIN_PACKAGE_EDITOR_DIALOG_H

#include <windows.h>

// The dialog's lParam is the PackageFile it takes over and destroys with itself.
INT_PTR CALLBACK PackageEditorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR EditorCommand(HWND dialog, WPARAM wParam, LPARAM lParam);

#endif

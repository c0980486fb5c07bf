// The package editor's start: a file dialog, then an editor dialog on a thread of its own.
#ifndef MARLOWIN_PACKAGE_EDITOR_H
#define MARLOWIN_PACKAGE_EDITOR_H

#include <windows.h>

// "New package..." (create) and "Edit package...". True when an editor was started.
bool OpenPackageEditor(bool create);

// Takes over the open handle (closed on failure) and runs an editor for it on a new thread.
bool StartPackageEditor(HANDLE handle, const char* path);

DWORD WINAPI PackageEditorThread(LPVOID context);
// The editor's modal dialog call; tests put a failing one in its place.
extern INT_PTR(WINAPI* EditorDialogCall)(HINSTANCE, LPCSTR, HWND, DLGPROC, LPARAM);

// The module that holds the editor's template and icon.
HINSTANCE EditorInstance();

#endif

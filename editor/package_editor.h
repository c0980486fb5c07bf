// The package editor: a file dialog, then an editor dialog on a thread of its own.
#ifndef MARLOWIN_PACKAGE_EDITOR_H
#define MARLOWIN_PACKAGE_EDITOR_H

#include <windows.h>
#include <commdlg.h>

// "New package..." (create) and "Edit package...". True when an editor was started.
bool OpenPackageEditor(bool create);

// The package file dialog. Gives its process-wide file-name buffer, or null when cancelled;
// callers copy the path at once. Main thread only.
const char* ChoosePackageFile(HWND owner, const char* title, bool save);

// The common Open or Save dialog, with comdlg32 loaded only while it is shown.
bool ShowFileDialog(OPENFILENAMEA* dialog, bool save);

// Takes over the open handle (closed on failure) and runs an editor for it on a new thread.
bool StartPackageEditor(HANDLE handle, const char* path);

DWORD WINAPI PackageEditorThread(LPVOID context);
// The editor's modal dialog call; tests put a failing one in its place.
extern INT_PTR(WINAPI* EditorDialogCall)(HINSTANCE, LPCSTR, HWND, DLGPROC, LPARAM);
INT_PTR CALLBACK PackageEditorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR EditorCommand(HWND dialog, WPARAM wParam, LPARAM lParam);

// The module that holds the editor's template and icon.
HINSTANCE EditorInstance();

#endif

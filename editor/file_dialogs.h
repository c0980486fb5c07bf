// The editor's three system dialogs: the package file, a file for Object, a folder for Directory.
#ifndef MARLOWIN_FILE_DIALOGS_H
#define MARLOWIN_FILE_DIALOGS_H

#include <windows.h>

// The package file dialog. Gives its process-wide file-name buffer, or null when cancelled;
// callers copy the path at once. Main thread only.
const char* ChoosePackageFile(HWND owner, const char* title, bool save);

// The Browse dialog's buffers; each call brings its own, so editors never share them.
struct BrowseBuffers {
    char file[256];
    char title[256];
};

// Gives buffers.file with the chosen path, or null when cancelled.
const char* BrowseForObject(HWND dialog, BrowseBuffers& buffers);

// Puts the chosen folder into the control; leaves it alone when cancelled.
void BrowseForFolder(HWND dialog, int controlId);

#endif

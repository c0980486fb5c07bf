// The windows through which a user sees, brings forward and closes other programs.
#ifndef MARLOWIN_PROCESS_WINDOWS_H
#define MARLOWIN_PROCESS_WINDOWS_H

#include <windows.h>
#include <string>
#include <vector>

struct ProgramWindow {
    HWND window;
    DWORD processId;
    std::string title;   // UTF-8; empty for an untitled window
};

// The visible top-level windows that no other window owns, topmost first: the windows a program
// shows on the taskbar and closes with their close box, of every process.
std::vector<ProgramWindow> MainWindows();

// True when the process shows any visible top-level window, owned or not.
bool ShowsWindow(DWORD processId);

// Brings the process's topmost main window to the front, restored first if it was minimized, as
// far as the system lets a console program do so. False when the process shows no main window.
bool BringToFront(DWORD processId);

#endif

// Other programs' windows: those a user sees on the desktop now, and those through which mwpack
// brings a program forward or asks it to close.
#ifndef MARLOWIN_DESKTOP_WINDOWS_H
#define MARLOWIN_DESKTOP_WINDOWS_H

#include <windows.h>
#include <string>
#include <vector>

struct ProgramWindow {
    HWND window;
    DWORD processId;
    std::wstring title;   // empty for an untitled window
};

// The visible top-level windows that no other window owns, topmost first: the windows a program
// shows on the taskbar and closes with their close box, of every process.
std::vector<ProgramWindow> MainWindows();

// True when the process shows any visible top-level window, owned or not.
bool ShowsWindow(DWORD processId);

// Brings the process's topmost main window to the front, restored first if it was minimized, as
// far as the system lets a console program do so. False when the process shows no main window.
bool BringToFront(DWORD processId);

struct DesktopWindow {
    DWORD processId;
    std::wstring title;
    const char* window;    // "Maximize", "Minimize" or "Normal", from the window's state now
};

// The titled main windows, topmost first, less tool windows, cloaked ones, those on another
// virtual desktop, the shell's and this process's own and those of its console.
std::vector<DesktopWindow> VisibleDesktopWindows();

#endif

// The windows a user sees on the desktop now, one for each program that shows one.
#ifndef MARLOWIN_DESKTOP_WINDOWS_H
#define MARLOWIN_DESKTOP_WINDOWS_H

#include <windows.h>
#include <string>
#include <vector>

struct DesktopWindow {
    DWORD processId;
    std::wstring title;
    const char* window;    // "Maximize", "Minimize" or "Normal", from the window's state now
};

// The visible, titled top-level windows, topmost first, less owned and tool windows, cloaked ones,
// those on another virtual desktop, the shell's and this process's own and those of its console.
std::vector<DesktopWindow> VisibleDesktopWindows();

#endif

#include "mwpack/process_windows.h"

#include "mwpack/text_conversion.h"

namespace {

DWORD ProcessOf(HWND window)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return processId;
}

BOOL CALLBACK CollectMainWindow(HWND window, LPARAM data)
{
    if (!IsWindowVisible(window) || GetWindow(window, GW_OWNER))
        return TRUE;
    WCHAR title[512];
    // For another process's window this reads the caption the system keeps; no message is sent,
    // so a program that hangs cannot hold mwpack up.
    int length = GetWindowTextW(window, title, ARRAYSIZE(title));
    std::vector<ProgramWindow>& windows = *(std::vector<ProgramWindow>*)data;
    windows.push_back(ProgramWindow{ window, ProcessOf(window), Utf8Text(std::wstring(title, length > 0 ? length : 0)) });
    return TRUE;
}

BOOL CALLBACK FindVisibleWindow(HWND window, LPARAM data)
{
    DWORD& wanted = *(DWORD*)data;
    if (ProcessOf(window) != wanted || !IsWindowVisible(window))
        return TRUE;
    wanted = 0;   // found: stop here
    return FALSE;
}

}  // namespace

std::vector<ProgramWindow> MainWindows()
{
    std::vector<ProgramWindow> windows;
    // Top-level windows come in z-order, topmost first.
    EnumWindows(CollectMainWindow, (LPARAM)&windows);
    return windows;
}

bool ShowsWindow(DWORD processId)
{
    DWORD wanted = processId;
    if (processId != 0)
        EnumWindows(FindVisibleWindow, (LPARAM)&wanted);
    return processId != 0 && wanted == 0;
}

bool BringToFront(DWORD processId)
{
    for (const ProgramWindow& main : MainWindows()) {
        if (main.processId != processId)
            continue;
        // The asynchronous form, for a window of another thread: a program that hangs cannot hold
        // mwpack up.
        if (IsIconic(main.window))
            ShowWindowAsync(main.window, SW_RESTORE);
        SetForegroundWindow(main.window);
        return true;
    }
    return false;
}

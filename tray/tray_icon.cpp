#include "tray/tray_icon.h"

#include "base/app_state.h"
#include "res/resource.h"

volatile LONG AnimationCount;

BOOL(WINAPI* NotifyIconCall)(DWORD, PNOTIFYICONDATAA) = Shell_NotifyIconA;
HANDLE(WINAPI* CreateThreadCall)(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE, LPVOID, DWORD,
                                  LPDWORD) = CreateThread;
void(WINAPI* AnimationPauseCall)(DWORD) = Sleep;

namespace {

// Every call fills a record of its own: the animation thread and the main thread never share one.
NOTIFYICONDATAA IconRecord(HWND window, UINT flags)
{
    NOTIFYICONDATAA data;
    ZeroMemory(&data, sizeof data);
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = window;
    data.uID = TRAY_ICON_ID;
    data.uFlags = flags;
    data.uCallbackMessage = WM_TRAYNOTIFY;
    return data;
}

void NotifyWithIcon(DWORD message, NOTIFYICONDATAA* data, const char* iconName)
{
    data->hIcon = LoadIconA(AppInstance, iconName);
    NotifyIconCall(message, data);
    // The shell keeps its own copy of the image.
    if (data->hIcon)
        DestroyIcon(data->hIcon);
}

}  // namespace

bool IsOldShell()
{
    return OsVersion.dwMajorVersion < 5 || (OsVersion.dwMajorVersion == 5 && OsVersion.dwMinorVersion == 0);
}

void AddTrayIcon(HWND window)
{
    NOTIFYICONDATAA data = IconRecord(window, NIF_MESSAGE | NIF_ICON | NIF_TIP);
    lstrcpynA(data.szTip, "Marlowin", 64);
    NotifyWithIcon(NIM_ADD, &data, IsOldShell() ? "MW" : "MW8");
}

void RemoveTrayIcon(HWND window)
{
    NOTIFYICONDATAA data = IconRecord(window, 0);
    NotifyIconCall(NIM_DELETE, &data);
}

void StartIconAnimation(HWND window)
{
    if (InterlockedIncrement(&AnimationCount) > 1) {
        InterlockedDecrement(&AnimationCount);
        return;
    }
    DWORD threadId = 0;
    HANDLE thread = CreateThreadCall(nullptr, 0, AnimateTrayIcon, window, 0, &threadId);
    if (thread)
        CloseHandle(thread);
    else
        InterlockedDecrement(&AnimationCount);  // no thread will give the count back
}

DWORD WINAPI AnimateTrayIcon(LPVOID window)
{
    NOTIFYICONDATAA data = IconRecord((HWND)window, NIF_MESSAGE | NIF_ICON);
    char name[4] = { 'M', 'W', '1', '\0' };
    bool oldShell = IsOldShell();
    for (DWORD cycle = 0; cycle < 3; ++cycle) {
        for (DWORD frame = 0; frame < 8; ++frame) {
            name[2] = (char)('1' + frame);
            NotifyWithIcon(NIM_MODIFY, &data, oldShell ? "MW" : name);
            AnimationPauseCall(160 * cycle + 20 * frame + 20);
        }
    }
    return (DWORD)InterlockedDecrement(&AnimationCount);
}

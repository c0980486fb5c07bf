#include "app/resident.h"

#include <windows.h>

#include "app/splash.h"
#include "base/app_state.h"
#include "res/resource.h"
#include "tray/start_window.h"

namespace {

// The named mapping holds the resident copy's Start window handle as one 32-bit value.
const char MAPPING_NAME[] = "Marlowin";
const DWORD MAPPING_SIZE = 4;

static_assert(sizeof(OSVERSIONINFOA) == 148, "the version record of the first form");

void CloseRunningCopy(HANDLE mapping)
{
    volatile DWORD* view = (volatile DWORD*)MapViewOfFile(mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, 0);
    if (!view)
        return;
    HWND running = (HWND)(UINT_PTR)*view;
    // Returns once the running copy has destroyed its window and removed its icon.
    SendMessageA(running, WM_CLOSE, 0, 0);
    UnmapViewOfFile((const void*)view);
}

void RunMessageLoop()
{
    MSG message;
    // An error (-1) ends the loop as WM_QUIT does, instead of spinning on it.
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

}  // namespace

int RunResident(bool unload)
{
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, MAPPING_SIZE, MAPPING_NAME);
    if (!mapping)
        return 0;
    bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
    if (existed || unload) {
        // A later copy only ever closes the running one; an unload with nothing running starts nothing.
        if (existed && unload)
            CloseRunningCopy(mapping);
        CloseHandle(mapping);
        return 0;
    }

    volatile DWORD* view = (volatile DWORD*)MapViewOfFile(mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, 0);
    ZeroMemory(&OsVersion, sizeof OsVersion);
    OsVersion.dwOSVersionInfoSize = sizeof OsVersion;
    GetVersionExA(&OsVersion);

    HWND window = CreateDialogParamA(AppInstance, START_TEMPLATE_NAME, nullptr, StartWindowProc, 0);
    if (!window) {
        if (view)
            UnmapViewOfFile((const void*)view);
        CloseHandle(mapping);
        return 0;
    }
    if (view) {
        *view = (DWORD)(UINT_PTR)window;
        UnmapViewOfFile((const void*)view);
    }

    ShowSplash(window);
    RunMessageLoop();
    CloseHandle(mapping);
    return 0;
}

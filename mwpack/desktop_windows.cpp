#include "mwpack/desktop_windows.h"

#include <objbase.h>

#include "base/dynamic_library.h"
#include "store/profile_vocabulary.h"

namespace {

// Declared here: the headers of the oldest supported system do not have them.
const DWORD CLOAKED_ATTRIBUTE = 14;    // DWMWA_CLOAKED, Windows 8 on

// IVirtualDesktopManager, Windows 10 on.
struct VirtualDesktops : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE IsWindowOnCurrentVirtualDesktop(HWND window, BOOL* onCurrent) = 0;
};
const CLSID CLSID_VIRTUAL_DESKTOPS = { 0xaa509086, 0x5ca9, 0x4c25, { 0x8f, 0x95, 0x58, 0x9d, 0x3c, 0x07, 0xb4, 0x8a } };
const IID IID_VIRTUAL_DESKTOPS = { 0xa5cd92ff, 0x29be, 0x454c, { 0x8d, 0x04, 0xd8, 0x28, 0x79, 0xfb, 0x3f, 0x1b } };

typedef HRESULT(WINAPI* WindowAttributeProc)(HWND, DWORD, PVOID, DWORD);
typedef HRESULT(WINAPI* CreateProc)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);

DWORD ProcessOf(HWND window)
{
    DWORD processId = 0;
    if (window)
        GetWindowThreadProcessId(window, &processId);
    return processId;
}

// The systems and services that can tell; each missing one lets every window through.
class DesktopFilter {
public:
    DesktopFilter()
        : dwm_("dwmapi.dll"), ole_("ole32.dll"), apartment_(), cloaked_(dwm_.function<WindowAttributeProc>("DwmGetWindowAttribute")),
          desktops_(nullptr), shell_(ProcessOf(GetShellWindow())), console_(GetConsoleWindow())
    {
        CreateProc create = ole_.function<CreateProc>("CoCreateInstance");
        if (create && FAILED(create(CLSID_VIRTUAL_DESKTOPS, nullptr, CLSCTX_ALL, IID_VIRTUAL_DESKTOPS,
                                    (void**)&desktops_)))
            desktops_ = nullptr;
    }
    ~DesktopFilter()
    {
        if (desktops_)
            desktops_->Release();
    }
    DesktopFilter(const DesktopFilter&) = delete;
    DesktopFilter& operator=(const DesktopFilter&) = delete;

    // Whether a main window of the process shows on the current desktop.
    bool shows(HWND window, DWORD processId) const
    {
        if (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW)
            return false;
        if (window == console_ || processId == GetCurrentProcessId() || (shell_ && processId == shell_))
            return false;
        DWORD cloaked = 0;
        if (cloaked_ && SUCCEEDED(cloaked_(window, CLOAKED_ATTRIBUTE, &cloaked, sizeof cloaked)) && cloaked)
            return false;
        BOOL current = TRUE;
        return !desktops_ || FAILED(desktops_->IsWindowOnCurrentVirtualDesktop(window, &current)) || current;
    }

private:
    DynamicLibrary dwm_;
    DynamicLibrary ole_;
    ComApartment apartment_;
    WindowAttributeProc cloaked_;
    VirtualDesktops* desktops_;
    DWORD shell_;
    HWND console_;
};

BOOL CALLBACK CollectMainWindow(HWND window, LPARAM data)
{
    if (!IsWindowVisible(window) || GetWindow(window, GW_OWNER))
        return TRUE;
    WCHAR title[512];
    // For another process's window this reads the caption the system keeps; no message is sent,
    // so a program that hangs cannot hold mwpack up.
    int length = GetWindowTextW(window, title, ARRAYSIZE(title));
    std::vector<ProgramWindow>& windows = *(std::vector<ProgramWindow>*)data;
    windows.push_back(ProgramWindow{ window, ProcessOf(window), std::wstring(title, length > 0 ? length : 0) });
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

std::vector<DesktopWindow> VisibleDesktopWindows()
{
    DesktopFilter filter;
    std::vector<DesktopWindow> windows;
    for (const ProgramWindow& main : MainWindows()) {
        if (main.title.empty() || !filter.shows(main.window, main.processId))
            continue;
        const char* state = WindowTextOf(IsIconic(main.window)   ? SHOW_MINIMIZED
                                         : IsZoomed(main.window) ? SHOW_MAXIMIZED
                                                                 : SHOW_NORMAL);
        windows.push_back(DesktopWindow{ main.processId, main.title, state });
    }
    return windows;
}

#include "tray/start_window.h"

#include "res/resource.h"
#include "tray/commands.h"
#include "tray/tray_icon.h"
#include "tray/tray_menu.h"

// Registered for "TaskbarCreated" while the window is created; 0 before.
static UINT TaskbarCreatedMessage;

namespace {

INT_PTR OnInitDialog(HWND window)
{
    AddTrayIcon(window);
    TaskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");
    return FALSE;  // no focus to set
}

INT_PTR OnDestroy(HWND window)
{
    RemoveTrayIcon(window);
    PostQuitMessage(0);
    return FALSE;
}

INT_PTR OnClose(HWND window)
{
    DestroyWindow(window);
    return FALSE;
}

INT_PTR OnCommand(HWND window, WPARAM wParam)
{
    return DispatchCommand(window, wParam) == 0 ? TRUE : FALSE;
}

INT_PTR OnColorDialog()
{
    // Black is also the splash's colour key, so the background is see-through.
    return (INT_PTR)GetStockObject(BLACK_BRUSH);
}

INT_PTR OnExitMenuLoop()
{
    DestroyTrayMenus();
    return FALSE;
}

INT_PTR OnTrayMessage(HWND window, WPARAM wParam, LPARAM lParam)
{
    OnTrayNotify(window, wParam, lParam);
    return TRUE;
}

INT_PTR OnOtherMessage(HWND window, UINT message)
{
    if (TaskbarCreatedMessage != 0 && message == TaskbarCreatedMessage)
        AddTrayIcon(window);
    return FALSE;
}

}  // namespace

INT_PTR CALLBACK StartWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(window);
    case WM_DESTROY:
        return OnDestroy(window);
    case WM_CLOSE:
        return OnClose(window);
    case WM_COMMAND:
        return OnCommand(window, wParam);
    case WM_CTLCOLORDLG:
        return OnColorDialog();
    case WM_EXITMENULOOP:
        return OnExitMenuLoop();
    case WM_QUERYENDSESSION:
    case WM_ENDSESSION:
        return FALSE;  // left to the default processing
    case WM_TRAYNOTIFY:
        return OnTrayMessage(window, wParam, lParam);
    default:
        return OnOtherMessage(window, message);
    }
}

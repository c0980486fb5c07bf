#include "tray/about_box.h"

#include "base/app_state.h"
#include "base/dynamic_library.h"
#include "res/resource.h"
#include "tray/commands.h"

namespace {

INT_PTR OnInitDialog(HWND box)
{
    HANDLE bigIcon = LoadImageA(AppInstance, "MW", IMAGE_ICON, 0, 0, LR_SHARED | LR_DEFAULTSIZE);
    SendMessageA(box, WM_SETICON, ICON_BIG, (LPARAM)bigIcon);
    HANDLE smallIcon = LoadImageA(AppInstance, "MW", IMAGE_ICON, 16, 16, LR_SHARED);
    SendMessageA(box, WM_SETICON, ICON_SMALL, (LPARAM)smallIcon);
    return 1;   // focus to the first tab stop, "OK"
}

INT_PTR OnClose(HWND box)
{
    EndDialog(box, 1);
    return 1;
}

INT_PTR OnCommand(HWND box, WPARAM wParam)
{
    // IDCANCEL (Escape) is no command of the box, so it stays open.
    return DispatchCommand(box, wParam) == 0 ? 1 : 0;
}

}  // namespace

INT_PTR CALLBACK AboutDialogProc(HWND box, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(box);
    case WM_CLOSE:
        return OnClose(box);
    case WM_COMMAND:
        return OnCommand(box, wParam);
    default:
        return 0;
    }
}

void ShowAboutBox()
{
    UseCommonControls();
    DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_ABOUT), nullptr, AboutDialogProc, 0);
}

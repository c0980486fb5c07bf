// The least a tray program can be: one hidden dialog and one tray icon. The resident benchmark
// compares Marlowin.exe against it.
#include <windows.h>
#include <shellapi.h>

namespace {

const UINT ICON_ID = 1;

INT_PTR CALLBACK BaselineProc(HWND window, UINT message, WPARAM, LPARAM)
{
    NOTIFYICONDATAA data;
    ZeroMemory(&data, sizeof data);
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = window;
    data.uID = ICON_ID;
    switch (message) {
    case WM_INITDIALOG:
        data.uFlags = NIF_ICON | NIF_TIP;
        data.hIcon = LoadIconA(nullptr, (LPCSTR)IDI_APPLICATION);
        lstrcpynA(data.szTip, "baseline", sizeof data.szTip);
        Shell_NotifyIconA(NIM_ADD, &data);
        return FALSE;
    case WM_CLOSE:
        DestroyWindow(window);
        return TRUE;
    case WM_DESTROY:
        Shell_NotifyIconA(NIM_DELETE, &data);
        PostQuitMessage(0);
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

int main()
{
    // An empty dialog template in memory: no resources needed.
    struct {
        DLGTEMPLATE header;
        WORD menu, type, title[20];
    } form;
    ZeroMemory(&form, sizeof form);
    form.header.style = WS_POPUP | WS_BORDER;
    form.header.cx = 148;
    form.header.cy = 38;
    const char caption[] = "Marlowin baseline";
    for (int i = 0; caption[i]; ++i)
        form.title[i] = (WORD)caption[i];
    HWND window = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), &form.header, nullptr, BaselineProc, 0);
    if (!window)
        return 1;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

// The least a tray program can be: one hidden dialog and one tray icon. With "ole" it first
// decodes the product's splash logo through OleLoadPicture, as the resident start must, and frees
// the libraries again: the floor that the resident Marlowin.exe is held to. The resident
// benchmark compares Marlowin.exe against both.
#include <windows.h>
#include <ole2.h>
#include <olectl.h>
#include <shellapi.h>
#include <string.h>

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

// The logo decoded once, with COM and the picture library loaded only for that; false when it failed.
bool DecodeLogo()
{
    typedef HRESULT(WINAPI * InitializeProc)(LPVOID);
    typedef void(WINAPI * UninitializeProc)();
    typedef HRESULT(WINAPI * CreateStreamProc)(HGLOBAL, BOOL, LPSTREAM*);
    typedef HRESULT(WINAPI * LoadPictureProc)(LPSTREAM, LONG, BOOL, REFIID, LPVOID*);
    HRSRC found = FindResourceA(nullptr, "LOGO", "JPG");
    HGLOBAL resource = found ? LoadResource(nullptr, found) : nullptr;
    const void* bytes = resource ? LockResource(resource) : nullptr;
    HMODULE ole = LoadLibraryA("ole32.dll");
    HMODULE automation = LoadLibraryA("oleaut32.dll");
    InitializeProc initialize = ole ? (InitializeProc)(void*)GetProcAddress(ole, "CoInitialize") : nullptr;
    UninitializeProc uninitialize = ole ? (UninitializeProc)(void*)GetProcAddress(ole, "CoUninitialize") : nullptr;
    CreateStreamProc createStream =
        ole ? (CreateStreamProc)(void*)GetProcAddress(ole, "CreateStreamOnHGlobal") : nullptr;
    LoadPictureProc loadPicture =
        automation ? (LoadPictureProc)(void*)GetProcAddress(automation, "OleLoadPicture") : nullptr;
    bool decoded = false;
    if (bytes && initialize && uninitialize && createStream && loadPicture && SUCCEEDED(initialize(nullptr))) {
        IStream* stream = nullptr;
        if (SUCCEEDED(createStream(nullptr, TRUE, &stream))) {
            LARGE_INTEGER start;
            start.QuadPart = 0;
            IPicture* picture = nullptr;
            if (SUCCEEDED(stream->Write(bytes, SizeofResource(nullptr, found), nullptr)) &&
                SUCCEEDED(stream->Seek(start, STREAM_SEEK_SET, nullptr)) &&
                SUCCEEDED(loadPicture(stream, 0, TRUE, IID_IPicture, (void**)&picture)) && picture) {
                OLE_HANDLE bitmap = 0;
                decoded = SUCCEEDED(picture->get_Handle(&bitmap)) && bitmap != 0;
                picture->Release();
            }
            stream->Release();
        }
        uninitialize();
    }
    if (automation)
        FreeLibrary(automation);
    if (ole)
        FreeLibrary(ole);
    return decoded;
}

}  // namespace

int main(int argc, char** argv)
{
    bool ole = argc > 1 && strcmp(argv[1], "ole") == 0;
    if (ole && !DecodeLogo())
        return 2;
    // An empty dialog template in memory: no resources needed.
    struct {
        DLGTEMPLATE header;
        WORD menu, type, title[24];
    } form;
    ZeroMemory(&form, sizeof form);
    form.header.style = WS_POPUP | WS_BORDER;
    form.header.cx = 148;
    form.header.cy = 38;
    const char* caption = ole ? "Marlowin OLE floor" : "Marlowin baseline";
    for (int i = 0; caption[i] && i < (int)ARRAYSIZE(form.title) - 1; ++i)
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

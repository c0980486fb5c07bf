#include "app/splash.h"

#include "base/app_state.h"
#include "base/dynamic_library.h"

namespace {

const int LOGO_WIDTH = 162;
const int LOGO_HEIGHT = 90;

const int SPLASH_WIDTH = LOGO_WIDTH;
const int SPLASH_HEIGHT = LOGO_HEIGHT;
const int SPLASH_TOP_ABOVE_MIDDLE = 145;  // the bottom edge lies 55 pixels above the middle
const BYTE SPLASH_ALPHA = 220;
const DWORD SPLASH_MILLISECONDS = 3000;

typedef HRESULT(WINAPI* CreateStreamProc)(HGLOBAL, BOOL, LPSTREAM*);
typedef HRESULT(WINAPI* LoadPictureProc)(LPSTREAM, LONG, BOOL, REFIID, LPVOID*);

// Only finds a library that the caller already holds.
FARPROC LoadedFunction(const char* library, const char* name)
{
    HMODULE module = GetModuleHandleA(library);
    return module ? GetProcAddress(module, name) : nullptr;
}

// The picture machinery is needed only while the logo is decoded. It is loaded for that and
// released afterwards, so that the resident copy does not keep it in memory.
struct DecodingLibraries {
    ComApartment com;
    DynamicLibrary automation{ "oleaut32.dll" };
};

}  // namespace

bool LoadPictureFromMemory(const void* bytes, DWORD byteCount, IPicture** picture, HBITMAP* bitmap)
{
    *picture = nullptr;
    *bitmap = nullptr;
    CreateStreamProc createStream = (CreateStreamProc)(void*)LoadedFunction("ole32.dll", "CreateStreamOnHGlobal");
    LoadPictureProc loadPicture = (LoadPictureProc)(void*)LoadedFunction("oleaut32.dll", "OleLoadPicture");
    if (!createStream || !loadPicture)
        return false;
    IStream* stream = nullptr;
    if (FAILED(createStream(nullptr, TRUE, &stream)))
        return false;
    LARGE_INTEGER start;
    start.QuadPart = 0;
    if (FAILED(stream->Write(bytes, byteCount, nullptr)) || FAILED(stream->Seek(start, STREAM_SEEK_SET, nullptr))) {
        stream->Release();
        return false;
    }
    IPicture* loaded = nullptr;
    HRESULT result = loadPicture(stream, 0, TRUE, IID_IPicture, (void**)&loaded);
    stream->Release();
    if (FAILED(result) || !loaded)
        return false;
    OLE_HANDLE handle = 0;
    if (FAILED(loaded->get_Handle(&handle))) {
        loaded->Release();
        return false;
    }
    *picture = loaded;
    *bitmap = (HBITMAP)(UINT_PTR)handle;
    return true;
}

HBITMAP LoadBitmapFromMemory(const void* bytes, DWORD byteCount)
{
    DecodingLibraries libraries;
    IPicture* picture;
    HBITMAP source;
    if (!LoadPictureFromMemory(bytes, byteCount, &picture, &source))
        return nullptr;
    BITMAP size;
    ZeroMemory(&size, sizeof size);
    GetObjectA(source, sizeof size, &size);

    HDC screen = GetDC(nullptr);
    HDC from = CreateCompatibleDC(screen);
    HDC to = CreateCompatibleDC(screen);
    HBITMAP copy = CreateCompatibleBitmap(screen, size.bmWidth, size.bmHeight);
    if (from && to && copy) {
        HGDIOBJ oldFrom = SelectObject(from, source);
        HGDIOBJ oldTo = SelectObject(to, copy);
        BitBlt(to, 0, 0, size.bmWidth, size.bmHeight, from, 0, 0, SRCCOPY);
        SelectObject(from, oldFrom);
        SelectObject(to, oldTo);
    }
    if (from)
        DeleteDC(from);
    if (to)
        DeleteDC(to);
    ReleaseDC(nullptr, screen);
    picture->Release();
    return copy;
}

BOOL SetLayeredColorKey(HWND window, COLORREF key, BYTE alpha, DWORD flags)
{
    typedef BOOL(WINAPI * SetLayeredWindowAttributesProc)(HWND, COLORREF, BYTE, DWORD);
    DynamicLibrary user("user32.dll");
    SetLayeredWindowAttributesProc setAttributes =
        user.function<SetLayeredWindowAttributesProc>("SetLayeredWindowAttributes");
    if (!setAttributes)
        return 0;
    SetWindowLongA(window, GWL_EXSTYLE, WS_EX_LAYERED | WS_EX_TOOLWINDOW);
    return setAttributes(window, key, alpha, flags);
}

void DrawSplashLogo(HWND window)
{
    HRSRC found = FindResourceA(AppInstance, "LOGO", "JPG");
    if (!found)
        return;
    HGLOBAL loaded = LoadResource(AppInstance, found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    // The decoder gets the resource's real size, never more than was linked.
    DWORD byteCount = SizeofResource(AppInstance, found);
    if (!bytes || byteCount == 0)
        return;
    HBITMAP logo = LoadBitmapFromMemory(bytes, byteCount);
    if (!logo)
        return;
    HDC target = GetDC(window);
    HDC memory = CreateCompatibleDC(target);
    if (memory) {
        HGDIOBJ previous = SelectObject(memory, logo);
        BitBlt(target, 0, 0, LOGO_WIDTH, LOGO_HEIGHT, memory, 0, 0, SRCCOPY);
        SelectObject(memory, previous);
        DeleteDC(memory);
    }
    ReleaseDC(window, target);
    DeleteObject(logo);
}

void ShowSplash(HWND window)
{
    int x = GetSystemMetrics(SM_CXSCREEN) / 2 - SPLASH_WIDTH / 2;
    int y = GetSystemMetrics(SM_CYSCREEN) / 2 - SPLASH_TOP_ABOVE_MIDDLE;
    MoveWindow(window, x, y, SPLASH_WIDTH, SPLASH_HEIGHT, TRUE);
    if (OsVersion.dwMajorVersion >= 5)
        SetLayeredColorKey(window, RGB(0, 0, 0), SPLASH_ALPHA, LWA_COLORKEY);
    ShowWindow(window, SW_SHOW);
    DrawSplashLogo(window);
    // A zero wait for nothing: some window systems put GDI output on screen only when the thread
    // waits; no message is taken from the queue, so the pause stays free of message handling.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, 0);
    Sleep(SPLASH_MILLISECONDS);
    SetWindowPos(window, nullptr, 0, 0, 1, 1, SWP_HIDEWINDOW | SWP_NOZORDER);
    ShowWindow(window, SW_MINIMIZE);
    ShowWindow(window, SW_HIDE);
}

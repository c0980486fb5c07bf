#include "tests/dialogs/tray_fixture.h"


#include "tray/tray_icon.h"
#include "tray/tray_menu.h"

using namespace testing_support;

namespace tray_testing {

namespace {

// A path for the wide calls, beyond the 259 characters of the ANSI ones.
std::wstring LongPath(const std::string& path)
{
    std::string full = "\\\\?\\" + path;
    std::wstring wide(full.size() + 1, L'\0');
    int length = MultiByteToWideChar(CP_ACP, 0, full.c_str(), -1, &wide[0], (int)wide.size());
    wide.resize(length > 0 ? length - 1 : 0);
    return wide;
}

void RemoveFolder(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveFolder(folder + L"\\" + name);
            else
                DeleteFileW((folder + L"\\" + name).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

}  // namespace

PackagesFolder::PackagesFolder() : path_(BinFolder() + "\\Packages")
{
    RemoveFolder(LongPath(path_));
    CreateDirectoryA(path_.c_str(), nullptr);
}

PackagesFolder::~PackagesFolder()
{
    RemoveFolder(LongPath(path_));
}

bool PackagesFolder::addLongNamedFile(const std::string& fileName, const std::string& bytes)
{
    HANDLE file = CreateFileW(LongPath(path_ + "\\" + fileName).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, nullptr);
    CloseHandle(file);
    return written == bytes.size();
}

std::string PackagesFolder::addPackage(const std::string& name, const std::string& recorderArguments)
{
    RecordSpec record;
    record.name = "only";
    record.object = RecorderPath();
    record.arguments = recorderArguments;
    record.directory = BinFolder();
    record.type = "Executable";
    record.window = "Normal";
    return addFile(name + ".mwpack", EncodePackage({ record }));
}

std::string PackagesFolder::addFile(const std::string& fileName, const std::string& bytes)
{
    std::string file = path_ + "\\" + fileName;
    WriteFileBytes(file, bytes);
    return file;
}

namespace {

const char* HTTP_COMMAND_KEY = "http\\shell\\open\\command";

}  // namespace

HttpRecorder::HttpRecorder()
{
    char value[1024];
    LONG size = sizeof value;
    if (RegQueryValueA(HKEY_CLASSES_ROOT, HTTP_COMMAND_KEY, value, &size) == ERROR_SUCCESS) {
        former_ = value;
        hadFormer_ = true;
    }
    std::string command = "\"" + RecorderPath() + "\" \"%1\"";
    RegSetValueA(HKEY_CLASSES_ROOT, HTTP_COMMAND_KEY, REG_SZ, command.c_str(), (DWORD)command.size());
}

HttpRecorder::~HttpRecorder()
{
    if (hadFormer_)
        RegSetValueA(HKEY_CLASSES_ROOT, HTTP_COMMAND_KEY, REG_SZ, former_.c_str(), (DWORD)former_.size());
}

namespace {

LRESULT CALLBACK CommandWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        return DispatchCommand(window, wParam) == 0 ? 1 : 0;
    case WM_EXITMENULOOP:
        DestroyTrayMenus();
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

HWND CreateCommandWindow()
{
    static ATOM registered = 0;
    if (!registered) {
        WNDCLASSA windowClass;
        ZeroMemory(&windowClass, sizeof windowClass);
        windowClass.lpfnWndProc = CommandWindowProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "MarlowinTestCommands";
        registered = RegisterClassA(&windowClass);
    }
    return CreateWindowExA(0, "MarlowinTestCommands", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

std::vector<HWND> OwnWindows(const char* className, const char* title)
{
    std::vector<HWND> windows;
    for (HWND window = FindWindowExA(nullptr, nullptr, className, title); window;
         window = FindWindowExA(nullptr, window, className, title)) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process == GetCurrentProcessId() && IsWindowVisible(window))
            windows.push_back(window);
    }
    return windows;
}

HWND OwnWindow(const char* className, const char* title)
{
    std::vector<HWND> windows = OwnWindows(className, title);
    return windows.empty() ? nullptr : windows.front();
}

namespace {

UiScript* runningScript = nullptr;

}  // namespace

UiScript& UiScript::then(Step step)
{
    steps_.push_back(step);
    return *this;
}

void UiScript::run(const std::function<void()>& action, DWORD timeoutMs)
{
    UiScript* outer = runningScript;
    runningScript = this;
    started_ = GetTickCount();
    timeout_ = timeoutMs;
    UINT_PTR timer = SetTimer(nullptr, 0, 40, Tick);
    action();
    KillTimer(nullptr, timer);
    runningScript = outer;
}

void CALLBACK UiScript::Tick(HWND, UINT, UINT_PTR, DWORD)
{
    if (runningScript)
        runningScript->tick();
}

void UiScript::tick()
{
    if (next_ < steps_.size() && steps_[next_]())
        ++next_;
    if (next_ < steps_.size() && !timedOut_ && GetTickCount() - started_ > timeout_) {
        timedOut_ = true;
        EndMenu();
        for (HWND box : OwnWindows("#32770"))
            PostMessageA(box, WM_CLOSE, 0, 0);
    }
}

void PumpMessages(DWORD ms)
{
    DWORD begin = GetTickCount();
    do {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(10);
    } while (GetTickCount() - begin < ms);
}

void PressKeys(HWND window, const std::vector<WORD>& keys)
{
    for (WORD key : keys) {
        PostMessageA(window, WM_KEYDOWN, key, 1);
        PostMessageA(window, WM_KEYUP, key, 0xC0000001);
    }
}

void SaveScreenshot(HWND window, const char* name)
{
    RECT rect;
    if (!GetWindowRect(window, &rect))
        return;
    UpdateWindow(window);
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return;

    BITMAPINFOHEADER header;
    ZeroMemory(&header, sizeof header);
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    DWORD stride = ((DWORD)width * 3 + 3) & ~3u;
    header.biSizeImage = stride * (DWORD)height;

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, (BITMAPINFO*)&header, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap && bits) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
        SelectObject(memory, old);
        GdiFlush();

        std::string folder = BinFolder() + "\\..\\screenshots";
        CreateDirectoryA(folder.c_str(), nullptr);
        BITMAPFILEHEADER file;
        ZeroMemory(&file, sizeof file);
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof file + sizeof header;
        file.bfSize = file.bfOffBits + header.biSizeImage;
        std::string bytes((const char*)&file, sizeof file);
        bytes.append((const char*)&header, sizeof header);
        bytes.append((const char*)bits, header.biSizeImage);
        WriteFileBytes(folder + "\\" + name + ".bmp", bytes);
    }
    if (bitmap)
        DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

}  // namespace tray_testing

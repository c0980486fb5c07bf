// A witness for launches: appends one line about how it was started to the file named by
// MW_RECORD_LOG, then ends. With MW_RECORD_WINDOW set it is a program on the desktop instead: a
// window of that title, shown as it was started, until the window is closed; it writes nothing.
// MW_RECORD_NULL_AT=C makes the first C of its own command line a null character, as a program
// may leave it for others to read.
#include <windows.h>
#include <winternl.h>
#include <stdio.h>

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY)
        PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

int ShowWindowUntilClosed(HINSTANCE instance, const char* title, int showCommand)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "MarlowinRecorder";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowA("MarlowinRecorder", title, WS_OVERLAPPEDWINDOW, 40, 40, 320, 200, nullptr, nullptr,
                                instance, nullptr);
    if (!window)
        return 3;
    ShowWindow(window, showCommand);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    char title[256];
    DWORD titleLength = GetEnvironmentVariableA("MW_RECORD_WINDOW", title, sizeof title);
    char mark[2];
    if (GetEnvironmentVariableA("MW_RECORD_NULL_AT", mark, sizeof mark) == 1) {
        UNICODE_STRING& line = NtCurrentTeb()->ProcessEnvironmentBlock->ProcessParameters->CommandLine;
        for (USHORT i = 0; i < line.Length / sizeof(WCHAR); ++i)
            if (line.Buffer[i] == (WCHAR)mark[0]) {
                line.Buffer[i] = L'\0';
                break;
            }
    }
    if (titleLength > 0 && titleLength < sizeof title)
        return ShowWindowUntilClosed(instance, title, showCommand);

    char logPath[MAX_PATH];
    if (!GetEnvironmentVariableA("MW_RECORD_LOG", logPath, sizeof logPath))
        return 1;

    STARTUPINFOA startup;
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    char directory[MAX_PATH];
    GetCurrentDirectoryA(sizeof directory, directory);
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    ULONGLONG createdTicks = ((ULONGLONG)created.dwHighDateTime << 32) | created.dwLowDateTime;

    char line[4096];
    int length = snprintf(line, sizeof line, "time=%020llu\tflags=%lu\tshow=%u\tcwd=%s\tcmd=%s\r\n",
                          createdTicks, startup.dwFlags, startup.wShowWindow, directory, GetCommandLineA());
    if (length < 0 || length >= (int)sizeof line)
        length = (int)sizeof line - 1;

    // Several recorders may start at once: retry while another holds the file.
    for (int attempt = 0; attempt < 200; ++attempt) {
        HANDLE file = CreateFileA(logPath, FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(file, line, (DWORD)length, &written, nullptr);
            CloseHandle(file);
            return 0;
        }
        Sleep(10);
    }
    return 2;
}

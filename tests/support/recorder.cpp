// A witness for launches: appends one line about how it was started to the file named by
// MW_RECORD_LOG, then ends. With MW_RECORD_WINDOW set it is a program on the desktop instead: a
// window of that title, shown as it was started, until the window is closed; it writes nothing.
// With the argument "window" it is both: a window titled with its arguments, shown as it was
// started, and a line that also tells when it asked for the window to show (shown=); it stays until
// the window is closed. "late" holds the window back 1.5 s, as a program slow to start does;
// "stubborn" ignores the request to close; "hostile" adds to its title a lone surrogate and a
// character outside every ANSI code page. With "hold" it writes its line and then stays, showing
// nothing, until it is ended: a process of many for benchmarks, which no display need serve.
// MW_RECORD_NULL_AT=C makes the first C of its own command line a null character, as a program
// may leave it for others to read.
#include <windows.h>
#include <winternl.h>
#include <stdio.h>
#include <string.h>

#include "launch/launch_rules.h"

namespace {

bool stubborn = false;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE && stubborn)
        return 0;
    if (message == WM_DESTROY)
        PostQuitMessage(0);
    return DefWindowProcW(window, message, wParam, lParam);
}

bool HasWord(const char* text, const char* word)
{
    size_t length = strlen(word);
    for (const char* at = strstr(text, word); at; at = strstr(at + 1, word))
        if ((at == text || at[-1] == ' ') && (at[length] == ' ' || at[length] == '\0'))
            return true;
    return false;
}

ULONGLONG Ticks(const FILETIME& time)
{
    return ((ULONGLONG)time.dwHighDateTime << 32) | time.dwLowDateTime;
}

// The line about this start, shown=0 when no window was asked for.
int Record(ULONGLONG shown)
{
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

    char line[4096];
    int length = snprintf(line, sizeof line, "time=%020llu\tflags=%lu\tshow=%u\tcwd=%s\tshown=%020llu\tcmd=%s\r\n",
                          Ticks(created), startup.dwFlags, startup.wShowWindow, directory, shown, GetCommandLineA());
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

int ShowWindowUntilClosed(HINSTANCE instance, const char* title, int showCommand, bool record)
{
    // A window of the wide calls, so that its title may hold any character.
    WCHAR wideTitle[300];
    int length = MultiByteToWideChar(CP_ACP, 0, title, -1, wideTitle, 256);
    if (length > 0 && HasWord(title, "hostile"))
        lstrcpyW(wideTitle + length - 1, L" \xD800\x4E2D");
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"MarlowinRecorder";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowW(L"MarlowinRecorder", length > 0 ? wideTitle : L"", WS_OVERLAPPEDWINDOW, 40, 40, 320,
                                200, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 3;
    FILETIME shown;
    GetSystemTimeAsFileTime(&shown);
    ShowWindow(window, showCommand);
    if (record)
        Record(Ticks(shown));
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    char mark[2];
    if (GetEnvironmentVariableA("MW_RECORD_NULL_AT", mark, sizeof mark) == 1) {
        UNICODE_STRING& line = NtCurrentTeb()->ProcessEnvironmentBlock->ProcessParameters->CommandLine;
        for (USHORT i = 0; i < line.Length / sizeof(WCHAR); ++i)
            if (line.Buffer[i] == (WCHAR)mark[0]) {
                line.Buffer[i] = L'\0';
                break;
            }
    }
    char title[256];
    DWORD titleLength = GetEnvironmentVariableA("MW_RECORD_WINDOW", title, sizeof title);
    if (titleLength > 0 && titleLength < sizeof title)
        return ShowWindowUntilClosed(instance, title, showCommand, false);

    const char* arguments = SkipProgramName(GetCommandLineA());
    if (HasWord(arguments, "hold")) {
        Record(0);
        Sleep(INFINITE);
    }
    if (!HasWord(arguments, "window"))
        return Record(0);
    stubborn = HasWord(arguments, "stubborn");
    if (HasWord(arguments, "late"))
        Sleep(1500);
    return ShowWindowUntilClosed(instance, arguments, showCommand, true);
}

// A witness for launches: appends one line about how it was started to the file named by
// MW_RECORD_LOG, then ends.
#include <windows.h>
#include <stdio.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
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

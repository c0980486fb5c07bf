// Baseline for the launch benchmark: CreateProcessA for each line of a file, nothing else.
#include <windows.h>
#include <stdio.h>
#include <string.h>

int main(int argc, char** argv)
{
    if (argc < 2)
        return 1;
    FILE* lines = fopen(argv[1], "r");
    if (!lines)
        return 1;
    char line[1024];
    while (fgets(line, sizeof line, lines)) {
        line[strcspn(line, "\r\n")] = '\0';
        STARTUPINFOA startup;
        ZeroMemory(&startup, sizeof startup);
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_SHOWNORMAL;
        PROCESS_INFORMATION process;
        if (CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr, "C:\\",
                           &startup, &process)) {
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        }
    }
    fclose(lines);
    return 0;
}

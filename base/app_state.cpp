#include "base/app_state.h"

#include <string.h>

HINSTANCE AppInstance;
OSVERSIONINFOA OsVersion;

const char* ExeFolder()
{
    static char folder[MAX_PATH];
    if (folder[0] == '\0') {
        DWORD length = GetModuleFileNameA(nullptr, folder, sizeof folder);
        if (length >= sizeof folder)
            length = sizeof folder - 1;
        folder[length] = '\0';
        char* lastBackslash = strrchr(folder, '\\');
        if (lastBackslash)
            *lastBackslash = '\0';
    }
    return folder;
}

#include "launch/launch_profiles.h"

#include <shellapi.h>

#include "launch/launch_rules.h"

static_assert(SHOW_NORMAL == SW_SHOWNORMAL && SHOW_MAXIMIZED == SW_SHOWMAXIMIZED && SHOW_MINIMIZED == SW_MINIMIZE,
              "the table's show commands are the platform's");

bool StartExecutable(const ProfileBase& profile, PROCESS_INFORMATION* kept)
{
    char commandLine[COMMAND_LINE_SIZE];
    if (!ComposeCommandLine(profile.object(), profile.arguments(), commandLine, sizeof commandLine)) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return false;
    }

    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = (WORD)ResolveShowCommand(profile.window());
    PROCESS_INFORMATION process;
    ZeroMemory(&process, sizeof process);

    char objectFolder[FIELD_SIZE];
    const char* folder = StartFolder(profile.object(), profile.directory(), objectFolder, sizeof objectFolder);
    if (CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr, folder,
                       &startup, &process)) {
        CloseHandle(process.hThread);
        process.hThread = nullptr;
        if (kept)
            *kept = process;
        else
            CloseHandle(process.hProcess);
        return true;
    }
    return false;
}

namespace {

// ShellExecute reports success as a value above 32, and failure as a code of its own; the low
// codes are system error numbers, the others are given theirs here.
bool Succeeded(HINSTANCE result)
{
    INT_PTR code = (INT_PTR)result;
    if (code > 32)
        return true;
    DWORD error = (DWORD)code;
    if (code == 0)
        error = ERROR_NOT_ENOUGH_MEMORY;
    else if (code == SE_ERR_SHARE)
        error = ERROR_SHARING_VIOLATION;
    else if (code == SE_ERR_ASSOCINCOMPLETE || code == SE_ERR_NOASSOC)
        error = ERROR_NO_ASSOCIATION;
    else if (code >= SE_ERR_DDETIMEOUT && code <= SE_ERR_DDEBUSY)
        error = ERROR_DDE_FAIL;
    else if (code == SE_ERR_DLLNOTFOUND)
        error = ERROR_DLL_NOT_FOUND;
    SetLastError(error);
    return false;
}

}  // namespace

bool LaunchProfile(const ProfileBase& profile, HWND owner)
{
    if (profile.object()[0] == '\0')
        return false;
    int showCommand = ResolveShowCommand(profile.window());
    switch (ResolveLaunchWay(profile.type())) {
    case LAUNCH_AUTO:
        return Succeeded(ShellExecuteA(owner, nullptr, profile.object(), nullptr, nullptr, showCommand));
    case LAUNCH_DOCUMENT:
        return Succeeded(ShellExecuteA(owner, profile.command(), profile.object(), nullptr, nullptr, showCommand));
    case LAUNCH_EXECUTABLE:
        return StartExecutable(profile, nullptr);
    }
    return false;
}

void LaunchProfiles(const ProfileBase* first, HWND owner)
{
    for (const ProfileBase* profile = first; profile; profile = profile->next)
        LaunchProfile(*profile, owner);
}

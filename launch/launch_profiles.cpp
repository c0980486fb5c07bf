#include "launch/launch_profiles.h"

#include <shellapi.h>

#include "launch/launch_rules.h"

static_assert(SHOW_NORMAL == SW_SHOWNORMAL && SHOW_MAXIMIZED == SW_SHOWMAXIMIZED && SHOW_MINIMIZED == SW_MINIMIZE,
              "the table's show commands are the platform's");

namespace {

bool StartProcess(const ProfileBase& profile, int showCommand)
{
    char commandLine[COMMAND_LINE_SIZE];
    if (!ComposeCommandLine(profile.object(), profile.arguments(), commandLine, sizeof commandLine))
        return false;

    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = (WORD)showCommand;
    PROCESS_INFORMATION process;
    ZeroMemory(&process, sizeof process);

    char objectFolder[FIELD_SIZE];
    const char* folder = StartFolder(profile.object(), profile.directory(), objectFolder, sizeof objectFolder);
    if (CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr, folder,
                       &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return true;
    }
    return false;
}

// ShellExecute reports success as a value above 32.
bool Succeeded(HINSTANCE result)
{
    return (INT_PTR)result > 32;
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
        return StartProcess(profile, showCommand);
    }
    return false;
}

void LaunchProfiles(const ProfileBase* first, HWND owner)
{
    for (const ProfileBase* profile = first; profile; profile = profile->next)
        LaunchProfile(*profile, owner);
}

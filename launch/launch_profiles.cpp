#include "launch/launch_profiles.h"

#include <shellapi.h>

#include "launch/launch_rules.h"

namespace {

void StartProcess(const ProfileBase& profile, int showCommand)
{
    char commandLine[COMMAND_LINE_SIZE];
    if (!ComposeCommandLine(profile.object(), profile.arguments(), commandLine, sizeof commandLine))
        return;

    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = (WORD)showCommand;
    PROCESS_INFORMATION process;
    ZeroMemory(&process, sizeof process);

    // The directory goes over as given, even when empty: the platform decides what that means.
    if (CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                       profile.directory(), &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

}  // namespace

void LaunchProfiles(const ProfileBase* first, HWND owner)
{
    for (const ProfileBase* profile = first; profile; profile = profile->next) {
        LaunchWay way = ResolveLaunchWay(profile->type());
        if (profile->object()[0] == '\0')
            continue;
        int showCommand = ResolveShowCommand(profile->window());
        switch (way) {
        case LAUNCH_AUTO:
            ShellExecuteA(owner, nullptr, profile->object(), nullptr, nullptr, showCommand);
            break;
        case LAUNCH_DOCUMENT:
            ShellExecuteA(owner, profile->command(), profile->object(), nullptr, nullptr, showCommand);
            break;
        case LAUNCH_EXECUTABLE:
            StartProcess(*profile, showCommand);
            break;
        }
    }
}

#include "launch/waited_launch.h"

#include <shellapi.h>

#include "base/dynamic_library.h"
#include "launch/launch_profiles.h"
#include "launch/launch_rules.h"

namespace {

typedef DWORD(WINAPI* ProcessIdProc)(HANDLE);

// Windows XP SP1 and later tell a process's id from its handle; before them it stays unknown.
DWORD ProcessIdOf(HANDLE process)
{
    DynamicLibrary kernel("kernel32.dll");
    ProcessIdProc processId = kernel.function<ProcessIdProc>("GetProcessId");
    return process && processId ? processId(process) : 0;
}

}  // namespace

bool LaunchProfileForWaiting(const ProfileBase& profile, StartedProgram& started)
{
    started.process = nullptr;
    started.processId = 0;
    if (profile.object()[0] == '\0')
        return false;
    LaunchWay way = ResolveLaunchWay(profile.type());
    if (way == LAUNCH_EXECUTABLE) {
        PROCESS_INFORMATION process;
        if (!StartExecutable(profile, &process))
            return false;
        started.process = process.hProcess;
        started.processId = process.dwProcessId;
        return true;
    }
    SHELLEXECUTEINFOA shell;
    ZeroMemory(&shell, sizeof shell);
    shell.cbSize = sizeof shell;
    // ShellExecute shows no message of its own either; the process handle is kept open for us.
    shell.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    shell.lpVerb = way == LAUNCH_DOCUMENT ? profile.command() : nullptr;
    shell.lpFile = profile.object();
    shell.nShow = ResolveShowCommand(profile.window());
    if (!ShellExecuteExA(&shell))
        return false;
    started.process = shell.hProcess;
    started.processId = ProcessIdOf(shell.hProcess);
    return true;
}

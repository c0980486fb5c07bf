// Starting a profile for a caller that then waits on the program it started: mwpack's launch that
// waits for each program to be ready. Marlowin.exe's launcher waits for nothing and never comes
// here, so the shell's other call stays out of its imports.
#ifndef MARLOWIN_WAITED_LAUNCH_H
#define MARLOWIN_WAITED_LAUNCH_H

#include <windows.h>

#include "store/profile.h"

struct StartedProgram {
    HANDLE process;   // the caller closes it; null when the shell started no process of its own
                      // (it handed the document to a program already running) or did not say
    DWORD processId;  // 0 when not known
};

// Starts the profile as LaunchProfile does, through the same calls, except that the shell is asked
// through ShellExecuteEx so that it hands back the process it started. False as LaunchProfile gives
// it, with the thread's last error naming the cause.
bool LaunchProfileForWaiting(const ProfileBase& profile, StartedProgram& started);

#endif

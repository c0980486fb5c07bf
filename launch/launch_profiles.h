#ifndef MARLOWIN_LAUNCH_PROFILES_H
#define MARLOWIN_LAUNCH_PROFILES_H

#include <windows.h>

#include "store/profile.h"

// Starts one profile without waiting for it. False when it could not be started, also when it
// has no object to start; the thread's last error then names the cause.
bool LaunchProfile(const ProfileBase& profile, HWND owner);

// LaunchProfile's way for an Executable profile: a new process for the composed command line. With
// `kept`, the new process's handle and id stay there for a caller that waits on it and then closes
// the handle (its thread's handle is closed, and null).
bool StartExecutable(const ProfileBase& profile, PROCESS_INFORMATION* kept);

// Starts every profile from the given one on, in list order, without waiting for any.
void LaunchProfiles(const ProfileBase* first, HWND owner);

#endif

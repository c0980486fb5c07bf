#ifndef MARLOWIN_LAUNCH_PROFILES_H
#define MARLOWIN_LAUNCH_PROFILES_H

#include <windows.h>

#include "store/profile.h"

// Starts one profile without waiting for it. False when it could not be started, also when it
// has no object to start; the thread's last error then names the cause.
bool LaunchProfile(const ProfileBase& profile, HWND owner);

// Starts every profile from the given one on, in list order, without waiting for any.
void LaunchProfiles(const ProfileBase* first, HWND owner);

#endif

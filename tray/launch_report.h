// The one report of a package started from the tray: a balloon from the tray icon that names the
// profiles that could not be started and why.
#ifndef MARLOWIN_LAUNCH_REPORT_H
#define MARLOWIN_LAUNCH_REPORT_H

#include <windows.h>

#include "launch/launch_profiles.h"

// The balloon's title and text: the package, then one line per kept failure, the profile's name
// and the system's words for its cause, and how many more there were. Both are always terminated.
void DescribeLaunchFailures(const char* package, const LaunchFailures& failures, char* title, size_t titleSize,
                            char* text, size_t textSize);

// Shows that balloon from the window's tray icon when some profiles failed; nothing otherwise.
void ReportLaunchFailures(HWND window, const char* package, const LaunchFailures& failures);

#endif

// The few process-wide values that several windows read.
#ifndef MARLOWIN_APP_STATE_H
#define MARLOWIN_APP_STATE_H

#include <windows.h>

extern HINSTANCE AppInstance;
extern OSVERSIONINFOA OsVersion;

// The folder that holds the executable, without a trailing backslash; the
// Packages folder lies beside the program in it.
const char* ExeFolder();

#endif

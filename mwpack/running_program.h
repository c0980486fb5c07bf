// What another process tells about the program it runs: its file and its command line.
#ifndef MARLOWIN_RUNNING_PROGRAM_H
#define MARLOWIN_RUNNING_PROGRAM_H

#include <windows.h>
#include <string>

struct RunningProgram {
    std::wstring path;          // the program's full path; empty when it could not be read
    bool commandLineRead;
    std::wstring commandLine;   // as the process was given it, program part included
    std::string why;            // why the path or the command line could not be read
};

// Reads the program and command line of the process. The command line is asked of the system
// first (Windows 8.1 and later, any bitness), else read from the process's own parameter block:
// on NT systems for a process of the same bitness or a 32-bit one from a 64-bit mwpack, and
// through WOW64 for a 64-bit one from a 32-bit mwpack (64-bit Windows from XP x64 on, and Wine).
RunningProgram ReadRunningProgram(DWORD processId);

#endif

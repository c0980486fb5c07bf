// Which running processes are the programs of a package's profiles, by the one rule of
// program_match.h, from one look at the system's process list.
#ifndef MARLOWIN_PACKAGE_PROGRAMS_H
#define MARLOWIN_PACKAGE_PROGRAMS_H

#include <windows.h>
#include <string>
#include <vector>

#include "store/profile.h"

// The longest that launch and close wait for a program, in seconds.
const unsigned long LONGEST_WAIT_SECONDS = 24 * 60 * 60;

struct ProgramCopy {
    DWORD processId;
    bool byFileAlone;   // its command line could not be read, so its program file alone decided
    std::string why;    // then: why it could not be read
};

struct ProfilePrograms {
    const ProfileBase* profile;
    bool cannotTell;                   // a document or address, whose program the shell chooses, or
                                       // no object at all
    std::vector<ProgramCopy> copies;   // the processes running the profile's program now
};

// The running copies of each profile's program, in the profiles' order; false, with a message,
// when the system's process list cannot be read. Only the processes whose file name is that of a
// profile's program, or holds the "~" of an 8.3 short name, are opened and read; this process is
// never one of the copies.
bool FindRunningPrograms(const std::vector<const ProfileBase*>& profiles, std::vector<ProfilePrograms>& found,
                         std::string& error);

// How the commands name a running copy: "process 12", the titles given (UTF-8, quoted), and where
// its file alone decided, why.
std::string CopyText(const ProgramCopy& copy, const std::vector<std::string>& titles = {});

#endif

// What "the same program" means: whether a running process is a copy of what a profile starts. The
// one rule behind status, launch --if-running and close; it needs no window system.
#ifndef MARLOWIN_PROGRAM_MATCH_H
#define MARLOWIN_PROGRAM_MATCH_H

#include "store/profile.h"

enum ProgramMatch {
    MATCH_CANNOT_TELL,   // the profile starts no program of its own: a document or an address,
                         // whose program the shell chooses, or no object at all
    MATCH_OTHER,         // another program, or the same one with other arguments
    MATCH_SAME,          // the profile's program with the profile's arguments
    MATCH_SAME_FILE,     // the profile's program; its command line could not be read, so the
                         // program file alone decided
};

// A process runs what the profile starts when its program file is the profile's object, whatever
// the letter case or form of the two paths (/ for \, doubled separators, "." and ".." parts, quotes,
// a \\?\ prefix), and, where its command line could be read, that line without its program part is
// the line the launcher composes from the object and arguments, without its program part too.
// Profiles that start a program: Executable ones, and Auto or Document/URL ones whose object is a
// program file (.exe, .com), which the shell starts without arguments.
// objectPath is the object as the caller found it on disk, and imagePath the process's program
// file, both full paths with 8.3 short names made long; commandLine is null where the process's
// could not be read. All texts are in the system code page. The answer is MATCH_CANNOT_TELL for
// every process or for none.
ProgramMatch MatchProgram(const ProfileBase& profile, const char* objectPath, const char* imagePath,
                          const char* commandLine);

#endif

// The rules that turn the program's one argument string into what it does.
#ifndef MARLOWIN_COMMAND_LINE_H
#define MARLOWIN_COMMAND_LINE_H

#include <stddef.h>

#include "launch/launch_rules.h"   // SkipProgramName

enum EntryAction {
    ENTRY_RESIDENT,       // option letters, or nothing: the resident start
    ENTRY_LAUNCH,         // text names a package file
    ENTRY_QUOTE_ERROR,    // a quote that is never closed
    ENTRY_IGNORE,         // eight or more characters that name no package: nothing to do
};

struct EntryChoice {
    EntryAction action;
    const char* text;     // the package path for ENTRY_LAUNCH; points into the working copy
    bool wait;
    bool unload;
};

// Reads a working copy of the argument string. A closing quote is overwritten
// with the terminator in place.
EntryChoice ReadArgument(char* workingCopy);

#endif

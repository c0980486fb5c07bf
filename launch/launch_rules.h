// How a profile is started: the way, the show command and the composed command line.
#ifndef MARLOWIN_LAUNCH_RULES_H
#define MARLOWIN_LAUNCH_RULES_H

#include <stddef.h>

#include "store/profile_vocabulary.h"

// A quoted 259-character object, a blank, 259 characters of arguments and the terminator.
enum { COMMAND_LINE_SIZE = 1 + 259 + 1 + 1 + 259 + 1 };

// Texts match only when identical byte for byte; other letter cases mean "Auto" and "Normal".
LaunchWay ResolveLaunchWay(const char* type);
ShowCommand ResolveShowCommand(const char* window);
// True for the exact texts of the table; any other text falls back to "Auto" or "Normal".
bool IsKnownType(const char* type);
bool IsKnownWindow(const char* window);

// Writes the object (quoted when it holds a blank), then a blank and the arguments when
// there are any. Gives false and an empty buffer when the result would not fit.
bool ComposeCommandLine(const char* object, const char* arguments, char* buffer, size_t size);

// The folder an Executable profile starts in: its directory when it has one; otherwise the folder
// part of its object (a quote the user put before it skipped), copied into the buffer; otherwise
// null, the launcher's own folder. Process creation refuses an empty folder text outright.
const char* StartFolder(const char* object, const char* directory, char* buffer, size_t size);

// The argument string: the command line after the program's name and the blanks
// and control characters that follow it. The arguments of a command line that
// ComposeCommandLine wrote.
const char* SkipProgramName(const char* commandLine);

#endif

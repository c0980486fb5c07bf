// One parsed command line of mwpack, and the commands that take it.
#ifndef MARLOWIN_INVOCATION_H
#define MARLOWIN_INVOCATION_H

#include <map>
#include <set>
#include <string>
#include <vector>

#include "mwpack/console.h"

struct Invocation {
    std::vector<std::string> operands;
    std::map<std::string, std::string> values;   // options with a value, by name without the dashes
    std::map<std::string, std::vector<std::string>> lists;   // every value of a repeatable option, in order
    std::set<std::string> flags;                  // options without one
    std::string folder;                           // the packages folder

    bool has(const char* flag) const { return flags.count(flag) != 0; }
    // The option's value, or the fallback when it was not given.
    std::string value(const char* name, const char* fallback = "") const;
    // The option's value as a whole number, or the fallback when it was not given; false when the
    // value is not a whole number of at most `most`.
    bool number(const char* name, unsigned long fallback, unsigned long most, unsigned long& out) const;
};

// The paths of the packages that the operands name, or of every package of the folder when none
// is named; false, with a message, when that folder does not exist.
bool NamedPackages(const Invocation& call, std::vector<std::string>& paths, std::string& error);

// Every command reports on the console and gives the process's exit code.
int ListCommand(const Invocation& call, Console& console);
int ShowPackageCommand(const Invocation& call, Console& console);
int ExportCommand(const Invocation& call, Console& console);
int ImportCommand(const Invocation& call, Console& console);
int NewCommand(const Invocation& call, Console& console);
int DeleteCommand(const Invocation& call, Console& console);
int RenameCommand(const Invocation& call, Console& console);
int CopyCommand(const Invocation& call, Console& console);
int AddCommand(const Invocation& call, Console& console);
int SetCommand(const Invocation& call, Console& console);
int RemoveCommand(const Invocation& call, Console& console);
int CheckCommand(const Invocation& call, Console& console);
int ShortcutCommand(const Invocation& call, Console& console);
int LaunchCommand(const Invocation& call, Console& console);
int StatusCommand(const Invocation& call, Console& console);
int CloseCommand(const Invocation& call, Console& console);
int CaptureCommand(const Invocation& call, Console& console);
int ImportShortcutsCommand(const Invocation& call, Console& console);

// The lines of a help page that list the texts a profile's type and window may hold.
std::string ProfileVocabularyHelp();

// The whole program: arguments after the program's name, in the system code page. Says so, with
// exit code 1, when the results could not all be written.
int RunMwpack(const std::vector<std::string>& arguments, Console& console);
// The same from the arguments as the system gives them, in UTF-16: each must have an exact form
// in the system code page, which package files and their names are written in.
int RunMwpackWide(const std::vector<std::wstring>& arguments, Console& console);

#endif

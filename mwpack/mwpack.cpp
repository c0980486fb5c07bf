// Command table, option parsing and help pages.
#include "mwpack/invocation.h"

#include "mwpack/package_access.h"
#include "mwpack/quoted_text.h"
#include "mwpack/text_conversion.h"
#include "mwpack/text_form.h"
#include "res/version.h"

namespace {

struct CommandEntry {
    const char* name;
    const char* synopsis;
    const char* help;
    const char* flags;          // space-separated option names without a value
    const char* valueOptions;   // space-separated option names that take one
    size_t minOperands;
    size_t maxOperands;
    int (*run)(const Invocation&, Console&);
};

const size_t MANY = (size_t)-1;
// Stands for one value option per profile field, named as the text form names the field.
#define PROFILE_OPTIONS "fields"

// Options that may be given more than once; Invocation::lists keeps each value.
const char REPEATABLE[] = "exclude";
// Flags that also take a value when it follows an equals sign (--wait-ready=20).
const char OPTIONAL_VALUE[] = "wait-ready";

const CommandEntry COMMANDS[] = {
    { "list", "list [--json]", "Lists the packages of the folder with their profile counts.\n", "json", "", 0, 0,
      ListCommand },
    { "show", "show PACKAGE [--json]",
      "Shows the package's profiles in launch order with every field, numbered as check numbers\n"
      "them. With --json, the text form of the profiles in launch order.\n",
      "json", "", 1, 1, ShowPackageCommand },
    { "export", "export PACKAGE [FILE] [--force]",
      "Writes the package's text form (JSON, UTF-8, profiles in file order) to FILE, or to\n"
      "standard output. Importing it gives back the same file byte for byte. A FILE that is an\n"
      "existing package (.mwpack) is overwritten only with --force. An existing FILE is replaced\n"
      "only once the new text is written whole.\n",
      "force", "", 1, 2, ExportCommand },
    { "import", "import FILE PACKAGE",
      "Replaces the package's profiles with those of a text form (FILE, or - for standard input),\n"
      "in the order of the text; the package is made when it does not exist. Nothing is written\n"
      "when any text is invalid, too long or outside the system code page.\n",
      "", "", 2, 2, ImportCommand },
    { "new", "new PACKAGE", "Makes an empty package; refused when the package exists.\n", "", "", 1, 1,
      NewCommand },
    { "delete", "delete PACKAGE", "Deletes the package file; refused while an editor holds it.\n", "", "", 1, 1,
      DeleteCommand },
    { "rename", "rename PACKAGE NEWNAME",
      "Gives the package another name in its folder; refused when NEWNAME exists.\n", "", "", 2, 2,
      RenameCommand },
    { "copy", "copy PACKAGE NEWNAME",
      "Copies the package, byte for byte, to a new package; refused when NEWNAME exists.\n", "", "", 2, 2,
      CopyCommand },
    { "add", "add PACKAGE --name N --type T --object O [--command C] [--directory D] [--arguments A] [--window W]",
      "Adds a profile, replacing one of exactly the same name, as the editor does. T and W are\n"
      "one of the texts listed below (W the first when not given). A package that\n"
      "does not exist is made, and the command says so.\n",
      "", PROFILE_OPTIONS, 1, 1, AddCommand },
    { "set", "set PACKAGE PROFILE [--name N] [--type T] [--object O] [--command C] [--directory D] ...",
      "Changes the given fields of the profile named PROFILE (also --arguments A, --window W); the\n"
      "others stay as they are. An empty value empties a field; the name, type and object stay set.\n",
      "", PROFILE_OPTIONS, 2, 2, SetCommand },
    { "remove", "remove PACKAGE NAME", "Removes the profile of exactly this name.\n", "", "", 2, 2, RemoveCommand },
    { "check", "check [PACKAGE...] [--json]",
      "Checks the packages, every package of the folder when none is named. Problems stop a\n"
      "profile from starting: no object, a missing object or working folder, a folder to run as a\n"
      "program. Notes are printed too: a size that is not a whole number of records, fields\n"
      "without an end, unknown type or window texts, duplicate names. Profiles are numbered in\n"
      "launch order. Exit code 1 only for problems.\n",
      "json", "", 0, MANY, CheckCommand },
    { "shortcut",
      "shortcut PACKAGE [--desktop | --start-menu | --startup | --to FOLDER] [--hotkey KEYS]\n"
      "                [--if-running start|skip|focus] [--remove] [--force]",
      "Makes a shortcut, named after the package and with Marlowin's icon, that starts the package\n"
      "with Marlowin.exe; on the desktop unless told otherwise. --startup puts it in the user's\n"
      "Startup folder, so the package starts at sign-in. --hotkey gives it a key such as\n"
      "Ctrl+Alt+W (with Ctrl or Alt), which the Windows shell honours for shortcuts on the desktop\n"
      "and in the Start menu. With --if-running the shortcut starts the package through mwpack\n"
      "launch --if-running in a minimized console instead. --remove takes the shortcut away again.\n"
      "Only a shortcut that starts this package as mwpack makes it is replaced or removed; another\n"
      "file of that name is replaced only with --force. Marlowin.exe must stand beside mwpack.exe.\n",
      "desktop start-menu startup remove force", "to hotkey if-running", 1, 1, ShortcutCommand },
    { "launch", "launch PACKAGE [--if-running start|skip|focus] [--wait-ready[=SECONDS]] [--delay MS]",
      "Starts the package's profiles in launch order, as Marlowin.exe PACKAGE does, and prints each\n"
      "one started. Exit code 1 when any could not be started.\n"
      "--if-running skip starts no second copy of a profile whose program runs already (as status\n"
      "tells); focus also brings that program's window to the front, restored if it was minimized;\n"
      "start, the default, starts every profile. A profile that cannot tell is started.\n"
      "--wait-ready waits, before the next profile starts, until the program just started shows a\n"
      "window or waits for input, at most SECONDS (30); a program that ends holds nothing up.\n"
      "--delay waits MS milliseconds more. Without these options nothing waits.\n",
      "wait-ready", "if-running delay", 1, 1, LaunchCommand },
    { "status", "status [PACKAGE...] [--json]",
      "Tells, for each profile of the packages in launch order, whether its program runs now:\n"
      "running (with the process ids and the titles of the program's windows), not running, or\n"
      "cannot tell (a document or address, whose program the shell chooses). Every package of the\n"
      "folder when none is named. A process is the profile's program when it runs the profile's\n"
      "object with the profile's arguments; where its command line cannot be read, its program file\n"
      "alone decides, and the output says so.\n",
      "json", "", 0, MANY, StatusCommand },
    { "close", "close PACKAGE [--timeout SECONDS] [--force]",
      "Asks each running program of the package to close, as its close box does, in reverse launch\n"
      "order, and waits up to SECONDS (10) for them to end; with --force, ends those still running.\n"
      "Programs that match no profile of the package are never touched, whatever their name. Exit\n"
      "code 1 names each program still running.\n",
      "force", "timeout", 1, 1, CloseCommand },
    { "capture", "capture PACKAGE [--dry-run] [--json] [--force] [--exclude PATTERN]...",
      "Writes a package of one Executable profile for each program with a window on the desktop now:\n"
      "its path, its arguments where they can be read, its folder, its window state, a name from its\n"
      "window title. PATTERN (* and ?, letter case ignored) leaves out the programs whose file name\n"
      "or window title it matches. --dry-run prints what would be written (--json: the text form)\n"
      "and writes nothing; an existing package is replaced only with --force.\n",
      "dry-run json force", "exclude", 1, 1, CaptureCommand },
    { "import-shortcuts", "import-shortcuts FOLDER PACKAGE [--dry-run] [--json] [--force]",
      "Writes a package of one profile for each shortcut (.lnk) in FOLDER, with its target,\n"
      "arguments, working folder and window state, and one Document/URL profile for each Internet\n"
      "shortcut (.url); each named after its file. --dry-run, --json and --force as for capture.\n",
      "dry-run json force", "", 2, 2, ImportShortcutsCommand },
};

const char COMMON_HELP[] =
    "\nOptions of every command, before or after it; --name=value works as --name value:\n"
    "  --folder DIR   the packages folder (default: Packages beside mwpack.exe)\n"
    "  --help         this help (also: mwpack help COMMAND)\n"
    "PACKAGE is a path, or the name of a package in the folder.\n"
    "Text goes to files and pipes as UTF-8 with LF line ends, to a console in its code page.\n"
    "Exit codes: 0 success, 1 problems found or failed, 2 usage error.\n";

const char VERSION_TEXT[] = "mwpack " MARLOWIN_VERSION_TEXT
                            "\nPart of Marlowin. Free software under the MIT License; see the LICENSE file.\n";

std::string Overview()
{
    std::string text = "Usage: mwpack [--folder DIR] COMMAND [OPTIONS]\n\nCommands:\n";
    for (const CommandEntry& entry : COMMANDS)
        text += std::string("  mwpack ") + entry.synopsis + "\n";
    return text + "  mwpack help [COMMAND]\n  mwpack --version\n" + COMMON_HELP;
}

bool Listed(const char* names, const std::string& name);

std::string CommandHelp(const CommandEntry& entry)
{
    bool fields = Listed(entry.valueOptions, PROFILE_OPTIONS);
    return std::string("Usage: mwpack ") + entry.synopsis + "\n\n" + entry.help + (fields ? ProfileVocabularyHelp() : "") +
           COMMON_HELP;
}

const CommandEntry* FindCommand(const std::string& name)
{
    for (const CommandEntry& entry : COMMANDS)
        if (name == entry.name)
            return &entry;
    return nullptr;
}

bool Listed(const char* names, const std::string& name)
{
    std::string padded = std::string(" ") + names + " ";
    return padded.find(" " + name + " ") != std::string::npos;
}

int UsageError(Console& console, const std::string& message, const CommandEntry* entry)
{
    Note(console, message);
    console.err(entry ? std::string("usage: mwpack ") + entry->synopsis + "\n" : "run mwpack --help for the commands\n");
    return EXIT_USAGE;
}

int Run(const std::vector<std::string>& arguments, Console& console);

}  // namespace

std::string Invocation::value(const char* name, const char* fallback) const
{
    std::map<std::string, std::string>::const_iterator found = values.find(name);
    return found == values.end() ? fallback : found->second;
}

bool Invocation::number(const char* name, unsigned long fallback, unsigned long most, unsigned long& out) const
{
    std::map<std::string, std::string>::const_iterator found = values.find(name);
    out = fallback;
    if (found == values.end())
        return true;
    const std::string& text = found->second;
    // Ten digits at most: the value cannot overflow before it is compared.
    if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    unsigned long long value = 0;
    for (char digit : text)
        value = value * 10 + (unsigned)(digit - '0');
    out = (unsigned long)value;
    return value <= most;
}

int RunMwpack(const std::vector<std::string>& arguments, Console& console)
{
    int code = Run(arguments, console);
    unsigned long fault = console.finish();
    if (fault == 0)
        return code;
    Note(console, "the results could not all be written: " + SystemMessage(fault));
    return code == EXIT_OK ? EXIT_PROBLEMS : code;
}

int RunMwpackWide(const std::vector<std::wstring>& arguments, Console& console)
{
    std::vector<std::string> ansi(arguments.size());
    for (size_t i = 0; i < arguments.size(); ++i)
        if (!ExactAnsi(arguments[i], ansi[i]))
            return UsageError(console,
                              "argument " + std::to_string(i + 1) + " " +
                                  QuotedExcerpt(NameText(arguments[i], arguments[i].size() * 2)) +
                                  " has characters outside the system code page, in which packages, their "
                                  "names and their fields are written",
                              nullptr);
    return RunMwpack(ansi, console);
}

namespace {

int Run(const std::vector<std::string>& arguments, Console& console)
{
    // The command is the first argument that is not an option or an option's value.
    const CommandEntry* entry = nullptr;
    size_t commandAt = arguments.size();
    for (size_t i = 0; i < arguments.size() && commandAt == arguments.size(); ++i) {
        if (arguments[i] == "--folder")
            ++i;
        else if (arguments[i].compare(0, 1, "-") != 0 || arguments[i] == "-")
            commandAt = i;
    }
    bool helpCommand = commandAt < arguments.size() && arguments[commandAt] == "help";
    if (commandAt < arguments.size() && !helpCommand) {
        entry = FindCommand(arguments[commandAt]);
        if (!entry)
            return UsageError(console, "unknown command " + QuotedExcerpt(arguments[commandAt]), nullptr);
    }

    Invocation call;
    bool help = helpCommand;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (i == commandAt)
            continue;
        if (argument.size() < 3 || argument.compare(0, 2, "--") != 0) {
            if (argument == "-h")
                help = true;
            else
                call.operands.push_back(argument);
            continue;
        }
        size_t equals = argument.find('=');
        std::string name = argument.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
        bool takesValue = name == "folder" || (entry && Listed(entry->valueOptions, name)) ||
                          (entry && Listed(entry->valueOptions, PROFILE_OPTIONS) && FieldOfKey(name) >= 0);
        if (name == "help" || name == "version" || (entry && Listed(entry->flags, name))) {
            if (equals != std::string::npos && !Listed(OPTIONAL_VALUE, name))
                return UsageError(console, "option --" + name + " takes no value", entry);
            if (name == "help")
                help = true;
            call.flags.insert(name);
            if (equals != std::string::npos)
                call.values[name] = argument.substr(equals + 1);
        } else if (takesValue) {
            if (equals == std::string::npos && i + 1 >= arguments.size())
                return UsageError(console, "option " + argument + " needs a value", entry);
            if (call.values.count(name) && !Listed(REPEATABLE, name))
                return UsageError(console, "option --" + name + " is given twice", entry);
            call.values[name] = equals == std::string::npos ? arguments[++i] : argument.substr(equals + 1);
            call.lists[name].push_back(call.values[name]);
        } else {
            return UsageError(console, "unknown option " + QuotedExcerpt(argument.substr(0, equals)), entry);
        }
    }
    if (call.has("version")) {
        console.out(VERSION_TEXT);
        return EXIT_OK;
    }
    if (helpCommand) {
        if (call.operands.size() > 1)
            return UsageError(console, "help takes at most one command", nullptr);
        entry = call.operands.empty() ? nullptr : FindCommand(call.operands[0]);
        if (!call.operands.empty() && !entry)
            return UsageError(console, "unknown command " + QuotedExcerpt(call.operands[0]), nullptr);
    }
    if (help) {
        console.out(entry ? CommandHelp(*entry) : Overview());
        return EXIT_OK;
    }
    if (!entry)
        return UsageError(console, "no command given", nullptr);
    if (call.operands.size() < entry->minOperands)
        return UsageError(console, "too few arguments", entry);
    if (call.operands.size() > entry->maxOperands)
        return UsageError(console, "too many arguments", entry);
    call.folder = call.value("folder", DefaultPackagesFolder().c_str());
    return entry->run(call, console);
}

}  // namespace

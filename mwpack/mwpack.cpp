// Command table, option parsing and help pages.
#include "mwpack/invocation.h"

#include "mwpack/package_access.h"

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

// Options that may be given more than once; Invocation::lists keeps each value.
const char REPEATABLE[] = "exclude";

const CommandEntry COMMANDS[] = {
    { "list", "list [--json]", "Lists the packages of the folder with their profile counts.\n", "json", "", 0, 0,
      ListCommand },
    { "show", "show PACKAGE [--json]",
      "Shows the package's profiles in launch order with every field. With --json, the text form\n"
      "of the profiles in launch order.\n",
      "json", "", 1, 1, ShowCommand },
    { "export", "export PACKAGE [FILE]",
      "Writes the package's text form (JSON, UTF-8, profiles in file order) to FILE, or to\n"
      "standard output. Importing it gives back the same file byte for byte.\n",
      "", "", 1, 2, ExportCommand },
    { "import", "import FILE PACKAGE",
      "Replaces the package's profiles with those of a text form (FILE, or - for standard input);\n"
      "the package is made when it does not exist. Nothing is written when any text is invalid, too\n"
      "long or outside the system code page.\n",
      "", "", 2, 2, ImportCommand },
    { "add", "add PACKAGE --name N --type T --object O [--command C] [--directory D] [--arguments A] [--window W]",
      "Adds a profile, replacing one of exactly the same name, as the editor does. T is Auto,\n"
      "Executable or Document/URL; W is Normal (the default), Minimize or Maximize. The package is\n"
      "made when it does not exist.\n",
      "", "name type object command directory arguments window", 1, 1, AddCommand },
    { "remove", "remove PACKAGE NAME", "Removes the profile of exactly this name.\n", "", "", 2, 2, RemoveCommand },
    { "check", "check PACKAGE... [--json]",
      "Reports, one line each, what would make a package start otherwise than expected: a size that\n"
      "is not a whole number of records, fields without an end, unknown type or window texts,\n"
      "missing objects and working folders, duplicate names. Exit code 1 when anything is found.\n",
      "json", "", 1, MANY, CheckCommand },
    { "shortcut", "shortcut PACKAGE [--desktop | --start-menu | --startup | --to FOLDER] [--remove]",
      "Makes a shortcut, named after the package and with Marlowin's icon, that starts the package\n"
      "with Marlowin.exe; on the desktop unless told otherwise. --startup puts it in the user's\n"
      "Startup folder, so the package starts at sign-in. --remove takes the shortcut away again.\n",
      "desktop start-menu startup remove", "to", 1, 1, ShortcutCommand },
    { "launch", "launch PACKAGE",
      "Starts the package's profiles in launch order, as Marlowin.exe PACKAGE does, and prints each\n"
      "one started. Exit code 1 when any could not be started.\n",
      "", "", 1, 1, LaunchCommand },
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
    "\nOptions of every command:\n"
    "  --folder DIR   the packages folder (default: Packages beside mwpack.exe)\n"
    "  --help         this help\n"
    "PACKAGE is a path, or the name of a package in the folder.\n"
    "Exit codes: 0 success, 1 problems found or failed, 2 usage error.\n";

std::string Overview()
{
    std::string text = "Usage: mwpack COMMAND [OPTIONS]\n\nCommands:\n";
    for (const CommandEntry& entry : COMMANDS)
        text += std::string("  mwpack ") + entry.synopsis + "\n";
    return text + COMMON_HELP;
}

bool Listed(const char* names, const std::string& name)
{
    std::string padded = std::string(" ") + names + " ";
    return padded.find(" " + name + " ") != std::string::npos;
}

int UsageError(Console& console, const std::string& message, const CommandEntry* entry)
{
    console.err("mwpack: " + message + "\n");
    console.err(entry ? std::string("usage: mwpack ") + entry->synopsis + "\n" : "run mwpack --help for the commands\n");
    return EXIT_USAGE;
}

}  // namespace

int Failure(Console& console, const std::string& message)
{
    console.err("mwpack: " + message + "\n");
    return EXIT_PROBLEMS;
}

std::string Invocation::value(const char* name, const char* fallback) const
{
    std::map<std::string, std::string>::const_iterator found = values.find(name);
    return found == values.end() ? fallback : found->second;
}

int RunMwpack(const std::vector<std::string>& arguments, Console& console)
{
    if (arguments.empty())
        return UsageError(console, "no command given", nullptr);
    if (arguments[0] == "--help" || arguments[0] == "-h" || arguments[0] == "help") {
        console.out(Overview());
        return EXIT_OK;
    }
    const CommandEntry* entry = nullptr;
    for (const CommandEntry& candidate : COMMANDS)
        if (arguments[0] == candidate.name)
            entry = &candidate;
    if (!entry)
        return UsageError(console, "unknown command \"" + arguments[0] + "\"", nullptr);

    Invocation call;
    for (size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument.size() < 3 || argument.compare(0, 2, "--") != 0) {
            call.operands.push_back(argument);
            continue;
        }
        std::string name = argument.substr(2);
        if (name == "help") {
            console.out(std::string("Usage: mwpack ") + entry->synopsis + "\n\n" + entry->help + COMMON_HELP);
            return EXIT_OK;
        }
        if (Listed(entry->flags, name)) {
            call.flags.insert(name);
        } else if (name == "folder" || Listed(entry->valueOptions, name)) {
            if (i + 1 >= arguments.size())
                return UsageError(console, "option " + argument + " needs a value", entry);
            if (call.values.count(name) && !Listed(REPEATABLE, name))
                return UsageError(console, "option " + argument + " is given twice", entry);
            call.lists[name].push_back(arguments[i + 1]);
            call.values[name] = arguments[++i];
        } else {
            return UsageError(console, "unknown option " + argument, entry);
        }
    }
    if (call.operands.size() < entry->minOperands)
        return UsageError(console, "too few arguments", entry);
    if (call.operands.size() > entry->maxOperands)
        return UsageError(console, "too many arguments", entry);
    call.folder = call.value("folder", DefaultPackagesFolder().c_str());
    return entry->run(call, console);
}

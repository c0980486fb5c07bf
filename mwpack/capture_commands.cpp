// The commands that make a package from what is already there: capture (the programs on the
// desktop now) and import-shortcuts (a folder of shortcuts). Both write a package whole.
#include <windows.h>

#include <algorithm>
#include <map>
#include <set>
#include <string.h>

#include "base/dynamic_library.h"
#include "launch/launch_rules.h"
#include "mwpack/capture_rules.h"
#include "mwpack/desktop_windows.h"
#include "mwpack/invocation.h"
#include "mwpack/package_access.h"
#include "mwpack/quoted_text.h"
#include "mwpack/running_program.h"
#include "mwpack/shortcut_files.h"
#include "mwpack/text_conversion.h"
#include "mwpack/text_form.h"
#include "store/name_order.h"
#include "store/package_names.h"
#include "store/path_rules.h"
#include "store/profile_vocabulary.h"

namespace {

// The window text of a shell show command; the shell stores "Minimized" as SW_SHOWMINNOACTIVE.
const char* WindowForShow(int show)
{
    if (show == SW_SHOWMAXIMIZED)
        return WindowTextOf(SHOW_MAXIMIZED);
    if (show == SW_SHOWMINIMIZED || show == SW_MINIMIZE || show == SW_SHOWMINNOACTIVE)
        return WindowTextOf(SHOW_MINIMIZED);
    return WindowTextOf(SHOW_NORMAL);
}

// One profile of what was found, or false with the reason it is left out.
bool MakeProfile(const std::string (&texts)[FIELD_COUNT], Profile& profile, std::string& note)
{
    int field = 0;
    std::string fault;
    if (ProfileFromTexts(texts, 0, profile, field, fault))
        return true;
    note = std::string("its ") + FieldKeys[field] + " is " + fault;
    return false;
}

std::string Listing(const std::vector<const ProfileBase*>& order)
{
    std::string text;
    for (const ProfileBase* profile : order) {
        text += std::string(profile->name()) + "\n";
        char commandLine[COMMAND_LINE_SIZE];
        if (ResolveLaunchWay(profile->type()) == LAUNCH_EXECUTABLE &&
            ComposeCommandLine(profile->object(), profile->arguments(), commandLine, sizeof commandLine))
            text += std::string("  start:  ") + commandLine + "\n  folder: " + profile->directory() + "\n";
        else
            text += std::string("  ") + profile->command() + ":   " + profile->object() + "\n";
        text += std::string("  window: ") + profile->window() + "\n";
    }
    return text;
}

// Prints the profiles in launch order and, unless told it is a dry run, writes them as the package:
// a new one, or an existing one replaced only with --force.
int WriteNewPackage(const Invocation& call, Console& console, std::vector<Profile>& profiles, const std::string& package)
{
    std::string path, error;
    if (!ResolveNewPackage(package, call.folder, path, error))
        return UsageFailure(console, error);
    if (profiles.empty())
        return Failure(console, "found nothing to put in " + path + "; nothing was written");
    ProfileList list;
    LinkInNameOrder(profiles.data(), (uint32_t)profiles.size(), list);
    std::vector<const ProfileBase*> order = InOrder(list);
    std::string listing;
    if (call.has("json") && !ExportText(order, SystemCodePage, listing, error))
        return Failure(console, MessageText(error));
    if (!call.has("json"))
        listing = Listing(order);
    if (call.has("dry-run")) {
        console.out(listing);
        return EXIT_OK;
    }

    HeldPackage file(path, OPEN_TO_REPLACE);
    if (!file.get())
        return Failure(console, file.error() + "; nothing was written");
    if (!file.created() && !call.has("force"))
        return Failure(console, path + " already exists; --force replaces it");
    file->profiles = list;
    if (!file.save(error))
        return Failure(console, error);
    console.out(listing);
    if (!call.has("json"))
        console.out("wrote " + path + "\n");
    return EXIT_OK;
}

// The capture of one program, or false with the reason it is left out; `note` may also tell
// what of it could not be taken.
bool ProgramProfile(const DesktopWindow& window, const RunningProgram& program, const std::string& title,
                    std::string (&texts)[FIELD_COUNT], std::string& note)
{
    std::string path;
    if (program.path.empty()) {
        note = program.why;
        return false;
    }
    if (!ExactAnsi(program.path, path)) {
        note = "its program's path has characters outside the system code page";
        return false;
    }
    texts[FIELD_NAME] = title;
    texts[FIELD_OBJECT] = path;
    texts[FIELD_DIRECTORY] = FolderOf(path);
    texts[FIELD_TYPE] = TypeTextOf(LAUNCH_EXECUTABLE);
    texts[FIELD_WINDOW] = window.window;
    std::wstring wide = program.commandLine;
    // A command line may hold a null character; nothing after it could be passed on.
    size_t end = wide.find(L'\0');
    std::string commandLine;
    if (!program.commandLineRead)
        note = "it has no arguments: " + program.why;
    else if (!ExactAnsi(wide.substr(0, end), commandLine))
        note = "it has no arguments: its command line has characters outside the system code page";
    else
        texts[FIELD_ARGUMENTS] = SkipProgramName(commandLine.c_str());
    if (program.commandLineRead && end != std::wstring::npos && note.empty())
        note = "its command line holds a null character; what follows it is left out";
    return true;
}

bool IsOurs(const std::string& path)
{
    std::string file = FileOf(path);
    return lstrcmpiA(file.c_str(), "Marlowin.exe") == 0 || lstrcmpiA(file.c_str(), "mwpack.exe") == 0;
}

// The text with its environment variables (%NAME%) expanded, as the shell expands a shortcut's;
// false when one of them is not set here.
bool ExpandVariables(const std::wstring& text, std::wstring& out)
{
    out = text;
    if (text.find(L'%') == std::wstring::npos)
        return true;
    WCHAR expanded[MAX_PATH * 2];
    DWORD length = ExpandEnvironmentStringsW(text.c_str(), expanded, ARRAYSIZE(expanded));
    if (length == 0 || length > ARRAYSIZE(expanded))
        return false;
    out = expanded;
    // What stays between two percent signs names a variable that is not set.
    size_t open = out.find(L'%');
    return open == std::wstring::npos || out.find(L'%', open + 1) == std::wstring::npos;
}

bool IsAbsolute(const std::wstring& path)
{
    return (path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/')) ||
           (path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\');
}

// A target as the shell finds it: variables expanded, a relative one taken from the shortcut's
// own folder. False, with why, when it cannot be held exactly.
bool ShortcutPath(const std::wstring& stored, const std::string& linkFolder, const char* what, std::string& out,
                  std::string& note)
{
    std::wstring path;
    if (!ExpandVariables(stored, path)) {
        note = std::string("its ") + what + " names an environment variable that is not set here";
        return false;
    }
    if (!path.empty() && !IsAbsolute(path)) {
        std::wstring joined = WideText(CP_ACP, linkFolder) + L"\\" + path;
        WCHAR full[MAX_PATH];
        DWORD length = GetFullPathNameW(joined.c_str(), ARRAYSIZE(full), full, nullptr);
        if (length == 0 || length >= ARRAYSIZE(full)) {
            note = std::string("its ") + what + " is too long";
            return false;
        }
        path = full;
    }
    // No path holds ? or *: the link keeps a character outside its code page as ? there.
    if (!ExactAnsi(path, out) || path.find_first_of(L"?*") != std::wstring::npos) {
        note = std::string("its ") + what + " has characters outside the system code page";
        return false;
    }
    return true;
}

// The profile of one shortcut file, or false with the reason it is left out.
bool ShortcutProfile(ShortcutFiles& reader, const std::string& file, std::string (&texts)[FIELD_COUNT],
                     std::string& note)
{
    size_t length = file.size();
    if (EndsWithLetters(file.c_str(), length, ".url")) {
        char address[FIELD_SIZE + 1] = "";
        GetPrivateProfileStringA("InternetShortcut", "URL", "", address, sizeof address, file.c_str());
        if (address[0] == '\0') {
            note = "it holds no address";
            return false;
        }
        texts[FIELD_OBJECT] = address;
        texts[FIELD_COMMAND] = "open";
        texts[FIELD_TYPE] = TypeTextOf(LAUNCH_DOCUMENT);
        texts[FIELD_WINDOW] = WindowTextOf(SHOW_NORMAL);
        return true;
    }
    ShortcutTarget link;
    std::string target, directory, arguments;
    if (!reader.read(file, link, note))
        return false;
    if (link.target.empty()) {
        note = "it does not lead to a file";
        return false;
    }
    std::string linkFolder = FolderOf(file);
    if (!ShortcutPath(link.target, linkFolder, "target", target, note) ||
        !ShortcutPath(link.directory, linkFolder, "working folder", directory, note))
        return false;
    if (!ExactAnsi(link.arguments, arguments)) {
        note = "its arguments have characters outside the system code page";
        return false;
    }
    texts[FIELD_OBJECT] = target;
    texts[FIELD_WINDOW] = WindowForShow(link.showCommand);
    DetectedType detected = DetectType(target.c_str());
    // As the editor fills its form from a path: the program's folder when no other is given,
    // "/S" for a screen saver, "open" for a document.
    if (detected.way == LAUNCH_EXECUTABLE) {
        texts[FIELD_TYPE] = TypeTextOf(LAUNCH_EXECUTABLE);
        texts[FIELD_DIRECTORY] = directory.empty() ? FolderOf(target) : directory;
        texts[FIELD_ARGUMENTS] = arguments.empty() && detected.screenSaver ? "/S" : arguments;
    } else {
        texts[FIELD_TYPE] = TypeTextOf(LAUNCH_DOCUMENT);
        texts[FIELD_COMMAND] = "open";
        if (!arguments.empty())
            note = "a document is opened without the shortcut's arguments (" + arguments + ")";
    }
    return true;
}

// The shortcut files of the folder, in a fixed order (names are made unique in that order, not in
// the file system's); a name without an exact form in the code page is noted and left out.
std::vector<std::string> ShortcutFileNames(const std::string& folder, Console& console)
{
    std::vector<std::string> files;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((WideText(CP_ACP, folder) + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return files;
    do {
        std::wstring wide = found.cFileName;
        std::string name;
        bool shortcut = wide.size() > 4 && (lstrcmpiW(wide.c_str() + wide.size() - 4, L".lnk") == 0 ||
                                            lstrcmpiW(wide.c_str() + wide.size() - 4, L".url") == 0);
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !shortcut)
            continue;
        if (ExactAnsi(wide, name))
            files.push_back(name);
        else
            Note(console, "left out " + QuotedExcerpt(NameText(wide, 200)) +
                              ": its name has characters outside the system code page");
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(files.begin(), files.end(),
              [](const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) < 0; });
    return files;
}

}  // namespace

int CaptureCommand(const Invocation& call, Console& console)
{
    std::map<std::string, std::vector<std::string>>::const_iterator excluded = call.lists.find("exclude");
    std::vector<std::string> patterns = excluded == call.lists.end() ? std::vector<std::string>() : excluded->second;
    std::map<DWORD, RunningProgram> programs;
    std::set<std::string> seen;   // program and arguments, one profile each
    std::vector<Profile> profiles;
    UniqueNames names;
    for (const DesktopWindow& window : VisibleDesktopWindows()) {
        if (!programs.count(window.processId))
            programs[window.processId] = ReadRunningProgram(window.processId);
        std::string title = NameText(window.title, UniqueNames::LONGEST);
        if (MatchesAny(patterns, { title }))
            continue;
        std::string texts[FIELD_COUNT], note;
        if (!ProgramProfile(window, programs[window.processId], title, texts, note)) {
            Note(console, "left out " + QuotedExcerpt(title) + ": " + note);
            continue;
        }
        std::string path = texts[FIELD_OBJECT];
        if (IsOurs(path) || MatchesAny(patterns, { FileOf(path) }))
            continue;
        CharLowerA(&path[0]);
        if (!seen.insert(path + "\n" + texts[FIELD_ARGUMENTS]).second)
            continue;
        texts[FIELD_NAME] = names.add(title);
        Profile profile;
        std::string fault;
        if (!MakeProfile(texts, profile, fault)) {
            Note(console, "left out " + QuotedExcerpt(title) + ": " + fault);
            continue;
        }
        if (!note.empty())
            Note(console, QuotedExcerpt(texts[FIELD_NAME]) + ": " + note);
        profiles.push_back(profile);
    }
    return WriteNewPackage(call, console, profiles, call.operands[0]);
}

int ImportShortcutsCommand(const Invocation& call, Console& console)
{
    std::string folder = ResolveFile(call.operands[0]);
    if (!FolderExists(folder))
        return Failure(console, "the folder " + call.operands[0] + " does not exist");

    ComApartment apartment;
    ShortcutFiles reader;
    std::vector<Profile> profiles;
    UniqueNames names;
    for (const std::string& file : ShortcutFileNames(folder, console)) {
        std::string texts[FIELD_COUNT], note;
        if (!ShortcutProfile(reader, folder + "\\" + file, texts, note)) {
            Note(console, "left out " + file + ": " + note);
            continue;
        }
        texts[FIELD_NAME] = names.add(NameText(WideText(CP_ACP, FileTitle(file)), UniqueNames::LONGEST));
        Profile profile;
        std::string fault;
        if (!MakeProfile(texts, profile, fault)) {
            Note(console, "left out " + file + ": " + fault);
            continue;
        }
        if (!note.empty())
            Note(console, texts[FIELD_NAME] + ": " + note);
        profiles.push_back(profile);
    }
    return WriteNewPackage(call, console, profiles, call.operands[1]);
}

// The commands that make a package from what is already there: capture (the programs on the
// desktop now) and import-shortcuts (a folder of shortcuts). Both write a new package whole.
#include <windows.h>

#include <algorithm>
#include <map>
#include <set>
#include <string.h>

#include "base/dynamic_library.h"
#include "launch/launch_rules.h"
#include "mwpack/capture_rules.h"
#include "mwpack/code_page.h"
#include "mwpack/desktop_windows.h"
#include "mwpack/invocation.h"
#include "mwpack/package_access.h"
#include "mwpack/running_program.h"
#include "mwpack/shortcut_files.h"
#include "mwpack/text_form.h"
#include "store/package_names.h"
#include "store/path_rules.h"
#include "store/profile_vocabulary.h"

namespace {

const size_t LONGEST_TEXT = FIELD_SIZE - 1;

void Note(Console& console, const std::string& message)
{
    console.err("mwpack: " + message + "\n");
}

// The text in the system code page, exactly, or false.
bool ExactAnsi(const std::wstring& wide, std::string& out)
{
    if (wide.empty()) {
        out.clear();
        return true;
    }
    int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), (int)wide.size(), nullptr, 0, nullptr, nullptr);
    std::string utf8(size > 0 ? size : 0, '\0');
    return size > 0 &&
           WideCharToMultiByte(CP_UTF8, 0, wide.data(), (int)wide.size(), &utf8[0], size, nullptr, nullptr) == size &&
           SystemCodePage.fromUtf8(utf8.data(), utf8.size(), out);
}

std::wstring WideOf(const std::string& ansi)
{
    int size = MultiByteToWideChar(CP_ACP, 0, ansi.data(), (int)ansi.size(), nullptr, 0);
    std::wstring wide(size > 0 ? size : 0, L'\0');
    if (size > 0)
        MultiByteToWideChar(CP_ACP, 0, ansi.data(), (int)ansi.size(), &wide[0], size);
    return wide;
}

// A name in the code page, look-alikes allowed, cut between characters to leave room for a suffix.
std::string NameText(std::wstring wide)
{
    std::string out;
    for (;;) {
        int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), (int)wide.size(), nullptr, 0, nullptr, nullptr);
        if (size <= (int)UniqueNames::LONGEST) {
            out.assign(size > 0 ? size : 0, '\0');
            if (size > 0)
                WideCharToMultiByte(CP_ACP, 0, wide.data(), (int)wide.size(), &out[0], size, nullptr, nullptr);
            return out;
        }
        wide.resize(wide.size() - 1);
    }
}

std::string FolderOf(const std::string& path)
{
    size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string FileOf(const std::string& path)
{
    size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The window text of a shell show command; the shell stores "Minimized" as SW_SHOWMINNOACTIVE.
const char* WindowForShow(int show)
{
    if (show == SW_SHOWMAXIMIZED)
        return WindowTextOf(SHOW_MAXIMIZED);
    if (show == SW_SHOWMINIMIZED || show == SW_MINIMIZE || show == SW_SHOWMINNOACTIVE)
        return WindowTextOf(SHOW_MINIMIZED);
    return WindowTextOf(SHOW_NORMAL);
}

// One profile, or false with a message when a text does not fit its field.
bool MakeProfile(const std::string (&texts)[FIELD_COUNT], Profile& profile, std::string& error)
{
    const char* pointers[FIELD_COUNT];
    for (int i = 0; i < FIELD_COUNT; ++i) {
        if (texts[i].size() > LONGEST_TEXT) {
            error = std::string(FieldKeys[i]) + " is " + std::to_string(texts[i].size()) + " characters long; at most " +
                    std::to_string(LONGEST_TEXT) + " fit";
            return false;
        }
        pointers[i] = texts[i].c_str();
    }
    profile = Profile(pointers, 0);
    return true;
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
    std::string path = ResolvePackage(package, call.folder);
    if (profiles.empty())
        return Failure(console, "found nothing to put in " + path + "; nothing was written");
    ProfileList list;
    LinkImported(profiles, list);
    std::vector<const ProfileBase*> order;
    for (const ProfileBase* node = list.first; node; node = node->next)
        order.push_back(node);
    std::string listing, error;
    if (call.has("json") && !ExportText(order, SystemCodePage, listing, error))
        return Failure(console, error);
    if (!call.has("json"))
        listing = Listing(order);
    if (call.has("dry-run")) {
        console.out(listing);
        return EXIT_OK;
    }

    bool created = false;
    PackageFile* file = OpenForWriting(path, true, &created, error);
    if (!file)
        return Failure(console, error + "; nothing was written");
    if (!created && !call.has("force")) {
        DestroyPackageFile(file);
        return Failure(console, path + " already exists; --force replaces it");
    }
    file->profiles = list;
    bool written = WriteList(*file, path, error);
    DestroyPackageFile(file);
    if (!written) {
        if (created)
            DeleteFileA(path.c_str());
        return Failure(console, error);
    }
    console.out(listing);
    if (!call.has("json"))
        console.out("wrote " + path + "\n");
    return EXIT_OK;
}

// The capture of one program, or false with the reason it is left out.
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
    std::string commandLine;
    if (!program.commandLineRead)
        note = program.why;
    else if (!ExactAnsi(program.commandLine, commandLine))
        note = "its command line has characters outside the system code page";
    else
        texts[FIELD_ARGUMENTS] = SkipProgramName(commandLine.c_str());
    return true;
}

bool IsOurs(const std::string& path)
{
    std::string file = FileOf(path);
    return lstrcmpiA(file.c_str(), "Marlowin.exe") == 0 || lstrcmpiA(file.c_str(), "mwpack.exe") == 0;
}

// The profile of one shortcut file, or false with the reason it is left out.
bool ShortcutProfile(ShortcutReader& reader, const std::string& file, std::string (&texts)[FIELD_COUNT],
                     std::string& note)
{
    size_t length = file.size();
    if (EndsWithLetters(file.c_str(), length, ".url")) {
        char address[LONGEST_TEXT + 2] = "";
        GetPrivateProfileStringA("InternetShortcut", "URL", "", address, sizeof address, file.c_str());
        texts[FIELD_OBJECT] = address;
        texts[FIELD_COMMAND] = "open";
        texts[FIELD_TYPE] = TypeTextOf(LAUNCH_DOCUMENT);
        texts[FIELD_WINDOW] = WindowTextOf(SHOW_NORMAL);
        note = "it holds no address";
        return address[0] != '\0';
    }
    ShortcutTarget link;
    if (!reader.read(file, link, note))
        return false;
    if (link.target.empty()) {
        note = "it does not lead to a file";
        return false;
    }
    texts[FIELD_OBJECT] = link.target;
    texts[FIELD_WINDOW] = WindowForShow(link.showCommand);
    DetectedType detected = DetectType(link.target.c_str());
    // As the editor fills its form from a path: the program's folder when no other is given,
    // "/S" for a screen saver, "open" for a document.
    if (detected.way == LAUNCH_EXECUTABLE) {
        texts[FIELD_TYPE] = TypeTextOf(LAUNCH_EXECUTABLE);
        texts[FIELD_DIRECTORY] = link.directory.empty() ? FolderOf(link.target) : link.directory;
        texts[FIELD_ARGUMENTS] = link.arguments.empty() && detected.screenSaver ? "/S" : link.arguments;
    } else {
        texts[FIELD_TYPE] = TypeTextOf(LAUNCH_DOCUMENT);
        texts[FIELD_COMMAND] = "open";
        if (!link.arguments.empty())
            note = "a document is opened without the shortcut's arguments (" + link.arguments + ")";
    }
    return true;
}

std::vector<std::string> ShortcutFiles(const std::string& folder)
{
    std::vector<std::string> files;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return files;
    do {
        size_t length = strlen(found.cFileName);
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            (EndsWithLetters(found.cFileName, length, ".lnk") || EndsWithLetters(found.cFileName, length, ".url")))
            files.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    // Names are made unique in a fixed order, not in the file system's.
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
        std::string title = NameText(window.title);
        if (MatchesAny(patterns, { title }))
            continue;
        std::string texts[FIELD_COUNT], note, error;
        if (!ProgramProfile(window, programs[window.processId], title, texts, note)) {
            Note(console, "left out \"" + title + "\": " + note);
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
        if (!MakeProfile(texts, profile, error)) {
            Note(console, "left out \"" + title + "\": its " + error);
            continue;
        }
        if (!note.empty())
            Note(console, "\"" + texts[FIELD_NAME] + "\" has no arguments: " + note);
        profiles.push_back(profile);
    }
    return WriteNewPackage(call, console, profiles, call.operands[0]);
}

int ImportShortcutsCommand(const Invocation& call, Console& console)
{
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA(call.operands[0].c_str(), sizeof full, full, nullptr);
    DWORD attributes = length > 0 && length < sizeof full ? GetFileAttributesA(full) : INVALID_FILE_ATTRIBUTES;
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return Failure(console, "the folder " + call.operands[0] + " does not exist");
    std::string folder = full;

    ComApartment apartment;
    ShortcutReader reader;
    std::vector<Profile> profiles;
    UniqueNames names;
    for (const std::string& file : ShortcutFiles(folder)) {
        std::string texts[FIELD_COUNT], note, error;
        if (!ShortcutProfile(reader, folder + "\\" + file, texts, note)) {
            Note(console, "left out " + file + ": " + note);
            continue;
        }
        texts[FIELD_NAME] = names.add(NameText(WideOf(FileTitle(file))));
        Profile profile;
        if (!MakeProfile(texts, profile, error)) {
            Note(console, "left out " + file + ": its " + error);
            continue;
        }
        if (!note.empty())
            Note(console, texts[FIELD_NAME] + ": " + note);
        profiles.push_back(profile);
    }
    return WriteNewPackage(call, console, profiles, call.operands[1]);
}

// The commands that start packages: launch now, or a shortcut that starts one later.
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <iterator>

#include "base/app_state.h"
#include "base/dynamic_library.h"
#include "launch/launch_profiles.h"
#include "mwpack/hotkey.h"
#include "mwpack/invocation.h"
#include "mwpack/launch_steps.h"
#include "mwpack/package_access.h"
#include "mwpack/quoted_text.h"
#include "mwpack/shortcut_files.h"
#include "mwpack/text_conversion.h"
#include "store/package_names.h"

namespace {

bool DestinationFolder(const Invocation& call, std::string& folder, std::string& error)
{
    int chosen = call.has("desktop") + call.has("start-menu") + call.has("startup") + (call.values.count("to") ? 1 : 0);
    if (chosen > 1) {
        error = "choose one of --desktop, --start-menu, --startup and --to";
        return false;
    }
    if (call.values.count("to")) {
        folder = ResolveFile(call.value("to"));
        return true;
    }
    char path[MAX_PATH] = "";
    int place = call.has("start-menu") ? CSIDL_PROGRAMS : call.has("startup") ? CSIDL_STARTUP : CSIDL_DESKTOPDIRECTORY;
    if (!SHGetSpecialFolderPathA(nullptr, path, place, TRUE)) {
        error = "the shell does not tell where that folder is";
        return false;
    }
    folder = path;
    return true;
}

const char* const IF_RUNNING_MODES[] = { "start", "skip", "focus" };

// What a shortcut of the package starts: Marlowin.exe with the package; or, with --if-running,
// this mwpack's launch in a minimized console, which can leave running programs be.
ShortcutTarget ShortcutStart(const std::string& package, const std::string& ifRunning)
{
    char self[MAX_PATH] = "";
    DWORD length = GetModuleFileNameA(nullptr, self, sizeof self);
    std::string program = ifRunning.empty() ? std::string(ExeFolder()) + "\\Marlowin.exe"
                                            : ResolveFile(length > 0 && length < sizeof self ? self : "mwpack.exe");
    std::string arguments = ifRunning.empty() ? "\"" + package + "\""
                                              : "launch \"" + package + "\" --if-running " + ifRunning;
    ShortcutTarget start;
    start.target = WideText(CP_ACP, ResolveFile(program));
    start.arguments = WideText(CP_ACP, arguments);
    start.directory = WideText(CP_ACP, ExeFolder());
    start.showCommand = ifRunning.empty() ? SW_SHOWNORMAL : SW_SHOWMINNOACTIVE;
    start.hotkey = 0;
    return start;
}

// Whether the shortcut file is one that mwpack makes for this package, in either form: only such
// a one is replaced or removed. The paths may differ in letter case and form.
bool StartsThePackage(ShortcutFiles& shortcuts, const std::string& linkPath, const std::string& package)
{
    ShortcutTarget link;
    std::string error, target, arguments;
    if (!shortcuts.read(linkPath, link, error) || !ExactAnsi(link.target, target) ||
        !ExactAnsi(link.arguments, arguments))
        return false;
    std::wstring program = WideText(CP_ACP, ResolveFile(target));
    for (const char* mode : { "", "start", "skip", "focus" }) {
        ShortcutTarget start = ShortcutStart(package, mode);
        if (lstrcmpiW(program.c_str(), start.target.c_str()) == 0 &&
            lstrcmpiW(WideText(CP_ACP, arguments).c_str(), start.arguments.c_str()) == 0)
            return true;
    }
    return false;
}

}  // namespace

int LaunchCommand(const Invocation& call, Console& console)
{
    LaunchSteps steps;   // --if-running, --wait-ready, --delay
    std::string error;
    if (!steps.read(call, error))
        return UsageFailure(console, error);
    std::string path = ResolvePackage(call.operands[0], call.folder);
    HeldPackage package(path, OPEN_TO_READ);
    if (!package.get())
        return Failure(console, package.error());
    if (!steps.look(package.launchOrder(), error))
        return Failure(console, error);
    int result = EXIT_OK;
    for (const ProfileBase* node : package.launchOrder()) {
        if (steps.running(*node, console))
            continue;
        if (steps.start(*node, console)) {
            console.out(std::string("started ") + node->name() + ": " + node->object() + "\n");
        } else {
            DWORD code = GetLastError();
            result = Failure(console, "not started: " + QuotedExcerpt(node->name()) + ": " +
                                          (node->object()[0] ? SystemMessage(code) : std::string("it has no object")));
        }
    }
    return result;
}

int ShortcutCommand(const Invocation& call, Console& console)
{
    std::string folder, error;
    if (!DestinationFolder(call, folder, error))
        return UsageFailure(console, error);
    uint16_t hotkey = 0;
    if (call.values.count("hotkey") && !ParseHotkey(call.value("hotkey"), hotkey, error))
        return UsageFailure(console, "--hotkey: " + error);
    std::string ifRunning = call.value("if-running");
    if (call.values.count("if-running") &&
        std::find(std::begin(IF_RUNNING_MODES), std::end(IF_RUNNING_MODES), ifRunning) == std::end(IF_RUNNING_MODES))
        return UsageFailure(console, "--if-running takes start, skip or focus");
    std::string path = ResolvePackage(call.operands[0], call.folder);
    std::string linkPath = folder + "\\" + FileTitle(path) + ".lnk";
    ComApartment apartment;
    ShortcutFiles shortcuts;
    bool exists = GetFileAttributesA(linkPath.c_str()) != INVALID_FILE_ATTRIBUTES;
    bool ours = exists && StartsThePackage(shortcuts, linkPath, path);
    if (call.has("remove")) {
        if (!exists)
            return Failure(console, linkPath + " does not exist");
        if (!ours)
            return Failure(console, linkPath + " does not start " + path + " as mwpack makes shortcuts; it is left "
                                               "as it is");
        if (!DeleteFileA(linkPath.c_str()))
            return Failure(console, DescribeFileError(linkPath, GetLastError()));
        console.out("removed " + linkPath + "\n");
        return EXIT_OK;
    }
    // The shortcut starts the Marlowin.exe beside this program, and takes its icon; without one it
    // would start nothing.
    std::string marlowin = ResolveFile(std::string(ExeFolder()) + "\\Marlowin.exe");
    if (GetFileAttributesA(marlowin.c_str()) == INVALID_FILE_ATTRIBUTES)
        return Failure(console, "Marlowin.exe is not beside mwpack.exe (" + marlowin +
                                    "), so a shortcut would start nothing; nothing was made");
    // Marlowin.exe takes only a path that ends in the package suffix.
    if (!HasPackageSuffix(path.c_str(), path.size()))
        return Failure(console, path + " does not end in " PACKAGE_SUFFIX ", so Marlowin.exe would not start it");
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return Failure(console, path + " does not exist");
    if (!FolderExists(folder))
        return Failure(console, "the folder " + folder + " does not exist");
    if (exists && !ours && !call.has("force"))
        return Failure(console, linkPath + " exists and does not start " + path + " as mwpack makes shortcuts; "
                                           "--force replaces it");
    if (!shortcuts.write(linkPath, ShortcutStart(path, ifRunning), marlowin, "Start the package " + FileTitle(path),
                         hotkey, true, error))
        return Failure(console, error);
    console.out("made " + linkPath + (hotkey ? " (" + HotkeyText(hotkey) + ")" : std::string()) + "\n");
    return EXIT_OK;
}

// The commands that start packages: launch now, or a shortcut that starts one later.
#include <windows.h>
#include <shlobj.h>

#include "base/app_state.h"
#include "base/dynamic_library.h"
#include "launch/launch_profiles.h"
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

// The command line of the shortcut that starts the package with this Marlowin.
std::string ShortcutArguments(const std::string& package)
{
    return "\"" + package + "\"";
}

// Whether the shortcut file is one that starts this Marlowin with this package: only such a one
// is replaced or removed. The paths may differ in letter case and form.
bool StartsThePackage(ShortcutFiles& shortcuts, const std::string& linkPath, const std::string& marlowin,
                      const std::string& package)
{
    ShortcutTarget link;
    std::string error, target, arguments;
    return shortcuts.read(linkPath, link, error) && ExactAnsi(link.target, target) &&
           ExactAnsi(link.arguments, arguments) && lstrcmpiA(ResolveFile(target).c_str(), marlowin.c_str()) == 0 &&
           lstrcmpiA(arguments.c_str(), ShortcutArguments(package).c_str()) == 0;
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
    if (!steps.look(package->profiles.first, error))
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
    std::string path = ResolvePackage(call.operands[0], call.folder);
    std::string linkPath = folder + "\\" + FileTitle(path) + ".lnk";
    // The shortcut starts the Marlowin.exe beside this program.
    std::string marlowin = ResolveFile(std::string(ExeFolder()) + "\\Marlowin.exe");
    ComApartment apartment;
    ShortcutFiles shortcuts;
    bool exists = GetFileAttributesA(linkPath.c_str()) != INVALID_FILE_ATTRIBUTES;
    bool ours = exists && StartsThePackage(shortcuts, linkPath, marlowin, path);
    if (call.has("remove")) {
        if (!exists)
            return Failure(console, linkPath + " does not exist");
        if (!ours)
            return Failure(console, linkPath + " does not start " + path + " with " + marlowin +
                                        "; it is left as it is");
        if (!DeleteFileA(linkPath.c_str()))
            return Failure(console, DescribeFileError(linkPath, GetLastError()));
        console.out("removed " + linkPath + "\n");
        return EXIT_OK;
    }
    // Without Marlowin.exe beside it a shortcut would start nothing.
    if (GetFileAttributesA(marlowin.c_str()) == INVALID_FILE_ATTRIBUTES)
        return Failure(console, "Marlowin.exe is not beside mwpack.exe (" + marlowin +
                                    "), so a shortcut would start nothing; nothing was made");
    // Marlowin.exe takes only a path that ends in the package suffix.
    if (!HasPackageSuffix(path.c_str(), path.size()))
        return Failure(console, path + " does not end in " PACKAGE_SUFFIX ", so Marlowin.exe would not start it");
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return Failure(console, path + " does not exist");
    DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return Failure(console, "the folder " + folder + " does not exist");
    if (exists && !ours && !call.has("force"))
        return Failure(console, linkPath + " exists and does not start " + path + " with this Marlowin; --force "
                                           "replaces it");
    if (!shortcuts.write(linkPath, marlowin, ShortcutArguments(path), "Start the package " + FileTitle(path), true,
                         error))
        return Failure(console, error);
    console.out("made " + linkPath + "\n");
    return EXIT_OK;
}

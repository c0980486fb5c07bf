// The commands that start packages: launch now, or a shortcut that starts one later.
#include <windows.h>
#include <objidl.h>
#include <shlobj.h>

#include "base/dynamic_library.h"
#include "launch/launch_profiles.h"
#include "mwpack/invocation.h"
#include "mwpack/launch_steps.h"
#include "mwpack/package_access.h"
#include "mwpack/shortcut_files.h"
#include "mwpack/text_form.h"
#include "store/package_names.h"

namespace {

std::string ProgramFolder()
{
    char module[MAX_PATH] = "";
    DWORD length = GetModuleFileNameA(nullptr, module, sizeof module);
    char* slash = length > 0 && length < sizeof module ? strrchr(module, '\\') : nullptr;
    if (!slash)
        return ".";
    *slash = '\0';
    return module;
}

std::string FullPath(const std::string& path)
{
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    return length > 0 && length < sizeof full ? std::string(full) : path;
}

bool DestinationFolder(const Invocation& call, std::string& folder, std::string& error)
{
    int chosen = call.has("desktop") + call.has("start-menu") + call.has("startup") + (call.values.count("to") ? 1 : 0);
    if (chosen > 1) {
        error = "choose one of --desktop, --start-menu, --startup and --to";
        return false;
    }
    if (call.values.count("to")) {
        folder = call.value("to");
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

// Saves a shell link through the shell's own link object.
bool SaveLink(const std::string& linkPath, const std::string& target, const std::string& arguments,
              const std::string& description, std::string& error)
{
    ComApartment apartment;
    IShellLinkA* link = CreateShellLink();
    if (!link) {
        error = "the shell's link object is not available";
        return false;
    }
    std::string folder = target.substr(0, target.find_last_of('\\'));
    link->SetPath(target.c_str());
    link->SetArguments(arguments.c_str());
    link->SetWorkingDirectory(folder.c_str());
    link->SetIconLocation(target.c_str(), 0);
    link->SetDescription(description.c_str());
    IPersistFile* file = nullptr;
    bool saved = false;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void**)&file))) {
        WCHAR wide[MAX_PATH];
        if (MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, ARRAYSIZE(wide)) > 0)
            saved = SUCCEEDED(file->Save(wide, TRUE));
        file->Release();
    }
    link->Release();
    if (!saved)
        error = linkPath + " cannot be saved";
    return saved;
}

}  // namespace

int LaunchCommand(const Invocation& call, Console& console)
{
    LaunchSteps steps;   // --if-running, --wait-ready, --delay
    std::string error;
    if (!steps.read(call, error)) {
        console.err("mwpack: " + error + "\n");
        return EXIT_USAGE;
    }
    std::string path = ResolvePackage(call.operands[0], call.folder);
    PackageFile* package = ReadPackage(path, error);
    if (!package)
        return Failure(console, error);
    if (!steps.look(package->profiles.first, error)) {
        DestroyPackageFile(package);
        return Failure(console, error);
    }
    int result = EXIT_OK;
    for (const ProfileBase* node = package->profiles.first; node; node = node->next) {
        if (steps.running(*node, console))
            continue;
        if (steps.start(*node, console)) {
            console.out(std::string("started ") + node->name() + ": " + node->object() + "\n");
        } else {
            DWORD code = GetLastError();
            console.err("mwpack: not started: " + QuotedExcerpt(node->name()) + ": " +
                        (node->object()[0] ? SystemMessage(code) : std::string("it has no object")) + "\n");
            result = EXIT_PROBLEMS;
        }
    }
    DestroyPackageFile(package);
    return result;
}

int ShortcutCommand(const Invocation& call, Console& console)
{
    std::string folder, error;
    if (!DestinationFolder(call, folder, error)) {
        console.err("mwpack: " + error + "\n");
        return EXIT_USAGE;
    }
    std::string path = FullPath(ResolvePackage(call.operands[0], call.folder));
    if (call.has("remove"))
        return RemoveShortcut(ShortcutPathFor(folder, path), console);
    // The shortcut starts the Marlowin.exe beside this program; without one it would start nothing.
    std::string marlowin = ProgramFolder() + "\\Marlowin.exe";
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

    std::string linkPath = ShortcutPathFor(folder, path);
    std::string title = FileTitle(path);
    if (!SaveLink(linkPath, marlowin, "\"" + path + "\"", "Start the package " + title, error))
        return Failure(console, error);
    console.out("made " + linkPath + "\n");
    return EXIT_OK;
}

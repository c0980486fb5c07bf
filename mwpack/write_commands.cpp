// The commands that write packages: import, new, delete, rename, copy, add, set and remove. Each
// resolves its names as the file system will see them, changes a package only through the store
// (opened as the editor opens it, written once, crash-safely) and makes new files whole or not at
// all.
#include <windows.h>

#include "launch/launch_rules.h"
#include "mwpack/file_writer.h"
#include "mwpack/invocation.h"
#include "mwpack/package_access.h"
#include "mwpack/quoted_text.h"
#include "mwpack/text_conversion.h"
#include "mwpack/text_form.h"
#include "store/package_names.h"

namespace {

bool ReadAllInput(const std::string& source, std::string& text, std::string& error)
{
    bool standardInput = source == "-";
    HANDLE file = standardInput ? GetStdHandle(STD_INPUT_HANDLE)
                                : CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE || file == nullptr) {
        error = source + " cannot be opened: " + SystemMessage(GetLastError());
        return false;
    }
    char chunk[65536];
    DWORD got = 0;
    bool read = true;
    while ((read = ReadFile(file, chunk, sizeof chunk, &got, nullptr) != 0) && got > 0)
        text.append(chunk, got);
    // A pipe whose writer has gone reports its end as an error.
    DWORD cause = read ? NO_ERROR : GetLastError();
    if (cause == ERROR_BROKEN_PIPE)
        read = true;
    if (!standardInput)
        CloseHandle(file);
    if (!read)
        error = source + " cannot be read: " + SystemMessage(cause);
    return read;
}

// Puts the given options into the profile's fields; a usage message when a value does not fit or
// is not one the editor would take. Fields without an option keep their texts.
bool ApplyOptions(const Invocation& call, Profile& profile, std::string& error)
{
    std::string texts[FIELD_COUNT];
    for (int i = 0; i < FIELD_COUNT; ++i) {
        bool given = call.values.count(FieldKeys[i]) != 0;
        texts[i] = given ? call.value(FieldKeys[i]) : profile.field(i);
        if (given && texts[i].empty() && (i == FIELD_NAME || i == FIELD_OBJECT)) {
            error = std::string("--") + FieldKeys[i] + " cannot be empty";
            return false;
        }
    }
    if (call.values.count(FieldKeys[FIELD_TYPE]) && !IsKnownType(texts[FIELD_TYPE].c_str())) {
        error = "--type must be Auto, Executable or Document/URL";
        return false;
    }
    if (call.values.count(FieldKeys[FIELD_WINDOW]) && !IsKnownWindow(texts[FIELD_WINDOW].c_str())) {
        error = "--window must be Normal, Minimize or Maximize";
        return false;
    }
    uint32_t extra = profile.extra;
    int field = 0;
    std::string fault;
    if (!ProfileFromTexts(texts, 0, profile, field, fault)) {
        error = std::string("--") + FieldKeys[field] + " is " + fault;
        return false;
    }
    profile.extra = extra;
    return true;
}

// Writes the changed list; a package made for the command is named as such.
int Finish(HeldPackage& package, const std::string& path, Console& console)
{
    std::string error;
    if (!package.save(error))
        return Failure(console, error);
    if (package.created())
        console.out("made the new package " + path + "\n");
    return EXIT_OK;
}

// A name for a package about to be made: free, and with nothing left of a package deleted earlier
// under it.
bool ClaimNewName(const std::string& path, std::string& error)
{
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
        error = DescribeFileError(path, ERROR_ALREADY_EXISTS);
        return false;
    }
    DiscardSideFile(path.c_str());
    return true;
}

// A package made anew, whole.
bool MakePackageFile(const std::string& path, const std::string& bytes, std::string& error)
{
    return ClaimNewName(path, error) && WriteWholeFile(path, bytes, false, error);
}

}  // namespace

int ImportCommand(const Invocation& call, Console& console)
{
    const std::string& source = call.operands[0];
    std::string text, error, path;
    if (!ResolveNewPackage(call.operands[1], call.folder, path, error))
        return UsageFailure(console, error);
    if (!ReadAllInput(source, text, error))
        return Failure(console, error);
    std::vector<Profile> profiles;
    if (!ImportText(text.data(), text.size(), SystemCodePage, profiles, error))
        return Failure(console, source + ": " + MessageText(error) + "; nothing was written");

    HeldPackage package(path, OPEN_TO_REPLACE);
    if (!package.get())
        return Failure(console, package.error() + "; nothing was written");
    LinkInGivenOrder(profiles, package->profiles);
    return Finish(package, path, console);
}

int AddCommand(const Invocation& call, Console& console)
{
    const char* blank[FIELD_COUNT] = { "", "", "", "", "", "", WINDOW_CHOICES[0].text };
    Profile added(blank, 0);
    std::string error, path;
    if (!call.values.count(FieldKeys[FIELD_NAME]) || !call.values.count(FieldKeys[FIELD_TYPE]) ||
        !call.values.count(FieldKeys[FIELD_OBJECT]))
        return UsageFailure(console, "--name, --type and --object are needed");
    if (!ApplyOptions(call, added, error) || !ResolveNewPackage(call.operands[0], call.folder, path, error))
        return UsageFailure(console, error);
    HeldPackage package(path, OPEN_TO_CREATE);
    if (!package.get())
        return Failure(console, package.error() + "; nothing was written");
    package->profiles.removeByName(added.name());
    package->profiles.insertSorted(&added);
    return Finish(package, path, console);
}

int SetCommand(const Invocation& call, Console& console)
{
    if (call.values.empty() || (call.values.size() == 1 && call.values.count("folder")))
        return UsageFailure(console, "set needs at least one field to change, such as --object VALUE");
    Profile changed;
    std::string error, path;
    if (!ApplyOptions(call, changed, error))   // the values alone, before the package is opened
        return UsageFailure(console, error);
    if (!ResolveOwnPackage(call.operands[0], call.folder, path, error))
        return Failure(console, error + "; nothing was written");
    HeldPackage package(path, OPEN_TO_WRITE);
    if (!package.get())
        return Failure(console, package.error() + "; nothing was written");
    const std::string& name = call.operands[1];
    ProfileBase* found = package->profiles.first;
    while (found && name != found->name())
        found = found->next;
    if (!found)
        return Failure(console, path + " has no profile named " + QuotedExcerpt(name));
    changed = *static_cast<Profile*>(found);   // every node of a package's list is a record
    if (!ApplyOptions(call, changed, error))
        return UsageFailure(console, error);
    // Out and in again, so that a new name takes its place in the order.
    package->profiles.removeByName(found->name());
    package->profiles.insertSorted(&changed);
    return Finish(package, path, console);
}

int RemoveCommand(const Invocation& call, Console& console)
{
    std::string path, error;
    if (!ResolveOwnPackage(call.operands[0], call.folder, path, error))
        return Failure(console, error + "; nothing was written");
    HeldPackage package(path, OPEN_TO_WRITE);
    if (!package.get())
        return Failure(console, package.error() + "; nothing was written");
    const std::string& name = call.operands[1];
    if (!package->profiles.removeByName(name.c_str()))
        return Failure(console, path + " has no profile named " + QuotedExcerpt(name));
    return Finish(package, path, console);
}

int NewCommand(const Invocation& call, Console& console)
{
    std::string path, error;
    if (!ResolveNewPackage(call.operands[0], call.folder, path, error))
        return UsageFailure(console, error);
    if (!MakePackageFile(path, std::string(), error))
        return Failure(console, error);
    console.out("made the new package " + path + "\n");
    return EXIT_OK;
}

int DeleteCommand(const Invocation& call, Console& console)
{
    std::string path, error;
    if (!ResolveOwnPackage(call.operands[0], call.folder, path, error))
        return Failure(console, error + "; nothing was deleted");
    if (!DeleteFileA(path.c_str()))
        return Failure(console, DescribeFileError(path, GetLastError()));
    DiscardSideFile(path.c_str());
    return EXIT_OK;
}

int RenameCommand(const Invocation& call, Console& console)
{
    std::string path, target, error;
    if (!ResolveOwnPackage(call.operands[0], call.folder, path, error))
        return Failure(console, error + "; nothing was renamed");
    if (!ResolveNewPackage(call.operands[1], FolderOf(path), target, error))
        return UsageFailure(console, error);
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return Failure(console, DescribeFileError(path, GetLastError()));
    // A cut-short save must be put right under the old name: its side file stays behind.
    if (!RecoverPackageAt(path.c_str()))
        return Failure(console, path + " has a cut-short save that cannot be put right now; nothing was renamed");
    if (!ClaimNewName(target, error))
        return Failure(console, error);
    // Without a replace flag the move refuses an existing target, and a file someone holds.
    if (!MoveFileA(path.c_str(), target.c_str())) {
        DWORD code = GetLastError();
        bool exists = code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS;
        return Failure(console, DescribeFileError(exists ? target : path, code));
    }
    return EXIT_OK;
}

int CopyCommand(const Invocation& call, Console& console)
{
    std::string path, target, error;
    if (!ResolveOwnPackage(call.operands[0], call.folder, path, error))
        return Failure(console, error + "; nothing was copied");
    if (!ResolveNewPackage(call.operands[1], FolderOf(path), target, error))
        return UsageFailure(console, error);
    PackageBytes bytes;
    if (!bytes.readPackage(path, error) ||
        !MakePackageFile(target, std::string((const char*)bytes.data(), bytes.size()), error))
        return Failure(console, error);
    return EXIT_OK;
}

// The texts a profile's type and window may hold, from the one table the launcher follows.
std::string ProfileVocabularyHelp()
{
    std::string text = "\nTypes (--type):";
    for (const ProfileType& type : PROFILE_TYPES)
        text += std::string(" ") + type.text;
    text += "\nWindows (--window):";
    for (const WindowChoice& window : WINDOW_CHOICES)
        text += std::string(" ") + window.text;
    return text + "\n";
}

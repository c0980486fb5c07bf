// The commands that write packages: import, add and remove. Each one opens the package as the
// editor does, changes its list, and writes it once through the store.
#include <windows.h>

#include "launch/launch_rules.h"
#include "mwpack/code_page.h"
#include "mwpack/invocation.h"
#include "mwpack/package_access.h"
#include "mwpack/text_form.h"
#include "store/package_names.h"

namespace {

// The package open for writing until the command ends. A file made for the command is removed
// again unless the command succeeded.
class WritablePackage {
public:
    WritablePackage(const std::string& path, bool create, std::string& error)
        : path_(path), created_(false), keep_(false), package_(OpenForWriting(path, create, &created_, error))
    {
    }
    ~WritablePackage()
    {
        DestroyPackageFile(package_);
        if (created_ && !keep_)
            DeleteFileA(path_.c_str());
    }
    WritablePackage(const WritablePackage&) = delete;
    WritablePackage& operator=(const WritablePackage&) = delete;

    PackageFile* get() const { return package_; }
    bool created() const { return created_; }
    bool write(std::string& error)
    {
        keep_ = WriteList(*package_, path_, error);
        return keep_;
    }

private:
    std::string path_;
    bool created_;
    bool keep_;
    PackageFile* package_;
};

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
    if (!read && GetLastError() == ERROR_BROKEN_PIPE)
        read = true;
    if (!standardInput)
        CloseHandle(file);
    if (!read)
        error = source + " cannot be read";
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
        if (!given)
            continue;
        if (texts[i].size() > FIELD_SIZE - 1) {
            error = std::string("--") + FieldKeys[i] + " is " + std::to_string(texts[i].size()) +
                    " characters long; at most " + std::to_string(FIELD_SIZE - 1) + " fit";
            return false;
        }
        if (texts[i].find('\0') != std::string::npos || (texts[i].empty() && (i == FIELD_NAME || i == FIELD_OBJECT))) {
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
    const char* pointers[FIELD_COUNT];
    for (int i = 0; i < FIELD_COUNT; ++i)
        pointers[i] = texts[i].c_str();
    profile = Profile(pointers, 0);
    return true;
}

int UsageFailure(Console& console, const std::string& message)
{
    console.err("mwpack: " + message + "\n");
    return EXIT_USAGE;
}

// Writes the changed list; a package made for the command is named as such.
int Finish(WritablePackage& package, const std::string& path, Console& console)
{
    std::string error;
    if (!package.write(error))
        return Failure(console, error);
    if (package.created())
        console.out("made the new package " + path + "\n");
    return EXIT_OK;
}

// Writes the bytes to a file that must not exist yet, flushed; nothing is left when it fails.
bool WriteNewFile(const std::string& path, const unsigned char* bytes, size_t size, std::string& error)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = DescribeFileError(path, GetLastError());
        return false;
    }
    DWORD written = 0;
    bool whole = (size == 0 || (WriteFile(file, bytes, (DWORD)size, &written, nullptr) && written == size)) &&
                 FlushFileBuffers(file);
    DWORD code = GetLastError();
    CloseHandle(file);
    if (!whole) {
        DeleteFileA(path.c_str());
        error = path + " cannot be written: " + SystemMessage(code);
    }
    return whole;
}

// The package named by the first operand, with no cut-short rewrite left pending beside it.
std::string RecoveredPackage(const Invocation& call)
{
    std::string path = ResolvePackage(call.operands[0], call.folder);
    RecoverPackageAt(path.c_str());
    return path;
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

    WritablePackage package(path, true, error);
    if (!package.get())
        return Failure(console, error + "; nothing was written");
    LinkImported(profiles, package.get()->profiles);
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
    WritablePackage package(path, true, error);
    if (!package.get())
        return Failure(console, error + "; nothing was written");
    package.get()->profiles.removeByName(added.name());
    package.get()->profiles.insertSorted(&added);
    return Finish(package, path, console);
}

int SetCommand(const Invocation& call, Console& console)
{
    if (call.values.empty() || (call.values.size() == 1 && call.values.count("folder")))
        return UsageFailure(console, "set needs at least one field to change, such as --object VALUE");
    Profile changed;
    std::string error;
    if (!ApplyOptions(call, changed, error))   // the values alone, before the package is opened
        return UsageFailure(console, error);
    std::string path = ResolvePackage(call.operands[0], call.folder);
    WritablePackage package(path, false, error);
    if (!package.get())
        return Failure(console, error + "; nothing was written");
    const std::string& name = call.operands[1];
    ProfileBase* found = package.get()->profiles.first;
    while (found && name != found->name())
        found = found->next;
    if (!found)
        return Failure(console, path + " has no profile named " + QuotedExcerpt(name));
    for (int i = 0; i < FIELD_COUNT; ++i)
        memcpy(changed.field(i), found->field(i), FIELD_SIZE);
    if (!ApplyOptions(call, changed, error))
        return UsageFailure(console, error);
    changed.extra = static_cast<Profile*>(found)->extra;   // every node of a package's list is a record
    // Out and in again, so that a new name takes its place in the order.
    package.get()->profiles.removeByName(found->name());
    package.get()->profiles.insertSorted(&changed);
    return Finish(package, path, console);
}

int RemoveCommand(const Invocation& call, Console& console)
{
    std::string path = ResolvePackage(call.operands[0], call.folder);
    std::string error;
    WritablePackage package(path, false, error);
    if (!package.get())
        return Failure(console, error + "; nothing was written");
    const std::string& name = call.operands[1];
    if (!package.get()->profiles.removeByName(name.c_str()))
        return Failure(console, path + " has no profile named " + QuotedExcerpt(name));
    return Finish(package, path, console);
}

int NewCommand(const Invocation& call, Console& console)
{
    std::string path, error;
    if (!ResolveNewPackage(call.operands[0], call.folder, path, error))
        return UsageFailure(console, error);
    if (!WriteNewFile(path, nullptr, 0, error))
        return Failure(console, error);
    console.out("made the new package " + path + "\n");
    return EXIT_OK;
}

int DeleteCommand(const Invocation& call, Console& console)
{
    std::string path = RecoveredPackage(call);
    if (!HasPackageSuffix(path.c_str(), path.size()))
        return Failure(console, path + " is not a package (" PACKAGE_SUFFIX "); nothing was deleted");
    if (!DeleteFileA(path.c_str()))
        return Failure(console, DescribeFileError(path, GetLastError()));
    return EXIT_OK;
}

int RenameCommand(const Invocation& call, Console& console)
{
    std::string target, error;
    if (!ResolveNewPackage(call.operands[1], call.folder, target, error))
        return UsageFailure(console, error);
    std::string path = RecoveredPackage(call);
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
    std::string target, error;
    if (!ResolveNewPackage(call.operands[1], call.folder, target, error))
        return UsageFailure(console, error);
    PackageBytes bytes;
    if (!ReadPackageBytes(ResolvePackage(call.operands[0], call.folder), bytes, error) ||
        !WriteNewFile(target, bytes.data(), bytes.size(), error))
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

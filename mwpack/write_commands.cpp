// The commands that write packages: import, add and remove. Each one opens the package as the
// editor does, changes its list, and writes it once through the store.
#include <windows.h>

#include "launch/launch_rules.h"
#include "mwpack/code_page.h"
#include "mwpack/invocation.h"
#include "mwpack/package_access.h"
#include "mwpack/text_form.h"

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
        error = source + " cannot be opened (error " + std::to_string(GetLastError()) + ")";
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

// The profile that add describes, or a usage message.
bool ProfileFromOptions(const Invocation& call, Profile& profile, std::string& error)
{
    static const char* const OPTIONS[FIELD_COUNT] = { "name",      "command", "object", "directory",
                                                      "arguments", "type",    "window" };
    std::string texts[FIELD_COUNT];
    for (int i = 0; i < FIELD_COUNT; ++i) {
        texts[i] = call.value(OPTIONS[i], i == FIELD_WINDOW ? "Normal" : "");
        if (texts[i].size() > FIELD_SIZE - 1) {
            error = std::string("--") + OPTIONS[i] + " is " + std::to_string(texts[i].size()) +
                    " characters long; at most " + std::to_string(FIELD_SIZE - 1) + " fit";
            return false;
        }
    }
    if (texts[FIELD_NAME].empty() || texts[FIELD_OBJECT].empty() || !call.values.count("type")) {
        error = "--name, --type and --object are needed, the name and object not empty";
        return false;
    }
    if (!IsKnownType(texts[FIELD_TYPE].c_str())) {
        error = "--type must be Auto, Executable or Document/URL";
        return false;
    }
    if (!IsKnownWindow(texts[FIELD_WINDOW].c_str())) {
        error = "--window must be Normal, Minimize or Maximize";
        return false;
    }
    const char* pointers[FIELD_COUNT];
    for (int i = 0; i < FIELD_COUNT; ++i)
        pointers[i] = texts[i].c_str();
    profile = Profile(pointers, 0);
    return true;
}

}  // namespace

int ImportCommand(const Invocation& call, Console& console)
{
    const std::string& source = call.operands[0];
    std::string text, error;
    if (!ReadAllInput(source, text, error))
        return Failure(console, error);
    std::vector<Profile> profiles;
    if (!ImportText(text.data(), text.size(), SystemCodePage, profiles, error))
        return Failure(console, source + ": " + error + "; nothing was written");

    std::string path = ResolvePackage(call.operands[1], call.folder);
    WritablePackage package(path, true, error);
    if (!package.get())
        return Failure(console, error + "; nothing was written");
    LinkImported(profiles, package.get()->profiles);
    if (!package.write(error))
        return Failure(console, error);
    return EXIT_OK;
}

int AddCommand(const Invocation& call, Console& console)
{
    Profile added;
    std::string error;
    if (!ProfileFromOptions(call, added, error)) {
        console.err("mwpack: " + error + "\n");
        return EXIT_USAGE;
    }
    std::string path = ResolvePackage(call.operands[0], call.folder);
    WritablePackage package(path, true, error);
    if (!package.get())
        return Failure(console, error + "; nothing was written");
    package.get()->profiles.removeByName(added.name());
    package.get()->profiles.insertSorted(&added);
    if (!package.write(error))
        return Failure(console, error);
    return EXIT_OK;
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
        return Failure(console, path + " has no profile named \"" + name + "\"");
    if (!package.write(error))
        return Failure(console, error);
    return EXIT_OK;
}

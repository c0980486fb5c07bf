#include "mwpack/package_check.h"

#include <ctype.h>
#include <stdint.h>
#include <string.h>

#include <algorithm>

#include "launch/launch_rules.h"
#include "mwpack/text_form.h"
#include "store/profile.h"

namespace {

std::string Quoted(const char* text)
{
    return std::string("\"") + text + "\"";
}

// "http://...", "mailto:..." and the like: addresses the shell resolves, not files.
bool IsAddress(const char* object)
{
    const char* colon = strchr(object, ':');
    if (!colon || colon - object < 2)
        return false;
    for (const char* c = object; c < colon; ++c)
        if (!isalnum((unsigned char)*c) && *c != '+' && *c != '-' && *c != '.')
            return false;
    return true;
}

bool IsAbsolutePath(const char* path)
{
    return (isalpha((unsigned char)path[0]) && path[1] == ':') || (path[0] == '\\' && path[1] == '\\');
}

bool HasFolderPart(const char* path)
{
    return strpbrk(path, "\\/:") != nullptr;
}

class Checker {
public:
    explicit Checker(const FileSystemProbe& probe) : probe_(probe) {}

    void profile(const unsigned char* record, long index)
    {
        Profile profile;
        DecodeRecord(record, profile, (uint32_t)index);
        for (int field = 0; field < FIELD_COUNT; ++field)
            if (!RecordFieldEnds(record, field))
                add(PROBLEM_FIELD_WITHOUT_END, index, profile,
                    "field " + Quoted(FieldKeys[field]) + " has no end within its " + std::to_string(FIELD_SIZE) +
                        " bytes; it is read as its first " + std::to_string(FIELD_SIZE - 1) + " characters");
        if (!IsKnownType(profile.type()))
            add(PROBLEM_UNKNOWN_TYPE, index, profile,
                "type " + Quoted(profile.type()) + " is not one the launcher knows; it starts as Auto");
        if (!IsKnownWindow(profile.window()))
            add(PROBLEM_UNKNOWN_WINDOW, index, profile,
                "window " + Quoted(profile.window()) + " is not one the launcher knows; it starts as Normal");
        objectAndFolder(profile, index);
    }

    void duplicates(const std::vector<Profile>& names)
    {
        std::vector<size_t> order(names.size());
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        std::stable_sort(order.begin(), order.end(), [&names](size_t a, size_t b) {
            return CompareBytes(names[a].name(), names[b].name()) < 0;
        });
        for (size_t i = 1; i < order.size(); ++i) {
            const Profile& earlier = names[order[i - 1]];
            const Profile& later = names[order[i]];
            if (CompareBytes(earlier.name(), later.name()) == 0)
                add(PROBLEM_DUPLICATE_NAME, (long)order[i], later,
                    "the same name as profile " + std::to_string(order[i - 1] + 1) +
                        "; adding or removing by this name changes only one of them");
        }
    }

    void fileWide(ProblemKind kind, const std::string& message)
    {
        problems_.push_back(Problem{ kind, -1, std::string(), message });
    }

    std::vector<Problem>& problems() { return problems_; }

private:
    void add(ProblemKind kind, long index, const ProfileBase& profile, const std::string& message)
    {
        problems_.push_back(Problem{ kind, index, profile.name(), message });
    }

    void objectAndFolder(const ProfileBase& profile, long index)
    {
        const char* object = profile.object();
        bool executable = ResolveLaunchWay(profile.type()) == LAUNCH_EXECUTABLE;
        if (object[0] == '\0') {
            add(PROBLEM_NO_OBJECT, index, profile, "it has no object, so nothing is started");
        } else if (executable && !HasFolderPart(object)) {
            if (!probe_.onSearchPath(object))
                add(PROBLEM_MISSING_OBJECT, index, profile, "program " + Quoted(object) + " is not found on the search path");
        } else if ((executable || IsAbsolutePath(object)) && !IsAddress(object) && !probe_.fileExists(object)) {
            add(PROBLEM_MISSING_OBJECT, index, profile, "object " + Quoted(object) + " does not exist");
        }
        // Only a new process gets a working folder.
        const char* folder = profile.directory();
        if (executable && folder[0] != '\0' && !probe_.folderExists(folder))
            add(PROBLEM_MISSING_FOLDER, index, profile, "working folder " + Quoted(folder) + " does not exist");
    }

    const FileSystemProbe& probe_;
    std::vector<Problem> problems_;
};

}  // namespace

const char* ProblemKindName(ProblemKind kind)
{
    static const char* const NAMES[] = { "partial-record", "field-without-end", "unknown-type", "unknown-window",
                                         "no-object",      "missing-object",    "missing-folder", "duplicate-name" };
    return NAMES[kind];
}

std::vector<Problem> CheckPackageBytes(const std::string& bytes, const FileSystemProbe& probe)
{
    Checker checker(probe);
    size_t whole = bytes.size() / RECORD_SIZE;
    size_t rest = bytes.size() % RECORD_SIZE;
    if (rest != 0)
        checker.fileWide(PROBLEM_PARTIAL_RECORD, "its size, " + std::to_string(bytes.size()) +
                                                     " bytes, is not a whole number of " + std::to_string(RECORD_SIZE) +
                                                     "-byte records; the last " + std::to_string(rest) +
                                                     " bytes are ignored");
    std::vector<Profile> names(whole);
    const unsigned char* data = (const unsigned char*)bytes.data();
    for (size_t i = 0; i < whole; ++i) {
        checker.profile(data + i * RECORD_SIZE, (long)i);
        DecodeRecord(data + i * RECORD_SIZE, names[i], (uint32_t)i);
    }
    checker.duplicates(names);
    // File-wide first, then by profile; each profile's problems in the order they were found.
    std::vector<Problem>& problems = checker.problems();
    std::stable_sort(problems.begin(), problems.end(),
                     [](const Problem& a, const Problem& b) { return a.profile < b.profile; });
    return problems;
}

#include "mwpack/package_check.h"

#include <ctype.h>
#include <stdint.h>
#include <string.h>

#include "launch/launch_rules.h"
#include "mwpack/quoted_text.h"
#include "mwpack/text_form.h"
#include "store/name_order.h"
#include "store/profile.h"

namespace {

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

    void profile(const unsigned char* record, const Profile& profile, long place)
    {
        for (int field = 0; field < FIELD_COUNT; ++field)
            if (!RecordFieldEnds(record, field))
                add(PROBLEM_FIELD_WITHOUT_END, false, place, profile,
                    "field " + QuotedExcerpt(FieldKeys[field]) + " has no end within its " +
                        std::to_string(FIELD_SIZE) + " bytes; it is read as its first " +
                        std::to_string(FIELD_SIZE - 1) + " characters");
        // Empty texts are the launcher's documented defaults, not mistakes.
        if (profile.type()[0] && !IsKnownType(profile.type()))
            add(PROBLEM_UNKNOWN_TYPE, false, place, profile,
                "type " + QuotedExcerpt(profile.type()) + " is not one the launcher knows; it starts as Auto");
        if (profile.window()[0] && !IsKnownWindow(profile.window()))
            add(PROBLEM_UNKNOWN_WINDOW, false, place, profile,
                "window " + QuotedExcerpt(profile.window()) + " is not one the launcher knows; it starts as Normal");
        objectAndFolder(profile, place);
    }

    // Profiles of one name stand next to each other in launch order.
    void duplicate(const ProfileBase& earlier, long earlierPlace, const ProfileBase& later, long laterPlace)
    {
        if (CompareBytes(earlier.name(), later.name()) == 0)
            add(PROBLEM_DUPLICATE_NAME, false, laterPlace, later,
                "the same name as profile " + std::to_string(earlierPlace + 1) +
                    "; adding or removing by this name changes only one of them");
    }

    void fileWide(ProblemKind kind, const std::string& message)
    {
        problems_.push_back(Problem{ kind, false, -1, std::string(), message });
    }

    std::vector<Problem>& problems() { return problems_; }

private:
    void add(ProblemKind kind, bool stopsStart, long place, const ProfileBase& profile, const std::string& message)
    {
        problems_.push_back(Problem{ kind, stopsStart, place, profile.name(), message });
    }

    void objectAndFolder(const ProfileBase& profile, long place)
    {
        const char* object = profile.object();
        bool executable = ResolveLaunchWay(profile.type()) == LAUNCH_EXECUTABLE;
        bool found = true;
        if (object[0] == '\0') {
            add(PROBLEM_NO_OBJECT, true, place, profile, "it has no object, so nothing is started");
            return;
        }
        if (executable && !HasFolderPart(object)) {
            found = probe_.onSearchPath(object);
            if (!found)
                add(PROBLEM_MISSING_OBJECT, true, place, profile,
                    "program " + QuotedExcerpt(object) + " is not found on the search path");
        } else if (executable && probe_.folderExists(object)) {
            found = false;
            add(PROBLEM_MISSING_OBJECT, true, place, profile,
                "object " + QuotedExcerpt(object) + " is a folder, which cannot run as a program");
        } else if ((executable || IsAbsolutePath(object)) && !IsAddress(object)) {
            // The shell opens folders as well as files.
            found = probe_.fileExists(object) || (!executable && probe_.folderExists(object));
            if (!found)
                add(PROBLEM_MISSING_OBJECT, true, place, profile, "object " + QuotedExcerpt(object) + " does not exist");
        }
        if (!executable || !found)
            return;
        // Only a new process gets a working folder, chosen as the launcher chooses it.
        char objectFolder[FIELD_SIZE];
        const char* folder = StartFolder(object, profile.directory(), objectFolder, sizeof objectFolder);
        if (folder && !probe_.folderExists(folder))
            add(PROBLEM_MISSING_FOLDER, true, place, profile, "working folder " + QuotedExcerpt(folder) + " does not exist");
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

std::vector<Problem> CheckPackageBytes(const unsigned char* bytes, size_t size, const FileSystemProbe& probe)
{
    Checker checker(probe);
    size_t whole = size / RECORD_SIZE;
    size_t rest = size % RECORD_SIZE;
    if (rest != 0)
        checker.fileWide(PROBLEM_PARTIAL_RECORD, "its size, " + std::to_string(size) +
                                                     " bytes, is not a whole number of " + std::to_string(RECORD_SIZE) +
                                                     "-byte records; the last " + std::to_string(rest) +
                                                     " bytes are ignored");
    std::vector<Profile> profiles(whole);
    for (size_t i = 0; i < whole; ++i)
        DecodeRecord(bytes + i * RECORD_SIZE, profiles[i], (uint32_t)i);
    // Profiles are numbered as they start, as show numbers them.
    ProfileList order;
    LinkInNameOrder(profiles.data(), (uint32_t)whole, order);
    long place = 0;
    const ProfileBase* previous = nullptr;
    for (const ProfileBase* node = order.first; node; node = node->next, ++place) {
        checker.profile(bytes + (size_t)node->ordinal * RECORD_SIZE, profiles[node->ordinal], place);
        if (previous)
            checker.duplicate(*previous, place - 1, *node, place);
        previous = node;
    }
    // Found file-wide first, then profile by profile.
    return checker.problems();
}

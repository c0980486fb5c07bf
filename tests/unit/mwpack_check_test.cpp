// What `mwpack check` finds: each kind of problem where it is, and nothing in a clean package.
#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include <vector>

#include "mwpack/package_check.h"
#include "store/profile.h"

namespace {

// Only these paths exist, as far as the check is told.
bool KnownFile(const char* path)
{
    return strcmp(path, "C:\\Tools\\tool.exe") == 0 || strcmp(path, "C:\\Docs\\plan.txt") == 0;
}
bool KnownFolder(const char* path)
{
    return strcmp(path, "C:\\Tools") == 0;
}
bool KnownProgram(const char* program)
{
    return strcmp(program, "notepad.exe") == 0;
}
const FileSystemProbe PROBE = { KnownFile, KnownFolder, KnownProgram };

std::string Record(const char* name, const char* type, const char* object, const char* directory = "",
                   const char* window = "Normal")
{
    const char* texts[FIELD_COUNT] = { name, "", object, directory, "", type, window };
    unsigned char record[RECORD_SIZE];
    EncodeRecord(Profile(texts, 0), record);
    return std::string((const char*)record, RECORD_SIZE);
}

std::vector<Problem> Check(const std::string& bytes)
{
    return CheckPackageBytes((const unsigned char*)bytes.data(), bytes.size(), PROBE);
}

std::string CleanPackage()
{
    return Record("Docs", "Document/URL", "C:\\Docs\\plan.txt") + Record("Editor", "Executable", "notepad.exe") +
           Record("Site", "Auto", "http://example.org/") + Record("Tool", "Executable", "C:\\Tools\\tool.exe", "C:\\Tools") +
           Record("tool", "Executable", "C:\\Tools\\tool.exe", "", "Minimize") +
           Record("Web", "Auto", "mailto:someone@example.org", "", "Maximize") +
           Record("Defaults", "", "C:\\Docs\\plan.txt", "", "") + Record("Open", "Auto", "C:\\Tools");
}

TEST(MwpackCheck, CleanPackageHasNoProblems)
{
    EXPECT_TRUE(Check(CleanPackage()).empty());
    EXPECT_TRUE(Check(std::string()).empty());
}

TEST(MwpackCheck, FindsEachKindInLaunchOrderAndTellsStoppersFromNotes)
{
    std::string noEnd = Record("Long", "Auto", "http://x/");
    memset(&noEnd[RecordFieldOffset(FIELD_OBJECT)], 'x', FIELD_SIZE);   // the object field, without its end
    std::string bytes = Record("Kind", "exe", "http://x/") + Record("Shown", "Auto", "http://x/", "", "Big") +
                        Record("Empty", "Auto", "") + Record("Gone", "Executable", "C:\\Tools\\old.exe", "C:\\Tools") +
                        Record("Path", "Executable", "nothere.exe") + Record("Doc", "Auto", "D:\\missing.doc") +
                        Record("Folder", "Executable", "C:\\Tools\\tool.exe", "C:\\Nowhere") + noEnd +
                        Record("Kind", "Auto", "http://y/") + Record("Dir", "Executable", "C:\\Tools") +
                        std::string(100, '\0');
    std::vector<Problem> problems = Check(bytes);

    struct Expected {
        ProblemKind kind;
        bool stopsStart;
        long profile;
        const char* text;
    };
    // Launch order: Dir, Doc, Empty, Folder, Gone, Kind (the later record first), Kind, Long, Path, Shown.
    const Expected expected[] = {
        { PROBLEM_PARTIAL_RECORD, false, -1, "the last 100 bytes are ignored" },
        { PROBLEM_MISSING_OBJECT, true, 0, "object \"C:\\Tools\" is a folder, which cannot run as a program" },
        { PROBLEM_MISSING_OBJECT, true, 1, "object \"D:\\missing.doc\" does not exist" },
        { PROBLEM_NO_OBJECT, true, 2, "no object" },
        { PROBLEM_MISSING_FOLDER, true, 3, "working folder \"C:\\Nowhere\" does not exist" },
        { PROBLEM_MISSING_OBJECT, true, 4, "object \"C:\\Tools\\old.exe\" does not exist" },
        { PROBLEM_UNKNOWN_TYPE, false, 6, "type \"exe\" is not one the launcher knows; it starts as Auto" },
        { PROBLEM_DUPLICATE_NAME, false, 6, "the same name as profile 6" },
        { PROBLEM_FIELD_WITHOUT_END, false, 7, "field \"object\" has no end" },
        { PROBLEM_MISSING_OBJECT, true, 8, "program \"nothere.exe\" is not found on the search path" },
        { PROBLEM_UNKNOWN_WINDOW, false, 9, "window \"Big\" is not one the launcher knows; it starts as Normal" },
    };
    ASSERT_EQ(problems.size(), sizeof expected / sizeof expected[0]);
    for (size_t i = 0; i < problems.size(); ++i) {
        EXPECT_EQ(problems[i].kind, expected[i].kind) << i << ": " << problems[i].message;
        EXPECT_EQ(problems[i].stopsStart, expected[i].stopsStart) << i;
        EXPECT_EQ(problems[i].profile, expected[i].profile) << i;
        EXPECT_NE(problems[i].message.find(expected[i].text), std::string::npos) << problems[i].message;
    }
    EXPECT_EQ(problems[6].name, "Kind");
    EXPECT_STREQ(ProblemKindName(PROBLEM_DUPLICATE_NAME), "duplicate-name");
}

}  // namespace

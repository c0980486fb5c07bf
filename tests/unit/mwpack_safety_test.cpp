// mwpack keeps packages as safely as the editor does: a failed write loses no file, a failure is
// never reported as success, and names, side files and shortcuts that are not what they seem are
// refused rather than taken.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>

#include "base/message_text.h"
#include "store/package_file.h"
#include "tests/unit/mwpack_fixture.h"
#include "tests/unit/shortcut_bytes.h"

using namespace testing_support;

namespace {

std::string CauseOf(DWORD error)
{
    char text[512];
    DescribeError(error, text, sizeof text);
    return text;
}

std::vector<std::string> FolderFiles(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    do
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

TEST_F(MwpackCommands, FailedWritesKeepTheFilesTheyWouldReplaceAndNameTheCause)
{
    std::string package = EncodePackage({ RecorderRecord("1", "a"), RecorderRecord("2", "b"), RecorderRecord("3", "c") });
    WriteFileBytes(Path("P.mwpack"), package);
    WriteFileBytes(Path("Q.mwpack"), package);
    WriteFileBytes(Path("backup.json"), "the backup of yesterday");
    const Arguments commands[] = {
        { "export", "P", Path("backup.json") },
        { "export", "P", Path("Q.mwpack"), "--force" },
        { "copy", "P", "Copy" },
        { "add", "P", "--name", "d", "--type", "Auto", "--object", "o" },
    };
    for (const Arguments& arguments : commands) {
        FullDisk disk(0);
        Outcome outcome = Run(arguments);
        EXPECT_EQ(outcome.code, EXIT_PROBLEMS) << arguments[0];
        EXPECT_NE(outcome.errors.find(CauseOf(ERROR_DISK_FULL)), std::string::npos) << outcome.errors;
    }
    EXPECT_EQ(ReadFileBytes(Path("backup.json")), "the backup of yesterday");
    EXPECT_TRUE(ReadFileBytes(Path("P.mwpack")) == package);
    EXPECT_TRUE(ReadFileBytes(Path("Q.mwpack")) == package);
    // Nothing half-made stays behind: no copy, no new package, no temporary or side file.
    EXPECT_EQ(FolderFiles(folder), (std::vector<std::string>{ "backup.json", "P.mwpack", "Q.mwpack" }));
}

TEST_F(MwpackCommands, ResultsThatCannotBeWrittenFailTheCommand)
{
    WriteFileBytes(Path("P.mwpack"), EncodePackage({ RecorderRecord("1") }));
    for (const Arguments& arguments : { Arguments{ "export", "P" }, Arguments{ "show", "P" }, Arguments{ "list" },
                                        Arguments{ "list", "--json" }, Arguments{ "check", "P" }, Arguments{ "--help" } }) {
        Outcome closed = Run(arguments, ERROR_NO_DATA);
        EXPECT_EQ(closed.code, EXIT_PROBLEMS) << arguments[0];
        EXPECT_NE(closed.errors.find("mwpack: the results could not all be written: " + CauseOf(ERROR_NO_DATA)),
                  std::string::npos)
            << closed.errors;
        EXPECT_EQ(Run(arguments).code, EXIT_OK) << arguments[0];
    }
}

// A side file left by an interrupted save of B, whose package was then deleted outside Marlowin.
class StaleSideFile : public MwpackCommands {
protected:
    void SetUp() override
    {
        MwpackCommands::SetUp();
        std::string stale = EncodePackage({ RecorderRecord("stale", "stale") });
        WriteFileBytes(Path("B.mwpack"), stale);
        PackageFile* b = OpenPackageFile(Path("B.mwpack").c_str(), OPEN_TO_WRITE);
        ASSERT_NE(b, nullptr);
        const char* texts[FIELD_COUNT] = { "other", "", "other.exe" };
        Profile other(texts, 0);
        b->profiles.first = nullptr;
        b->profiles.insertSorted(&other);
        {
            FullDisk disk(2);   // the side file is written whole; the package and its restore fail
            EXPECT_FALSE(b->rewriteList());
        }
        DestroyPackageFile(b);
        side = ReadFileBytes(Path("B.mwpack~"));
        ASSERT_FALSE(side.empty());
        DeleteFileA(Path("B.mwpack").c_str());
        a = EncodePackage({ RecorderRecord("1", "a1"), RecorderRecord("2", "a2"), RecorderRecord("3", "a3") });
    }
    void plant()
    {
        DeleteFileA(Path("B.mwpack").c_str());
        WriteFileBytes(Path("A.mwpack"), a);
        WriteFileBytes(Path("B.mwpack~"), side);
    }

    std::string side, a;
};

TEST_F(StaleSideFile, ReachesNoPackageMadeUnderItsName)
{
    std::string json = Json("{\"name\": \"1\"}");
    const std::vector<Arguments> ways[] = {
        { { "rename", "A", "B" } },
        { { "copy", "A", "B" } },
        { { "import", json, "B" } },
        { { "new", "B" }, { "add", "B", "--name", "1", "--type", "Auto", "--object", "o" } },
        { { "add", "B", "--name", "1", "--type", "Auto", "--object", "o" } },
    };
    for (const std::vector<Arguments>& steps : ways) {
        plant();
        for (const Arguments& step : steps)
            ASSERT_EQ(Run(step).code, EXIT_OK) << steps[0][0];
        Outcome shown = Run({ "show", "B" });
        EXPECT_EQ(shown.output.find("stale"), std::string::npos) << steps[0][0] << ":\n" << shown.output;
        EXPECT_FALSE(Exists("B.mwpack~")) << steps[0][0];
    }
}

TEST_F(MwpackCommands, NamesAreCheckedAsTheFileSystemWillSeeThem)
{
    std::string package = EncodePackage({ RecorderRecord("1", "keep") });
    WriteFileBytes(Path("P.mwpack"), package);
    WriteFileBytes(Path("A Long Package Name.mwpack"), package);
    char shortName[MAX_PATH] = "";
    ASSERT_GT(GetShortPathNameA(Path("A Long Package Name.mwpack").c_str(), shortName, sizeof shortName), 0u);
    // The system drops final dots and blanks, and a short name is the same file.
    for (const std::string& file : { Path("P.mwpack."), Path("P.mwpack "), std::string(shortName) }) {
        Outcome outcome = Run({ "export", "P", file });
        EXPECT_EQ(outcome.code, EXIT_PROBLEMS) << file;
        EXPECT_NE(outcome.errors.find("--force"), std::string::npos) << outcome.errors;
    }
    EXPECT_TRUE(ReadFileBytes(Path("P.mwpack")) == package);
    EXPECT_TRUE(ReadFileBytes(Path("A Long Package Name.mwpack")) == package);

    CreateDirectoryA(Path("Links").c_str(), nullptr);
    for (const char* name : { "NUL", "Trail.", "a|b" }) {
        EXPECT_EQ(Run({ "import-shortcuts", Path("Links"), name }).code, EXIT_USAGE) << name;
        EXPECT_EQ(Run({ "capture", name, "--dry-run" }).code, EXIT_USAGE) << name;
    }
    // Only a package is renamed, deleted or changed; a new name stays in its package's folder.
    WriteFileBytes(Path("notes.txt"), "notes");
    for (const Arguments& arguments : { Arguments{ "rename", Path("notes.txt"), "Notes" },
                                        Arguments{ "delete", Path("notes.txt") },
                                        Arguments{ "remove", Path("notes.txt"), "x" } })
        EXPECT_EQ(Run(arguments).code, EXIT_PROBLEMS) << arguments[0];
    EXPECT_EQ(ReadFileBytes(Path("notes.txt")), "notes");
    EXPECT_FALSE(Exists("Notes.mwpack"));
    CreateDirectoryA(Path("Other").c_str(), nullptr);
    WriteFileBytes(Path("Other\\X.mwpack"), package);
    ASSERT_EQ(Run({ "rename", Path("Other\\X.mwpack"), "Y" }).code, EXIT_OK);
    EXPECT_TRUE(Exists("Other\\Y.mwpack"));
    EXPECT_FALSE(Exists("Y.mwpack"));
}

TEST_F(MwpackCommands, ArgumentsOutsideTheCodePageAreRefusedAsSuch)
{
    BufferConsole console;
    std::vector<std::wstring> arguments = { L"new", L"\x65e5\x672c", L"--folder",
                                            std::wstring(folder.begin(), folder.end()) };
    EXPECT_EQ(RunMwpackWide(arguments, console), EXIT_USAGE);
    EXPECT_NE(console.errors.find("argument 2 \"??\" has characters outside the system code page"), std::string::npos)
        << console.errors;
    EXPECT_EQ(FolderFiles(folder), std::vector<std::string>());
}

class Shortcuts : public MwpackCommands {
protected:
    std::string LinkTarget(const std::string& link)
    {
        ShortcutParts parts;
        parts.localPath = link;
        return ShortcutBytes(parts);
    }
};

TEST_F(Shortcuts, OnlyOnesThatStartThisPackageAreReplacedOrRemoved)
{
    WriteFileBytes(Path("P.mwpack"), EncodePackage({ RecorderRecord("1") }));
    std::string links = Path("Links");
    CreateDirectoryA(links.c_str(), nullptr);
    std::string foreign = LinkTarget("C:\\windows\\notepad.exe");
    WriteFileBytes(links + "\\P.lnk", foreign);

    Outcome over = Run({ "shortcut", "P", "--to", links });
    EXPECT_EQ(over.code, EXIT_PROBLEMS);
    EXPECT_NE(over.errors.find("--force replaces it"), std::string::npos) << over.errors;
    Outcome removed = Run({ "shortcut", "P", "--to", links, "--remove" });
    EXPECT_EQ(removed.code, EXIT_PROBLEMS);
    EXPECT_EQ(Run({ "shortcut", "Absent", "--to", links, "--remove" }).code, EXIT_PROBLEMS);
    WriteFileBytes(links + "\\Absent.lnk", foreign);
    EXPECT_EQ(Run({ "shortcut", "Absent", "--to", links, "--remove" }).code, EXIT_PROBLEMS);
    EXPECT_TRUE(ReadFileBytes(links + "\\P.lnk") == foreign);
    EXPECT_TRUE(ReadFileBytes(links + "\\Absent.lnk") == foreign);

    ASSERT_EQ(Run({ "shortcut", "P", "--to", links, "--force" }).code, EXIT_OK);
    EXPECT_FALSE(ReadFileBytes(links + "\\P.lnk") == foreign);
    // Keys the shell would take from every program, and modes launch does not know, make nothing.
    EXPECT_EQ(Run({ "shortcut", "P", "--to", links, "--hotkey", "Shift+W" }).code, EXIT_USAGE);
    EXPECT_EQ(Run({ "shortcut", "P", "--to", links, "--if-running", "twice" }).code, EXIT_USAGE);
    // Its own shortcut is replaced without asking, and removed.
    EXPECT_EQ(Run({ "shortcut", "P", "--to", links }).code, EXIT_OK);
    EXPECT_EQ(Run({ "shortcut", "P", "--to", links, "--remove" }).code, EXIT_OK);
    EXPECT_FALSE(Exists("Links\\P.lnk"));
    EXPECT_EQ(FolderFiles(links), std::vector<std::string>{ "Absent.lnk" });
}

TEST_F(Shortcuts, ShortcutsMadeOnWindowsGiveProfilesThatStartWhatTheyName)
{
    std::string links = Path("Links");
    CreateDirectoryA(links.c_str(), nullptr);
    CreateDirectoryA(Path("Programs").c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(RecorderPath().c_str(), Path("Programs\\tool.exe").c_str(), FALSE));
    ShortcutParts console;   // as Windows makes its own console's shortcut
    console.localPath = "C:\\windows\\system32\\notepad.exe";
    console.workingFolder = L"%HOMEDRIVE%%HOMEPATH%";
    ShortcutParts relative;  // a target kept only relative to the shortcut
    relative.relativePath = L"..\\Programs\\tool.exe";
    relative.arguments = L"-x";
    ShortcutParts moved;     // one that names a program not installed here
    moved.relativePath = L"..\\Program Files\\Missing\\app.exe";
    ShortcutParts unicode;   // a target outside the code page, which the link information keeps as ?
    unicode.localPath = "C:\\Tools\\??.exe";
    unicode.variableTarget = L"C:\\Tools\\\x65e5\x672c.exe";
    ShortcutParts unset;
    unset.localPath = "C:\\windows\\system32\\notepad.exe";
    unset.workingFolder = L"%MW_NOT_SET_ANYWHERE%\\Work";
    WriteFileBytes(links + "\\Console.lnk", ShortcutBytes(console));
    WriteFileBytes(links + "\\Relative.lnk", ShortcutBytes(relative));
    WriteFileBytes(links + "\\Moved.lnk", ShortcutBytes(moved));
    WriteFileBytes(links + "\\Unicode.lnk", ShortcutBytes(unicode));
    WriteFileBytes(links + "\\Unset.lnk", ShortcutBytes(unset));
    WriteFileBytes(links + "\\Site.url", "[InternetShortcut]\r\nURL=https://example.org/\r\n");
    WriteFileBytes(links + "\\Empty.url", "[InternetShortcut]\r\n");

    Outcome outcome = Run({ "import-shortcuts", links, "Tools", "--json", "--dry-run" });
    ASSERT_EQ(outcome.code, EXIT_OK) << outcome.errors;
    char home[MAX_PATH];
    ASSERT_GT(ExpandEnvironmentStringsA("%HOMEDRIVE%%HOMEPATH%", home, sizeof home), 0u);
    auto profile = [&](const std::string& name, const std::string& object, const std::string& directory) {
        std::string escaped;
        for (char c : object + "\n" + directory)
            escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
        size_t split = escaped.find('\n');
        return "\"name\": \"" + name + "\",\n      \"command\": \"\",\n      \"object\": \"" + escaped.substr(0, split) +
               "\",\n      \"directory\": \"" + escaped.substr(split + 1) + "\"";
    };
    EXPECT_NE(outcome.output.find(profile("Console", "C:\\windows\\system32\\notepad.exe", home)), std::string::npos)
        << outcome.output;
    EXPECT_NE(outcome.output.find(profile("Relative", Path("Programs\\tool.exe"), Path("Programs"))), std::string::npos)
        << outcome.output;
    EXPECT_NE(outcome.output.find(profile("Moved", Path("Program Files\\Missing\\app.exe"),
                                          Path("Program Files\\Missing"))),
              std::string::npos)
        << outcome.output;
    EXPECT_NE(outcome.output.find("\"object\": \"https://example.org/\""), std::string::npos);
    // What cannot be held exactly is left out and said; a good address gets no note.
    EXPECT_NE(outcome.errors.find("left out Unicode.lnk: its target has characters outside the system code page"),
              std::string::npos)
        << outcome.errors;
    EXPECT_NE(outcome.errors.find("left out Unset.lnk: its working folder names an environment variable"),
              std::string::npos);
    EXPECT_NE(outcome.errors.find("left out Empty.url: it holds no address"), std::string::npos);
    EXPECT_EQ(outcome.errors.find("Site"), std::string::npos) << outcome.errors;
}

}  // namespace

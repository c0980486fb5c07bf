// Marlowin.exe started with a package path: what it starts, in which order and how.
#include <gtest/gtest.h>

#include "tests/support/resident_copy.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

class PackageLaunch : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = MakeTempFolder("launch");
        RegisterTestFileType();
    }
    void TearDown() override { RemoveTree(folder); }

    std::string Package(const std::vector<RecordSpec>& records, const char* name = "p.mwpack")
    {
        std::string path = folder + "\\" + name;
        WriteFileBytes(path, EncodePackage(records));
        return path;
    }

    RecordSpec Executable(const std::string& name, const std::string& arguments,
                          const std::string& window = "Normal")
    {
        RecordSpec profile = RecorderRecord(arguments, name, folder);
        profile.window = window;
        return profile;
    }

    // ".mwtest" documents open and print through the recorder, with different arguments.
    static void RegisterTestFileType()
    {
        SetClassesText(".mwtest", "mwtestfile");
        SetClassesText("mwtestfile\\shell\\open\\command", "\"" + RecorderPath() + "\" verb-open \"%1\"");
        SetClassesText("mwtestfile\\shell\\print\\command", "\"" + RecorderPath() + "\" verb-print \"%1\"");
    }
    static void SetClassesText(const std::string& key, const std::string& value)
    {
        RegSetValueA(HKEY_CLASSES_ROOT, key.c_str(), REG_SZ, value.c_str(), (DWORD)value.size());
    }

    std::string folder;
    RecorderLog log;
};

TEST_F(PackageLaunch, StartsEveryProfileInNameOrderAndEndsWithZero)
{
    std::string path = Package({ Executable("beta", "4"), Executable("Alpha", "2"), Executable("alpha", "3"),
                                 Executable("ALPHA", "1"), Executable("_x", "6"), Executable("Zeta", "5") });
    RunResult run = RunMarlowin(path);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u);

    std::vector<Recording> seen = log.waitFor(6);
    ASSERT_EQ(seen.size(), 6u);
    for (size_t i = 0; i < seen.size(); ++i)
        EXPECT_EQ(seen[i].commandLine, RecorderPath() + " " + std::to_string(i + 1)) << "launch " << i;
}

TEST_F(PackageLaunch, ExecutableGetsDirectoryAndShowCommand)
{
    std::string path = Package({ Executable("a", "normal", "Normal"), Executable("b", "min", "Minimize"),
                                 Executable("c", "max", "Maximize"), Executable("d", "lower", "minimize"),
                                 Executable("e", "empty", "") });
    ASSERT_EQ(RunMarlowin(path).exitCode, 0u);
    std::vector<Recording> seen = log.waitFor(5);
    ASSERT_EQ(seen.size(), 5u);
    const unsigned expectedShow[] = { SW_SHOWNORMAL, SW_MINIMIZE, SW_SHOWMAXIMIZED, SW_SHOWNORMAL, SW_SHOWNORMAL };
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(seen[i].flags & STARTF_USESHOWWINDOW, (unsigned long)STARTF_USESHOWWINDOW) << i;
        EXPECT_EQ(seen[i].show, expectedShow[i]) << i;
        EXPECT_EQ(seen[i].directory, folder) << i;
    }
}

TEST_F(PackageLaunch, ShellWaysUseTheVerbOnlyForDocumentUrl)
{
    std::string document = folder + "\\doc.mwtest";
    WriteFileBytes(document, "x");

    RecordSpec print;
    print.name = "1";
    print.type = "Document/URL";
    print.command = "print";
    print.object = document;
    print.arguments = "ignored";
    print.window = "Maximize";
    RecordSpec automatic = print;
    automatic.name = "2";
    automatic.type = "Auto";
    RecordSpec lowerCaseType = print;   // not "Document/URL": the default verb
    lowerCaseType.name = "3";
    lowerCaseType.type = "document/url";
    std::string path = Package({ lowerCaseType, automatic, print });
    ASSERT_EQ(RunMarlowin(path).exitCode, 0u);

    std::vector<Recording> seen = log.waitFor(3);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_NE(seen[0].commandLine.find("verb-print"), std::string::npos) << seen[0].commandLine;
    EXPECT_NE(seen[1].commandLine.find("verb-open"), std::string::npos) << seen[1].commandLine;
    EXPECT_NE(seen[2].commandLine.find("verb-open"), std::string::npos) << seen[2].commandLine;
    for (const Recording& r : seen) {
        EXPECT_EQ(r.commandLine.find("ignored"), std::string::npos);
        EXPECT_NE(r.directory, folder);
    }
    EXPECT_EQ(seen[0].show, (unsigned)SW_SHOWMAXIMIZED);
}

TEST_F(PackageLaunch, SkipsEmptyObjectsAndGoesOnAfterFailures)
{
    RecordSpec empty = Executable("1", "skipped");
    empty.object = "";
    RecordSpec missing = Executable("2", "missing");
    missing.object = folder + "\\no-such-program.exe";
    RecordSpec noDirectory = Executable("3", "no-directory");
    noDirectory.directory = folder + "\\no-such-folder";
    std::string path = Package({ empty, missing, noDirectory, Executable("4", "last") });
    ASSERT_EQ(RunMarlowin(path).exitCode, 0u);
    // The launch first, then a witness for anything beyond it: two processes started one after the
    // other may write their lines in either order.
    ASSERT_EQ(log.waitFor(1).size(), 1u);
    std::vector<Recording> seen = log.settle();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].commandLine, RecorderPath() + " last");
}

TEST_F(PackageLaunch, CommandLineFormsThatLaunch)
{
    std::string blankFolder = folder + "\\with blanks";
    CreateDirectoryA(blankFolder.c_str(), nullptr);
    std::string path = blankFolder + "\\Work.MwPaCk";
    WriteFileBytes(path, EncodePackage({ Executable("a", "launched") }));

    EXPECT_EQ(RunMarlowin(path).exitCode, 0u);                                   // unquoted, with blanks
    EXPECT_EQ(RunMarlowin("\"" + path + "\" and more words").exitCode, 0u);        // quoted, then text
    EXPECT_EQ(RunCommandLine("\"" + MarlowinPath() + "\"\t  " + path, 20000).exitCode, 0u);
    EXPECT_EQ(log.waitFor(3).size(), 3u);
}

TEST_F(PackageLaunch, CommandLineFormsThatEndAtOnce)
{
    std::string path = Package({ Executable("a", "x") });
    EXPECT_EQ(RunMarlowin(path + " ").exitCode, 0u);          // trailing blank: no suffix
    EXPECT_EQ(RunMarlowin("/unload-all").exitCode, 0u);        // long option
    EXPECT_EQ(RunMarlowin(folder + "\\missing.mwpack").exitCode, 0u);
    EXPECT_TRUE(log.settle().empty());
}

TEST_F(PackageLaunch, UnclosedQuoteShowsTheErrorBoxThenEndsWithZero)
{
    ChildProcess marlowin("\"" + MarlowinPath() + "\" \"" + folder + "\\p.mwpack");
    ASSERT_TRUE(marlowin.started());
    HWND box = nullptr;
    WaitUntil([&] { return (box = FindWindowA("#32770", "MW, a error of the command line")) != nullptr; }, 10000);
    ASSERT_NE(box, nullptr);
    char text[128] = "";
    HWND label = FindWindowExA(box, nullptr, "Static", nullptr);
    for (; label; label = FindWindowExA(box, label, "Static", nullptr)) {
        GetWindowTextA(label, text, sizeof text);
        if (text[0])
            break;
    }
    EXPECT_STREQ(text, "There are no closing inverted commas");
    EXPECT_FALSE(marlowin.endsWithin(300));  // waits for the user
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(marlowin.endsWithin(10000));
    EXPECT_EQ(marlowin.exitCode(), 0u);
}

}  // namespace

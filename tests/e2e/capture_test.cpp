// mwpack capture and import-shortcuts end to end: programs on the desktop or shortcuts in a folder
// become a package, and Marlowin.exe then starts the same command lines; shortcuts at sign-in.
#include <gtest/gtest.h>
#include <windows.h>
#include <objidl.h>
#include <shlobj.h>
#include <string>
#include <vector>

#include "tests/support/mwpack_run.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

// recorder.exe as a program on the desktop: a window of the title, shown as asked, until closed.
class DesktopPrograms {
public:
    ~DesktopPrograms()
    {
        for (size_t i = 0; i < processes_.size(); ++i) {
            PostMessageA(windows_[i], WM_CLOSE, 0, 0);
            if (WaitForSingleObject(processes_[i], 5000) != WAIT_OBJECT_0)
                TerminateProcess(processes_[i], 1);
            CloseHandle(processes_[i]);
        }
    }
    // Gives the window once it is visible, or null.
    HWND start(const std::string& title, const std::string& arguments, WORD show, const std::string& directory)
    {
        std::string commandLine = RecorderPath() + " " + arguments;
        std::vector<char> buffer(commandLine.begin(), commandLine.end());
        buffer.push_back('\0');
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = show;
        PROCESS_INFORMATION process;
        SetEnvironmentVariableA("MW_RECORD_WINDOW", title.c_str());
        BOOL started = CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, directory.c_str(),
                                      &startup, &process);
        SetEnvironmentVariableA("MW_RECORD_WINDOW", nullptr);
        if (!started)
            return nullptr;
        CloseHandle(process.hThread);
        processes_.push_back(process.hProcess);
        HWND window = nullptr;
        WaitUntil([&] { return (window = FindWindowA("MarlowinRecorder", title.c_str())) && IsWindowVisible(window); });
        windows_.push_back(window);
        return window;
    }

private:
    std::vector<HANDLE> processes_;
    std::vector<HWND> windows_;
};

bool SaveShortcut(const std::string& linkPath, const std::string& arguments, const std::string& directory, int show)
{
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, (void**)&link)))
        return false;
    link->SetPath(RecorderPath().c_str());
    link->SetArguments(arguments.c_str());
    link->SetWorkingDirectory(directory.c_str());
    link->SetShowCmd(show);
    IPersistFile* file = nullptr;
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH);
    bool saved = SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void**)&file)) && SUCCEEDED(file->Save(wide, TRUE));
    if (file)
        file->Release();
    link->Release();
    return saved;
}

class Capture : public ::testing::Test {
protected:
    void SetUp() override { folder = MakeTempFolder("capture"); }
    void TearDown() override { RemoveTree(folder); }

    ConsoleRun Mwpack(const std::string& arguments) { return RunMwpackExe(arguments + " --folder \"" + folder + "\"", folder); }

    std::string folder;
    RecorderLog log;
};

TEST_F(Capture, ProgramsOnTheDesktopStartAgainWithTheirCommandLinesInNameOrder)
{
    const std::string quoted = "two \"blank words\" \"say \\\"hi\\\"\"";
    DesktopPrograms programs;
    ASSERT_TRUE(programs.start("Bravo desk", quoted, SW_SHOWMINIMIZED, folder));
    ASSERT_TRUE(programs.start("Charlie desk", "3 --flag", SW_SHOWNORMAL, folder));
    ASSERT_TRUE(programs.start("Alpha desk", "1", SW_SHOWMAXIMIZED, folder));
    ASSERT_TRUE(programs.start("Alpha desk again", "1", SW_SHOWMAXIMIZED, folder));   // one profile for both
    std::string path = folder + "\\Desk.mwpack";

    ConsoleRun dryRun = Mwpack("capture Desk --dry-run");
    EXPECT_EQ(dryRun.run.exitCode, 0u) << dryRun.errors;
    EXPECT_NE(dryRun.output.find("Bravo desk\n  start:  " + RecorderPath() + " " + quoted), std::string::npos)
        << dryRun.output;
    EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);

    ConsoleRun some = Mwpack("capture Some --json --dry-run --exclude nothing --exclude *BRAVO*");
    EXPECT_EQ(some.run.exitCode, 0u) << some.errors;
    EXPECT_NE(some.output.find("\"name\": \"Alpha desk"), std::string::npos) << some.output;
    EXPECT_NE(some.output.find("\"name\": \"Charlie desk\""), std::string::npos);
    EXPECT_EQ(some.output.find("Bravo"), std::string::npos);

    ConsoleRun captured = Mwpack("capture Desk");
    ASSERT_EQ(captured.run.exitCode, 0u) << captured.errors;
    EXPECT_EQ(captured.errors, "");
    std::string before = ReadFileBytes(path);
    EXPECT_EQ(Mwpack("capture Desk").run.exitCode, 1u);
    EXPECT_TRUE(ReadFileBytes(path) == before);
    ConsoleRun replaced = Mwpack("capture Desk --force");
    ASSERT_EQ(replaced.run.exitCode, 0u) << replaced.errors;

    ASSERT_EQ(RunMarlowin(path).exitCode, 0u);
    std::vector<Recording> seen = log.waitFor(3);
    ASSERT_EQ(seen.size(), 3u);
    const std::string arguments[] = { "1", quoted, "3 --flag" };
    const unsigned shows[] = { SW_SHOWMAXIMIZED, SW_MINIMIZE, SW_SHOWNORMAL };
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(seen[i].commandLine, RecorderPath() + " " + arguments[i]) << i;
        EXPECT_EQ(seen[i].show, shows[i]) << i;
        EXPECT_EQ(seen[i].directory, BinFolder()) << i;
    }
    EXPECT_EQ(log.settle().size(), 3u) << "only the three programs were captured";
}

// Nothing after a null character could be passed on; what stands before it is taken, and said so.
TEST_F(Capture, CommandLineWithANullCharacterIsTakenUpToItAndSaid)
{
    DesktopPrograms programs;
    SetEnvironmentVariableA("MW_RECORD_NULL_AT", "|");
    HWND window = programs.start("Cut desk", "before |after", SW_SHOWNORMAL, folder);
    SetEnvironmentVariableA("MW_RECORD_NULL_AT", nullptr);
    ASSERT_TRUE(window);
    ConsoleRun captured = Mwpack("capture Cut --json --dry-run");
    ASSERT_EQ(captured.run.exitCode, 0u) << captured.errors;
    EXPECT_NE(captured.output.find("\"arguments\": \"before \""), std::string::npos) << captured.output;
    EXPECT_EQ(captured.output.find("after"), std::string::npos);
    EXPECT_NE(captured.errors.find("\"Cut desk\": its command line holds a null character; what follows it is left out"),
              std::string::npos)
        << captured.errors;
}

TEST_F(Capture, ShortcutsInAFolderBecomeProfilesThatStartWhatTheyStart)
{
    std::string links = folder + "\\links";
    CreateDirectoryA(links.c_str(), nullptr);
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    ASSERT_TRUE(SaveShortcut(links + "\\Alpha.lnk", "from \"a link\"", folder, SW_SHOWMINNOACTIVE));
    ASSERT_TRUE(SaveShortcut(links + "\\Beta.lnk", "second", "", SW_SHOWMAXIMIZED));
    CoUninitialize();
    WriteFileBytes(links + "\\Web.url", "[InternetShortcut]\r\nURL=http://example.org/page\r\n");
    WriteFileBytes(links + "\\notes.txt", "not a shortcut");

    ConsoleRun imported = Mwpack("import-shortcuts \"" + links + "\" Linked");
    ASSERT_EQ(imported.run.exitCode, 0u) << imported.errors;
    HttpRecorder pages;
    ASSERT_EQ(RunMarlowin(folder + "\\Linked.mwpack").exitCode, 0u);
    EXPECT_EQ(log.waitForPage(3), "http://example.org/page");
    std::vector<Recording> seen = log.waitFor(3);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].commandLine, RecorderPath() + " from \"a link\"");
    EXPECT_EQ(seen[0].directory, folder);
    EXPECT_EQ(seen[0].show, (unsigned)SW_MINIMIZE) << imported.output;
    EXPECT_EQ(seen[1].commandLine, RecorderPath() + " second");
    EXPECT_EQ(seen[1].directory, BinFolder());
    EXPECT_EQ(seen[1].show, (unsigned)SW_SHOWMAXIMIZED);
}

TEST_F(Capture, StartupShortcutIsMadeAndTakenAway)
{
    WriteFileBytes(folder + "\\AtSignIn.mwpack", EncodePackage({ RecorderRecord("x") }));
    char startup[MAX_PATH] = "";
    ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, startup, CSIDL_STARTUP, TRUE));
    std::string link = std::string(startup) + "\\AtSignIn.lnk";

    ConsoleRun made = Mwpack("shortcut AtSignIn --startup");
    EXPECT_EQ(made.run.exitCode, 0u) << made.errors;
    EXPECT_NE(GetFileAttributesA(link.c_str()), INVALID_FILE_ATTRIBUTES);
    ConsoleRun removed = Mwpack("shortcut AtSignIn --startup --remove");
    EXPECT_EQ(removed.run.exitCode, 0u) << removed.errors;
    EXPECT_EQ(removed.output, "removed " + link + "\n");
    EXPECT_EQ(GetFileAttributesA(link.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(Mwpack("shortcut AtSignIn --startup --remove").run.exitCode, 1u);
}

}  // namespace

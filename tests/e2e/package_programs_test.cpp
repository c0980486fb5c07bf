// mwpack status, launch --if-running, --wait-ready and --delay, and close, end to end: recorders
// that show a window titled with their arguments stand for a package's programs.
#include <gtest/gtest.h>
#include <windows.h>
#include <objidl.h>
#include <shlobj.h>
#include <string>
#include <vector>

#include "launch/launch_rules.h"
#include "tests/support/mwpack_run.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

// The recorder window of exactly these arguments, once it is visible; null when none shows.
HWND RecorderWindow(const std::string& arguments)
{
    HWND window = nullptr;
    WaitUntil([&] { return (window = FindWindowA("MarlowinRecorder", arguments.c_str())) && IsWindowVisible(window); });
    return window;
}

std::string ProcessIdOf(HWND window)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return std::to_string(processId);
}

HANDLE ProcessOf(HWND window)
{
    return OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, (DWORD)std::stoul(ProcessIdOf(window)));
}

BOOL CALLBACK EndRecorder(HWND window, LPARAM)
{
    char name[64] = "";
    HANDLE process = GetClassNameA(window, name, sizeof name) && strcmp(name, "MarlowinRecorder") == 0 ? ProcessOf(window)
                                                                                                       : nullptr;
    if (process) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
    }
    return TRUE;
}

class PackagePrograms : public ::testing::Test {
protected:
    void SetUp() override { folder = MakeTempFolder("programs"); }
    // Whatever the launches left running: only this test's recorders show windows now.
    void TearDown() override
    {
        EnumWindows(EndRecorder, 0);
        RemoveTree(folder);
    }

    std::string Package(const std::string& name, const std::vector<RecordSpec>& profiles)
    {
        std::string path = folder + "\\" + name + ".mwpack";
        WriteFileBytes(path, EncodePackage(profiles));
        return path;
    }
    // Each run writes its output to files of its own: under Wine the programs that launch starts
    // keep mwpack's standard handles open while they run.
    ConsoleRun Mwpack(const std::string& arguments)
    {
        std::string output = folder + "\\run" + std::to_string(++runs);
        CreateDirectoryA(output.c_str(), nullptr);
        return RunMwpackExe(arguments + " --folder \"" + folder + "\"", output);
    }

    std::string folder;
    int runs = 0;
    RecorderLog log;
};

TEST_F(PackagePrograms, SkipStartsEachProgramOnceAndStatusTellsWhatRuns)
{
    std::string pair =
        Package("Pair", { RecorderRecord("window A", "1 A"), RecorderRecord("window \xE9t\xE9 hostile", "2 B") });
    RecordSpec page;
    page.name = "Page";
    page.object = "http://example.org/";
    page.command = "open";
    page.type = "Document/URL";
    std::string mixed = Package("Mixed", { RecorderRecord("window A", "A again"), RecorderRecord("window C", "C"), page });

    ConsoleRun first = Mwpack("launch Pair --if-running skip");
    EXPECT_EQ(first.run.exitCode, 0u) << first.errors;
    ASSERT_EQ(log.waitFor(2).size(), 2u);   // each logs once its window shows
    HWND a = RecorderWindow("window A");
    ASSERT_TRUE(a);
    ConsoleRun second = Mwpack("launch Pair --if-running=skip");
    EXPECT_EQ(second.run.exitCode, 0u) << second.errors;
    EXPECT_EQ(second.output.find("running 1 A: process " + ProcessIdOf(a) + ", not started again\n"), 0u)
        << second.output;
    EXPECT_EQ(log.settle().size(), 2u) << "each program started once";

    ConsoleRun status = Mwpack("status Mixed");
    EXPECT_EQ(status.run.exitCode, 0u) << status.errors;
    EXPECT_EQ(status.output, mixed + "\n  1 A again: running: process " + ProcessIdOf(a) +
                                 " \"window A\"\n  2 C: not running\n  3 Page: cannot tell: the shell chooses the "
                                 "program of a document or address\n");
    // A title comes through in UTF-8, also with characters outside the code page, a lone surrogate
    // as U+FFFD.
    ConsoleRun json = Mwpack("status --json");
    EXPECT_NE(json.output.find("\"window \xC3\xA9t\xC3\xA9 hostile \xEF\xBF\xBD\xE4\xB8\xAD\""), std::string::npos)
        << json.output;
    EXPECT_NE(json.output.find("\"state\": \"cannot tell\""), std::string::npos);
}

TEST_F(PackagePrograms, FocusBringsAMinimizedWindowBack)
{
    RecordSpec minimized = RecorderRecord("window F", "F");
    minimized.window = "Minimize";
    Package("Focus", { minimized });
    ASSERT_EQ(Mwpack("launch Focus").run.exitCode, 0u);
    HWND window = RecorderWindow("window F");
    ASSERT_TRUE(window);
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(window) != 0; }));

    ConsoleRun focused = Mwpack("launch Focus --if-running focus");
    EXPECT_EQ(focused.run.exitCode, 0u) << focused.errors;
    EXPECT_NE(focused.output.find("brought to the front"), std::string::npos) << focused.output;
    EXPECT_TRUE(WaitUntil([&] { return !IsIconic(window) && IsWindowVisible(window); }));
    EXPECT_EQ(log.settle().size(), 1u);
}

TEST_F(PackagePrograms, WaitReadyStartsTheNextProfileOnlyOnceTheWindowShowsAndDelayWaitsMore)
{
    Package("Ordered", { RecorderRecord("window late first", "1"), RecorderRecord("window second", "2") });
    ConsoleRun launched = Mwpack("launch Ordered --wait-ready=20 --delay 1000");
    EXPECT_EQ(launched.run.exitCode, 0u) << launched.errors;
    EXPECT_NE(launched.output.find("ready 1: "), std::string::npos) << launched.output;
    std::vector<Recording> seen = log.waitFor(2);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].commandLine, RecorderPath() + " window late first");
    // In 100-ns ticks: the second started a second after the first asked for its window.
    EXPECT_GE(seen[1].created, seen[0].shown + 1000 * 10000ull);

    EXPECT_EQ(Mwpack("launch Ordered --wait-ready 20").run.exitCode, 2u);
    EXPECT_EQ(Mwpack("launch Ordered --if-running sometimes").run.exitCode, 2u);
}

TEST_F(PackagePrograms, CloseEndsThePackagesProgramsLeavesOthersAndForceEndsAStubbornOne)
{
    Package("Work", { RecorderRecord("window A", "A"), RecorderRecord("window stubborn", "B") });
    Package("Other", { RecorderRecord("window A other", "A") });   // the same program, other arguments
    ASSERT_EQ(Mwpack("launch Work").run.exitCode, 0u);
    ASSERT_EQ(Mwpack("launch Other").run.exitCode, 0u);
    HWND stubbornWindow = RecorderWindow("window stubborn");
    HANDLE a = ProcessOf(RecorderWindow("window A")), stubborn = ProcessOf(stubbornWindow),
           other = ProcessOf(RecorderWindow("window A other"));
    ASSERT_TRUE(a && stubborn && other);

    ConsoleRun asked = Mwpack("close Work --timeout 1");
    EXPECT_EQ(asked.run.exitCode, 1u);
    EXPECT_EQ(asked.errors, "mwpack: still running: B: process " + ProcessIdOf(stubbornWindow) + "\n");
    EXPECT_LT(asked.output.find("asked B: "), asked.output.find("asked A: ")) << "reverse launch order";
    EXPECT_EQ(WaitForSingleObject(a, 10000), WAIT_OBJECT_0);

    ConsoleRun forced = Mwpack("close Work --timeout=1 --force");
    EXPECT_EQ(forced.run.exitCode, 0u) << forced.errors;
    EXPECT_EQ(WaitForSingleObject(stubborn, 10000), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(other, 0), (DWORD)WAIT_TIMEOUT);
    EXPECT_EQ(Mwpack("close Work").output, "nothing of " + folder + "\\Work.mwpack runs\n");
    for (HANDLE process : { a, stubborn, other })
        CloseHandle(process);

    // The program that runs mwpack (here this test, as a console or a script would) matches a
    // profile, yet is left alone, also with --force.
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, sizeof self);
    RecordSpec caller = RecorderRecord("", "Caller");
    caller.object = self;
    caller.arguments = SkipProgramName(GetCommandLineA());
    Package("Caller", { caller });
    ConsoleRun spared = Mwpack("close Caller --force --timeout 1");
    EXPECT_EQ(spared.run.exitCode, 0u) << spared.errors;
    EXPECT_EQ(spared.output.find("left alone: Caller: process " + std::to_string(GetCurrentProcessId())), 0u)
        << spared.output;
}

// A shortcut with a key that starts the package only where its programs do not run yet: as the
// shell would start it twice, the program starts once.
TEST_F(PackagePrograms, ShortcutWithAKeyStartsThroughLaunchIfRunning)
{
    std::string path = Package("Keyed", { RecorderRecord("window K", "K") });
    std::string links = folder + "\\links";
    CreateDirectoryA(links.c_str(), nullptr);
    ConsoleRun made = Mwpack("shortcut Keyed --to \"" + links + "\" --hotkey ctrl+alt+k --if-running skip");
    ASSERT_EQ(made.run.exitCode, 0u) << made.errors;
    std::string linkPath = links + "\\Keyed.lnk";
    EXPECT_EQ(made.output, "made " + linkPath + " (Ctrl+Alt+K)\n");

    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    IShellLinkA* link = nullptr;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, (void**)&link)));
    IPersistFile* file = nullptr;
    ASSERT_TRUE(SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void**)&file)));
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH);
    ASSERT_TRUE(SUCCEEDED(file->Load(wide, STGM_READ)));
    char target[MAX_PATH] = "", arguments[1024] = "";
    WORD hotkey = 0;
    link->GetPath(target, sizeof target, nullptr, 0);
    link->GetArguments(arguments, sizeof arguments);
    link->GetHotkey(&hotkey);
    file->Release();
    link->Release();
    CoUninitialize();
    EXPECT_EQ(lstrcmpiA(target, MwpackPath().c_str()), 0) << target;
    EXPECT_EQ(std::string(arguments), "launch \"" + path + "\" --if-running skip");
    EXPECT_EQ(hotkey, MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_ALT));
    // The console it starts in shows minimized: the show command in the file's header.
    std::string header = ReadFileBytes(linkPath).substr(0, 64);
    ASSERT_EQ(header.size(), 64u);
    EXPECT_EQ((unsigned char)header[60], SW_SHOWMINNOACTIVE);

    for (int press = 0; press < 2; ++press) {
        RunResult run = RunCommandLine("\"" + std::string(target) + "\" " + arguments, 30000);
        EXPECT_EQ(run.exitCode, 0u) << press;
        ASSERT_TRUE(RecorderWindow("window K")) << press;
    }
    EXPECT_EQ(log.settle().size(), 1u) << "the program started once";
}

}  // namespace

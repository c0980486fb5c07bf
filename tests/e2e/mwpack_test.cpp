// mwpack.exe as a user runs it: what Marlowin.exe then launches, what launch and shortcuts
// start, and what reaches the console and the exit code.
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

std::string JsonText(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

class Mwpack : public ::testing::Test {
protected:
    void SetUp() override { folder = MakeTempFolder("mwpack"); }
    void TearDown() override { RemoveTree(folder); }

    std::string RecorderProfile(const std::string& name, const std::string& arguments)
    {
        return "{\"name\": " + JsonText(name) + ", \"object\": " + JsonText(RecorderPath()) +
               ", \"directory\": " + JsonText(folder) + ", \"arguments\": " + JsonText(arguments) +
               ", \"type\": \"Executable\", \"window\": \"Normal\"}";
    }
    std::string Import(const std::vector<std::string>& profiles, const std::string& package)
    {
        std::string text = "{\"version\": 1, \"profiles\": [";
        for (size_t i = 0; i < profiles.size(); ++i)
            text += (i ? ",\n" : "\n") + profiles[i];
        WriteFileBytes(folder + "\\in.json", text + "\n]}\n");
        std::string path = folder + "\\" + package + ".mwpack";
        ConsoleRun imported = RunMwpackExe("import \"" + folder + "\\in.json\" \"" + path + "\"", folder);
        EXPECT_EQ(imported.run.exitCode, 0u) << imported.errors;
        return path;
    }

    std::string folder;
    RecorderLog log;
};

TEST_F(Mwpack, ImportedTextLaunchesThroughMarlowinInNameOrder)
{
    std::string path = Import({ RecorderProfile("zeta", "4"), RecorderProfile("Beta", "3"),
                                RecorderProfile("alpha", "2"), RecorderProfile("ALPHA", "1") },
                              "Team");
    ASSERT_EQ(RunMarlowin(path).exitCode, 0u);
    std::vector<Recording> seen = log.waitFor(4);
    ASSERT_EQ(seen.size(), 4u);
    for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i].commandLine, RecorderPath() + " " + std::to_string(i + 1)) << i;
        EXPECT_EQ(seen[i].directory, folder) << i;
    }
}

TEST_F(Mwpack, LaunchPrintsWhatStartedAndFailsForWhatDidNot)
{
    std::string path = Import({ RecorderProfile("good", "started"),
                                "{\"name\": \"broken\", \"object\": " + JsonText(folder + "\\absent.exe") +
                                    ", \"directory\": " + JsonText(folder) + ", \"type\": \"Executable\"}" },
                              "Mixed");
    ConsoleRun launched = RunMwpackExe("launch \"" + path + "\"", folder);
    EXPECT_EQ(launched.run.exitCode, 1u);
    EXPECT_EQ(launched.output, "started good: " + RecorderPath() + "\n");
    // The cause in the system's words, not a number.
    EXPECT_EQ(launched.errors.find("mwpack: not started: \"broken\": "), 0u) << launched.errors;
    EXPECT_EQ(launched.errors.find("(error"), std::string::npos) << launched.errors;
    std::vector<Recording> seen = log.waitFor(1);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].commandLine, RecorderPath() + " started");
}

TEST_F(Mwpack, ShortcutRunsMarlowinWithThePackage)
{
    std::string path = Import({ RecorderProfile("only", "from-link") }, "Linked");
    std::string links = folder + "\\links";
    CreateDirectoryA(links.c_str(), nullptr);
    ConsoleRun made = RunMwpackExe("shortcut \"" + path + "\" --to \"" + links + "\"", folder);
    ASSERT_EQ(made.run.exitCode, 0u) << made.errors;
    std::string linkPath = links + "\\Linked.lnk";
    EXPECT_EQ(made.output, "made " + linkPath + "\n");

    // Read back through the shell's own link object.
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    IShellLinkA* link = nullptr;
    ASSERT_TRUE(SUCCEEDED(
        CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, (void**)&link)));
    IPersistFile* file = nullptr;
    ASSERT_TRUE(SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void**)&file)));
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH);
    ASSERT_TRUE(SUCCEEDED(file->Load(wide, STGM_READ)));
    char target[MAX_PATH] = "", arguments[1024] = "", icon[MAX_PATH] = "";
    int iconIndex = -1;
    link->GetPath(target, sizeof target, nullptr, 0);
    link->GetArguments(arguments, sizeof arguments);
    link->GetIconLocation(icon, sizeof icon, &iconIndex);
    file->Release();
    link->Release();
    CoUninitialize();

    EXPECT_EQ(lstrcmpiA(target, MarlowinPath().c_str()), 0) << target;
    EXPECT_EQ(std::string(arguments), "\"" + path + "\"");
    EXPECT_EQ(lstrcmpiA(icon, MarlowinPath().c_str()), 0) << icon;
    EXPECT_EQ(iconIndex, 0);

    RunResult run = RunCommandLine("\"" + std::string(target) + "\" " + arguments, 20000);
    ASSERT_TRUE(run.finished);
    std::vector<Recording> seen = log.waitFor(1);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].commandLine, RecorderPath() + " from-link");

    // A copy of mwpack.exe without Marlowin.exe beside it makes no shortcut that would start nothing.
    std::string alone = folder + "\\alone.exe";
    ASSERT_TRUE(CopyFileA(MwpackPath().c_str(), alone.c_str(), FALSE));
    std::string commandLine = "\"" + alone + "\" shortcut \"" + path + "\" --to \"" + folder + "\"";
    EXPECT_EQ(RunCommandLine(commandLine, 20000).exitCode, 1u);
    EXPECT_EQ(GetFileAttributesA((folder + "\\Linked.lnk").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(Mwpack, ExecutableWithoutFolderStartsInTheObjectsFolder)
{
    // A program typed in with no working folder, away from every folder the launchers run in.
    std::string programFolder = folder + "\\Mail";
    std::string program = programFolder + "\\recorder.exe";
    CreateDirectoryA(programFolder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(RecorderPath().c_str(), program.c_str(), FALSE));
    std::string path = Import({ "{\"name\": \"Mail\", \"object\": " + JsonText(program) +
                                ", \"arguments\": \"typed\", \"type\": \"Executable\"}" },
                              "Typed");
    ConsoleRun checked = RunMwpackExe("check \"" + path + "\"", folder);
    EXPECT_EQ(checked.run.exitCode, 0u) << checked.output;

    ASSERT_EQ(RunMarlowin(path).exitCode, 0u);
    ASSERT_EQ(log.waitFor(1).size(), 1u);
    ConsoleRun launched = RunMwpackExe("launch \"" + path + "\"", folder);
    EXPECT_EQ(launched.run.exitCode, 0u) << launched.errors;
    std::vector<Recording> seen = log.waitFor(2);
    ASSERT_EQ(seen.size(), 2u);
    for (const Recording& started : seen) {
        EXPECT_EQ(started.commandLine, program + " typed");
        EXPECT_EQ(started.directory, programFolder);
    }
}

TEST_F(Mwpack, PackageWithAnEmptyNameComesBackByteForByte)
{
    RecordSpec unnamed = RecorderRecord("1", "");
    unnamed.directory = "";
    std::string original = EncodePackage({ unnamed, RecorderRecord("2", "named") });
    std::string path = folder + "\\Odd.mwpack";
    WriteFileBytes(path, original);
    ConsoleRun exported = RunMwpackExe("export \"" + path + "\" \"" + folder + "\\odd.json\"", folder);
    ASSERT_EQ(exported.run.exitCode, 0u) << exported.errors;
    ConsoleRun imported =
        RunMwpackExe("import \"" + folder + "\\odd.json\" \"" + folder + "\\Back.mwpack\"", folder);
    ASSERT_EQ(imported.run.exitCode, 0u) << imported.errors;
    EXPECT_TRUE(ReadFileBytes(folder + "\\Back.mwpack") == original);
}

TEST_F(Mwpack, ResultsIntoAClosedPipeFailTheCommand)
{
    std::string path = Import({ RecorderProfile("only", "x") }, "Piped");
    SECURITY_ATTRIBUTES inherit = { sizeof inherit, nullptr, TRUE };
    HANDLE reader = nullptr, writer = nullptr;
    ASSERT_TRUE(CreatePipe(&reader, &writer, &inherit, 0));
    CloseHandle(reader);   // as when the program that read it has ended
    std::string errPath = folder + "\\stderr.txt";
    HANDLE errors = CreateFileA(errPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    RunResult run = RunCommandLine("\"" + MwpackPath() + "\" export \"" + path + "\"", 30000, nullptr, writer, errors);
    CloseHandle(writer);
    CloseHandle(errors);
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_NE(ReadFileBytes(errPath).find("mwpack: the results could not all be written: "), std::string::npos)
        << ReadFileBytes(errPath);
}

TEST_F(Mwpack, ConsoleGetsResultsMessagesAndExitCodes)
{
    PackagesFolder packages;   // the default folder beside the programs
    packages.addPackage("Daily", "1");
    ConsoleRun listed = RunMwpackExe("list", folder);
    EXPECT_EQ(listed.run.exitCode, 0u);
    EXPECT_EQ(listed.output, "Daily  1 profile\n");   // a pipe gets LF line ends
    EXPECT_EQ(listed.errors, "");

    ConsoleRun usage = RunMwpackExe("lsit", folder);
    EXPECT_EQ(usage.run.exitCode, 2u);
    EXPECT_EQ(usage.output, "");
    EXPECT_NE(usage.errors.find("mwpack: unknown command \"lsit\""), std::string::npos);

    std::string held = packages.path() + "\\Daily.mwpack";
    std::string before = ReadFileBytes(held);
    HANDLE editor = CreateFileA(held.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                0, nullptr);
    ASSERT_NE(editor, INVALID_HANDLE_VALUE);
    ConsoleRun refused = RunMwpackExe("add Daily --name more --type Auto --object x", folder);
    CloseHandle(editor);
    EXPECT_EQ(refused.run.exitCode, 1u);
    EXPECT_NE(refused.errors.find("is open in the package editor or another program"), std::string::npos);
    EXPECT_TRUE(ReadFileBytes(held) == before);
}

}  // namespace

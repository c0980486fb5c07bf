// The release as a user meets it, in a fresh Wine prefix: the installer's silent install, an upgrade
// over a running copy, the uninstall, and the portable zip. The cases build on each other and run in
// this order; ctest unpacks the zip first and names the files in the environment.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600  // QueryFullProcessImageNameA
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include "tests/support/resident_copy.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

const char* UNINSTALL_KEY = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Marlowin";

std::string Env(const char* name)
{
    char value[MAX_PATH * 2] = "";
    DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length < sizeof value ? std::string(value, length) : std::string();
}

// The programs the release ships, from MW_RELEASE_PROGRAMS ("Marlowin.exe,mwpack.exe").
std::vector<std::string> ShippedPrograms()
{
    std::vector<std::string> names;
    std::string list = Env("MW_RELEASE_PROGRAMS") + ",";
    for (size_t start = 0, end; (end = list.find(',', start)) != std::string::npos; start = end + 1) {
        if (end > start)
            names.push_back(list.substr(start, end - start));
    }
    return names;
}

std::string KnownFolder(int csidl)
{
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

std::string InstallFolder() { return KnownFolder(CSIDL_LOCAL_APPDATA) + "\\Programs\\Marlowin"; }
std::string InstalledExe() { return InstallFolder() + "\\Marlowin.exe"; }
std::string StartMenuShortcut() { return KnownFolder(CSIDL_PROGRAMS) + "\\Marlowin.lnk"; }
std::string StartupShortcut() { return KnownFolder(CSIDL_STARTUP) + "\\Marlowin.lnk"; }

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool SamePath(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

// A whole file against the bytes it must hold; a failure names sizes, not a program's worth of bytes.
::testing::AssertionResult HoldsBytes(const std::string& path, const std::string& expected)
{
    std::string actual = ReadFileBytes(path);
    if (actual == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << path << " holds " << actual.size() << " bytes that differ from the "
                                         << expected.size() << " expected";
}

struct Shortcut {
    std::string target, arguments;
};

// A shortcut as the shell reads it; empty texts when it is missing or unreadable.
Shortcut ReadShortcut(const std::string& link)
{
    Shortcut shortcut;
    IShellLinkA* shellLink = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                (void**)&shellLink)))
        return shortcut;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, (void**)&file))) {
        wchar_t wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH);
        char path[MAX_PATH] = "", arguments[MAX_PATH] = "";
        if (SUCCEEDED(file->Load(wide, STGM_READ)) && SUCCEEDED(shellLink->GetPath(path, MAX_PATH, nullptr, 0)) &&
            SUCCEEDED(shellLink->GetArguments(arguments, MAX_PATH)))
            shortcut = { path, arguments };
        file->Release();
    }
    shellLink->Release();
    return shortcut;
}

bool UserKeyExists(const std::string& key)
{
    HKEY handle;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    RegCloseKey(handle);
    return true;
}

std::string UserText(const std::string& key, const char* name = "")
{
    char value[1024] = "";
    DWORD size = sizeof value - 1;
    HKEY handle;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return "";
    if (RegQueryValueExA(handle, name, nullptr, nullptr, (BYTE*)value, &size) != ERROR_SUCCESS)
        value[0] = '\0';
    RegCloseKey(handle);
    return value;
}

DWORD UserNumber(const std::string& key, const char* name)
{
    DWORD value = 0, size = sizeof value;
    HKEY handle;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return 0;
    RegQueryValueExA(handle, name, nullptr, nullptr, (BYTE*)&value, &size);
    RegCloseKey(handle);
    return value;
}

// The program of a registered command: the quoted text at its start.
std::string ProgramOf(const std::string& command)
{
    if (command.empty() || command[0] != '"')
        return command.substr(0, command.find(' '));
    return command.substr(1, command.find('"', 1) - 1);
}

std::string ImageOfProcess(DWORD processId)
{
    std::string image;
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process)
        return image;
    char path[MAX_PATH];
    DWORD size = sizeof path;
    if (QueryFullProcessImageNameA(process, 0, path, &size))
        image.assign(path, size);
    CloseHandle(process);
    return image;
}

DWORD ProcessOf(HWND window)
{
    DWORD owner = 0;
    return window && GetWindowThreadProcessId(window, &owner) ? owner : 0;
}

// Bounds for waiting on whole programs: generous, since a wait ends as soon as its event comes.
const DWORD PROGRAM_MS = 120000;

RunResult RunSetup(const char* options = "/S")
{
    return RunCommandLine("\"" + Env("MW_RELEASE_SETUP") + "\" " + options, 2 * PROGRAM_MS);
}

// mwpack.exe in a console needs the install folder in the user's PATH, which the installer offers.
bool ShipsConsoleProgram()
{
    for (const std::string& program : ShippedPrograms()) {
        if (lstrcmpiA(program.c_str(), "mwpack.exe") == 0)
            return true;
    }
    return false;
}

const char* FORMER_PATH = "C:\\Tools";

void SetUserPath(const std::string& value)
{
    HKEY environment;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Environment", 0, nullptr, 0, KEY_WRITE, nullptr, &environment, nullptr) ==
        ERROR_SUCCESS) {
        RegSetValueExA(environment, "Path", 0, REG_EXPAND_SZ, (const BYTE*)value.c_str(), (DWORD)value.size() + 1);
        RegCloseKey(environment);
    }
}

class Release : public ::testing::Test {
protected:
    static void SetUpTestSuite() { CoInitialize(nullptr); }
    static void TearDownTestSuite() { CoUninitialize(); }

    // What the user keeps in Packages; the odd tail is no whole record, so nothing may rewrite it.
    static std::string UserPackage() { return EncodePackage({ RecorderRecord("mine") }) + "tail"; }
    static std::string EditedExample() { return EncodePackage({ RecorderRecord("edited", "Example") }); }

    RecorderLog log;
};

TEST_F(Release, SilentInstallPlacesProgramsShortcutsUninstallEntryAndAssociation)
{
    ASSERT_FALSE(FileExists(InstallFolder())) << "the prefix is not fresh";
    SetUserPath(FORMER_PATH);
    RunResult run = RunSetup(ShipsConsoleProgram() ? "/S /PATH" : "/S");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u);

    std::string folder = InstallFolder();
    for (const std::string& program : ShippedPrograms())
        EXPECT_TRUE(FileExists(folder + "\\" + program)) << program;
    EXPECT_TRUE(FileExists(folder + "\\Uninstall.exe"));
    EXPECT_TRUE(FileExists(folder + "\\LICENSE.txt"));
    EXPECT_TRUE(FileExists(folder + "\\Packages\\Example.mwpack"));
    EXPECT_TRUE(HoldsBytes(InstalledExe(), ReadFileBytes(Env("MW_RELEASE_UNZIPPED") + "\\Marlowin\\Marlowin.exe")))
        << "the installer and the zip ship different programs";

    Shortcut startMenu = ReadShortcut(StartMenuShortcut()), startup = ReadShortcut(StartupShortcut());
    EXPECT_PRED2(SamePath, startMenu.target, InstalledExe());
    EXPECT_EQ(startMenu.arguments, "");
    EXPECT_PRED2(SamePath, startup.target, InstalledExe());
    EXPECT_EQ(startup.arguments, "A") << "after sign-in the copy waits for the taskbar";

    EXPECT_EQ(UserText(UNINSTALL_KEY, "DisplayName"), "Marlowin");
    EXPECT_EQ(UserText(UNINSTALL_KEY, "DisplayVersion"), Env("MW_RELEASE_VERSION"));
    EXPECT_NE(UserText(UNINSTALL_KEY, "Publisher"), "");
    EXPECT_NE(UserText(UNINSTALL_KEY, "Comments").find(folder + "\\LICENSE.txt"), std::string::npos);
    EXPECT_PRED2(SamePath, UserText(UNINSTALL_KEY, "DisplayIcon"), InstalledExe() + ",0");
    EXPECT_PRED2(SamePath, ProgramOf(UserText(UNINSTALL_KEY, "UninstallString")), folder + "\\Uninstall.exe");
    EXPECT_GT(UserNumber(UNINSTALL_KEY, "EstimatedSize"), 0u);
    if (ShipsConsoleProgram()) {
        EXPECT_PRED2(SamePath, UserText("Environment", "Path"), std::string(FORMER_PATH) + ";" + folder);
    }

    // The shell would run the per-user open command; Wine's merged classes leave it out, so run it here.
    std::string packageClass = UserText("Software\\Classes\\.mwpack");
    ASSERT_NE(packageClass, "");
    std::string classKey = "Software\\Classes\\" + packageClass;
    EXPECT_PRED2(SamePath, UserText(classKey + "\\DefaultIcon"), InstalledExe() + ",0");
    std::string command = UserText(classKey + "\\shell\\open\\command");
    EXPECT_PRED2(SamePath, ProgramOf(command), InstalledExe());
    size_t placeholder = command.find("%1");
    ASSERT_NE(placeholder, std::string::npos) << command;

    std::string documents = MakeTempFolder("double click");
    std::string package = documents + "\\Work day.mwpack";
    WriteFileBytes(package, EncodePackage({ RecorderRecord("2", "beta"), RecorderRecord("3", "Gamma"),
                                            RecorderRecord("1", "alpha") }));
    RunResult opened = RunCommandLine(command.replace(placeholder, 2, package), PROGRAM_MS);
    EXPECT_TRUE(opened.finished);
    std::vector<Recording> seen = log.waitFor(3, PROGRAM_MS);
    ASSERT_EQ(seen.size(), 3u);
    for (size_t i = 0; i < seen.size(); ++i) {
        std::string expected = " " + std::to_string(i + 1);
        const std::string& line = seen[i].commandLine;
        EXPECT_EQ(line.substr(line.size() - expected.size()), expected) << line;
    }
    RemoveTree(documents);
}

TEST_F(Release, UpgradeKeepsEveryPackageAndRestartsTheRunningCopy)
{
    ASSERT_TRUE(FileExists(InstalledExe())) << "needs the install of the case before";
    std::string packages = InstallFolder() + "\\Packages";
    WriteFileBytes(packages + "\\Mine.mwpack", UserPackage());
    WriteFileBytes(packages + "\\Example.mwpack", EditedExample());

    ChildProcess resident("\"" + InstalledExe() + "\"");
    ASSERT_TRUE(WaitUntil([&] { return resident.owns(PublishedWindow()); }, PROGRAM_MS));

    RunResult run = RunSetup(ShipsConsoleProgram() ? "/S /PATH" : "/S");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u);

    // Closed through "Marlowin.exe U", which ends it with 0, not killed.
    EXPECT_TRUE(resident.endsWithin(0));
    EXPECT_EQ(resident.exitCode(), 0u);
    HWND restarted = nullptr;
    EXPECT_TRUE(WaitUntil([&] {
        restarted = PublishedWindow();
        return restarted && IsWindow(restarted) && ProcessOf(restarted) != resident.processId();
    }, PROGRAM_MS));
    EXPECT_PRED2(SamePath, ImageOfProcess(ProcessOf(restarted)), InstalledExe());

    EXPECT_TRUE(HoldsBytes(packages + "\\Mine.mwpack", UserPackage()));
    EXPECT_TRUE(HoldsBytes(packages + "\\Example.mwpack", EditedExample()));
    if (ShipsConsoleProgram()) {  // chosen again, the folder is still in PATH once
        EXPECT_PRED2(SamePath, UserText("Environment", "Path"), std::string(FORMER_PATH) + ";" + InstallFolder());
    }
}

TEST_F(Release, SilentUninstallRemovesEverythingButThePackages)
{
    std::string folder = InstallFolder();
    ASSERT_TRUE(FileExists(folder + "\\Uninstall.exe")) << "needs the install of the cases before";
    // The uninstaller hands over to a copy of itself and ends at once: wait for its work instead.
    RunResult run = RunCommandLine("\"" + folder + "\\Uninstall.exe\" /S", PROGRAM_MS);
    ASSERT_TRUE(run.finished);
    EXPECT_TRUE(WaitUntil([&] { return !FileExists(folder + "\\Uninstall.exe") && !UserKeyExists(UNINSTALL_KEY); },
                          PROGRAM_MS));

    for (const std::string& program : ShippedPrograms())
        EXPECT_FALSE(FileExists(folder + "\\" + program)) << program;
    EXPECT_FALSE(FileExists(folder + "\\LICENSE.txt"));
    EXPECT_FALSE(MappingExists()) << "the running copy was left running";
    EXPECT_FALSE(FileExists(StartMenuShortcut()));
    EXPECT_FALSE(FileExists(StartupShortcut()));
    EXPECT_FALSE(UserKeyExists("Software\\Classes\\.mwpack"));
    EXPECT_FALSE(UserKeyExists("Software\\Classes\\Marlowin.Package"));
    EXPECT_FALSE(UserKeyExists(UNINSTALL_KEY));
    EXPECT_EQ(UserText("Environment", "Path"), FORMER_PATH);

    EXPECT_TRUE(HoldsBytes(folder + "\\Packages\\Mine.mwpack", UserPackage()));
    EXPECT_TRUE(HoldsBytes(folder + "\\Packages\\Example.mwpack", EditedExample()));
}

struct WindowSearch {
    std::vector<std::string> classes;
    std::string titlePart;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM data)
{
    WindowSearch* search = (WindowSearch*)data;
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    std::string title = WindowText(window);
    CharLowerA(&title[0]);
    for (const std::string& wanted : search->classes) {
        if (IsWindowVisible(window) && lstrcmpiA(className, wanted.c_str()) == 0 &&
            title.find(search->titlePart) != std::string::npos)
            search->found.push_back(window);
    }
    return TRUE;
}

// Visible top-level windows of one of the classes whose title holds the lower-case text.
std::vector<HWND> VisibleWindows(const std::vector<std::string>& classes, const char* titlePart = "")
{
    WindowSearch search{ classes, titlePart, {} };
    EnumWindows(CollectWindow, (LPARAM)&search);
    return search.found;
}

// Folder windows of Windows' Explorer and of Wine's; neither names the folder in its title.
const std::vector<std::string> FOLDER_WINDOW_CLASSES = { "CabinetWClass", "ExplorerWClass" };

TEST_F(Release, ZipInAFolderWithBlanksLaunchesTheExamplePackage)
{
    std::string folder = Env("MW_RELEASE_UNZIPPED") + "\\Marlowin";
    ASSERT_NE(folder.find(' '), std::string::npos);
    for (const std::string& program : ShippedPrograms())
        EXPECT_TRUE(FileExists(folder + "\\" + program)) << program;
    EXPECT_TRUE(FileExists(folder + "\\ReadMe.txt"));
    EXPECT_TRUE(FileExists(folder + "\\LICENSE.txt"));

    ASSERT_TRUE(VisibleWindows(FOLDER_WINDOW_CLASSES).empty());
    HttpRecorder browser;
    std::string example = folder + "\\Packages\\Example.mwpack";
    RunResult run = RunCommandLine("\"" + folder + "\\Marlowin.exe\" \"" + example + "\"", PROGRAM_MS);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u);

    log.waitFor(1, PROGRAM_MS);
    EXPECT_EQ(log.waitForPage(1), "http://marlowin.example.org/marlowin/help.html");
    std::vector<HWND> notepad, folderWindows;
    EXPECT_TRUE(WaitUntil([&] { return !(notepad = VisibleWindows({ "Notepad" }, "win.ini")).empty(); },
                          PROGRAM_MS));
    EXPECT_TRUE(WaitUntil([&] { return !(folderWindows = VisibleWindows(FOLDER_WINDOW_CLASSES)).empty(); },
                          PROGRAM_MS));
    for (HWND window : notepad)
        PostMessageA(window, WM_CLOSE, 0, 0);
    for (HWND window : folderWindows)
        PostMessageA(window, WM_CLOSE, 0, 0);
}

}  // namespace

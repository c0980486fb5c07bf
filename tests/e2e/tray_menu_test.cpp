// The resident Marlowin.exe driven through its tray callback, as the shell drives it.
#include <gtest/gtest.h>

#include "res/resource.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

const std::string SITE = "http://marlowin.example.org";

// The Start window's handle as the resident copy publishes it; null while there is none.
HWND PublishedStartWindow()
{
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, "Marlowin");
    if (!mapping)
        return nullptr;
    HWND window = nullptr;
    if (const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, sizeof(HWND))) {
        memcpy(&window, view, sizeof window);
        UnmapViewOfFile(view);
    }
    CloseHandle(mapping);
    return window && IsWindow(window) ? window : nullptr;
}

// Visible top-level windows of the process with the class (and title, if given).
HWND WindowOf(DWORD processId, const char* className, const char* title = nullptr)
{
    for (HWND window = FindWindowExA(nullptr, nullptr, className, title); window;
         window = FindWindowExA(nullptr, window, className, title)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId && IsWindowVisible(window))
            return window;
    }
    return nullptr;
}

HWND WaitForWindow(DWORD processId, const char* className, const char* title = nullptr, DWORD timeoutMs = 5000)
{
    DWORD begin = GetTickCount();
    HWND window = WindowOf(processId, className, title);
    while (!window && GetTickCount() - begin < timeoutMs) {
        Sleep(50);
        window = WindowOf(processId, className, title);
    }
    return window;
}

void PressKeys(HWND window, const std::vector<WORD>& keys)
{
    for (WORD key : keys) {
        PostMessageA(window, WM_KEYDOWN, key, 1);
        PostMessageA(window, WM_KEYUP, key, 0xC0000001);
    }
}

std::string ChildText(HWND child)
{
    char text[256] = "";
    if (child)
        GetWindowTextA(child, text, sizeof text);
    return text;
}

// Statics of a dialog, in creation order, without the icon.
std::vector<std::string> StaticTexts(HWND box)
{
    std::vector<std::string> texts;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[64] = "";
        GetClassNameA(child, className, sizeof className);
        if (lstrcmpiA(className, "Static") == 0 && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON)
            texts.push_back(ChildText(child));
    }
    return texts;
}

class ResidentTray : public ::testing::Test {
protected:
    void SetUp() override
    {
        packages = BinFolder() + "\\Packages";
        RemoveTree(packages);
        CreateDirectoryA(packages.c_str(), nullptr);
        if (PublishedStartWindow())
            RunMarlowin("U");   // a copy left over by someone else must not answer for ours

        STARTUPINFOA startup;
        ZeroMemory(&startup, sizeof startup);
        startup.cb = sizeof startup;
        std::string commandLine = "\"" + MarlowinPath() + "\"";
        ASSERT_TRUE(CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                                   BinFolder().c_str(), &startup, &process));
        started = true;
        DWORD begin = GetTickCount();
        while (!(start = PublishedStartWindow()) && GetTickCount() - begin < 5000 &&
               WaitForSingleObject(process.hProcess, 50) == WAIT_TIMEOUT) {
        }
        if (!start)
            GTEST_SKIP() << "no resident copy published its Start window";
        DWORD owner = 0;
        GetWindowThreadProcessId(start, &owner);
        ASSERT_EQ(owner, process.dwProcessId);
        // Answered once the splash is over and the message loop runs.
        DWORD_PTR answer = 0;
        ASSERT_NE(SendMessageTimeoutA(start, WM_NULL, 0, 0, SMTO_NORMAL, 15000, &answer), 0);
    }

    void TearDown() override
    {
        if (started) {
            if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
                for (int i = 0; i < 5; ++i) {
                    HWND box = WindowOf(process.dwProcessId, "#32770", "About");
                    if (!box)
                        break;
                    PostMessageA(box, WM_COMMAND, IDC_ABOUT_OK, 0);
                    Sleep(200);
                }
                if (HWND popup = WindowOf(process.dwProcessId, "#32768"))
                    PressKeys(popup, { VK_ESCAPE, VK_ESCAPE });
                RunMarlowin("U");
            }
            if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0)
                TerminateProcess(process.hProcess, 99);   // our own child, so later tests start clean
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        }
        RemoveTree(packages);
    }

    void AddPackage(const std::string& name, const std::string& recorderArguments)
    {
        RecordSpec record;
        record.name = "only";
        record.object = RecorderPath();
        record.arguments = recorderArguments;
        record.directory = BinFolder();
        record.type = "Executable";
        record.window = "Normal";
        WriteFileBytes(packages + "\\" + name + ".mwpack", EncodePackage({ record }));
    }

    // Clicks the tray icon; gives the menu that opens.
    HWND Click(LPARAM mouseMessage, DWORD timeoutMs = 5000)
    {
        PostMessageA(start, WM_TRAYNOTIFY, TRAY_ICON_ID, mouseMessage);
        return WaitForWindow(process.dwProcessId, "#32768", nullptr, timeoutMs);
    }

    // Right click, then the item reached with that many presses of the down key, separators
    // skipped: 1 Visit Website, 2 About..., 3 New package..., 4 Edit package..., 6 Exit.
    void ChooseMainMenuItem(int downs)
    {
        HWND menu = Click(WM_RBUTTONUP);
        ASSERT_NE(menu, nullptr);
        std::vector<WORD> keys(downs, VK_DOWN);
        keys.push_back(VK_RETURN);
        PressKeys(menu, keys);
    }

    HWND OpenAboutBox()
    {
        ChooseMainMenuItem(2);
        return WaitForWindow(process.dwProcessId, "#32770", "About");
    }

    // The address that the http handler was given last.
    std::string LastPage(size_t count)
    {
        std::vector<Recording> seen = log.waitFor(count);
        if (seen.size() != count)
            return "(" + std::to_string(seen.size()) + " launches)";
        std::string line = seen.back().commandLine;
        size_t open = line.rfind(" \"");
        return open == std::string::npos ? line : line.substr(open + 2, line.size() - open - 3);
    }

    // Visit Website, then Help and Donate in the About box, each through the http handler.
    void ExpectWebPages(const std::string& help, const std::string& donate);

    RecorderLog log;   // before the start, so that the resident copy inherits its log
    std::string packages;
    PROCESS_INFORMATION process = {};
    bool started = false;
    HWND start = nullptr;
};

// http addresses open through recorder.exe "%1" while it lives.
class HttpRecorder {
public:
    HttpRecorder()
    {
        char value[1024];
        LONG size = sizeof value;
        if (RegQueryValueA(HKEY_CLASSES_ROOT, KEY, value, &size) == ERROR_SUCCESS)
            former = value;
        std::string command = "\"" + RecorderPath() + "\" \"%1\"";
        RegSetValueA(HKEY_CLASSES_ROOT, KEY, REG_SZ, command.c_str(), (DWORD)command.size());
    }
    ~HttpRecorder()
    {
        if (!former.empty())
            RegSetValueA(HKEY_CLASSES_ROOT, KEY, REG_SZ, former.c_str(), (DWORD)former.size());
    }

private:
    static constexpr const char* KEY = "http\\shell\\open\\command";
    std::string former;
};

void ResidentTray::ExpectWebPages(const std::string& help, const std::string& donate)
{
    HttpRecorder http;
    ChooseMainMenuItem(1);
    EXPECT_EQ(LastPage(1), SITE);

    HWND box = OpenAboutBox();
    ASSERT_NE(box, nullptr);
    PostMessageA(box, WM_COMMAND, IDC_HELP, 0);
    EXPECT_EQ(LastPage(2), SITE + help);

    box = OpenAboutBox();
    ASSERT_NE(box, nullptr);
    PostMessageA(box, WM_COMMAND, IDC_DONATE, 0);
    EXPECT_EQ(LastPage(3), SITE + donate);
}

TEST_F(ResidentTray, LeftClickListsPackagesAndTheKeyboardChoiceLaunches)
{
    AddPackage("Work", "chosen-from-tray");
    HWND menu = Click(WM_LBUTTONUP);
    ASSERT_NE(menu, nullptr);
    PressKeys(menu, { VK_DOWN, VK_RETURN });
    std::vector<Recording> seen = log.waitFor(1);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].commandLine, RecorderPath() + " chosen-from-tray");
}

TEST_F(ResidentTray, EmptyPackageMenuLeavesTheTrayWorking)
{
    // An empty popup may not show at all; if it does, it is closed.
    if (HWND empty = Click(WM_LBUTTONUP, 1500))
        PressKeys(empty, { VK_ESCAPE });
    AddPackage("Later", "after-empty-menu");
    HWND menu = Click(WM_LBUTTONUP);
    ASSERT_NE(menu, nullptr);
    PressKeys(menu, { VK_DOWN, VK_RETURN });
    EXPECT_EQ(log.waitFor(1).size(), 1u);
}

TEST_F(ResidentTray, AboutBoxShowsItsTextsAndIgnoresEscape)
{
    HWND box = OpenAboutBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(ChildText(GetDlgItem(box, IDC_ABOUT_OK)), "OK");
    EXPECT_EQ(ChildText(GetDlgItem(box, IDC_DONATE)), "Donate");
    EXPECT_EQ(ChildText(GetDlgItem(box, IDC_HELP)), "Help");
    std::vector<std::string> statics = StaticTexts(box);
    ASSERT_EQ(statics.size(), 2u);
    EXPECT_EQ(statics[0], "Marlowin v1.0.0.1");

    PressKeys(box, { VK_ESCAPE });
    Sleep(500);
    EXPECT_TRUE(IsWindow(box) && IsWindowVisible(box));

    PostMessageA(box, WM_COMMAND, IDC_ABOUT_OK, 0);
    for (int i = 0; i < 100 && IsWindow(box); ++i)
        Sleep(50);
    EXPECT_FALSE(IsWindow(box));
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 0), (DWORD)WAIT_TIMEOUT);
}

TEST_F(ResidentTray, WebPagesInEnglish)
{
    ASSERT_NE(GetSystemDefaultLangID(), 1049);
    ExpectWebPages("/marlowin/help.html", "/marlowin/donate.html");
}

TEST_F(ResidentTray, WebPagesInRussian)
{
    ASSERT_EQ(GetSystemDefaultLangID(), 1049);
    ExpectWebPages("/marlowin/help[ru].html", "/marlowin/donate[ru].html");
}

TEST_F(ResidentTray, ExitEndsTheProgramWithZero)
{
    ChooseMainMenuItem(6);
    ASSERT_EQ(WaitForSingleObject(process.hProcess, 10000), (DWORD)WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(PublishedStartWindow(), nullptr);
}

}  // namespace

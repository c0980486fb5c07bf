// The resident Marlowin.exe driven through its tray callback, as the shell drives it.
#include <gtest/gtest.h>

#include <memory>

#include "res/resource.h"
#include "tests/support/resident_copy.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

const std::string SITE = "http://marlowin.example.org";

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
    HWND window = nullptr;
    WaitUntil([&] { return (window = WindowOf(processId, className, title)) != nullptr; }, timeoutMs);
    return window;
}

// Statics of a dialog, in creation order, without the icon.
std::vector<std::string> StaticTexts(HWND box)
{
    std::vector<std::string> texts;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[64] = "";
        GetClassNameA(child, className, sizeof className);
        if (lstrcmpiA(className, "Static") == 0 && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON)
            texts.push_back(WindowText(child));
    }
    return texts;
}

class ResidentTray : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (PublishedWindow())
            RunMarlowin("U");   // a copy left over by someone else must not answer for ours
        copy.reset(new ResidentCopy());
        ASSERT_TRUE(copy->started());
        start = copy->waitForWindow();
        if (!start)
            GTEST_SKIP() << "no resident copy published its Start window";
        ASSERT_TRUE(copy->owns(start));
        // Answered once the splash is over and the message loop runs.
        DWORD_PTR answer = 0;
        ASSERT_NE(SendMessageTimeoutA(start, WM_NULL, 0, 0, SMTO_NORMAL, 15000, &answer), 0);
    }

    void TearDown() override
    {
        if (copy && copy->running()) {
            for (int i = 0; i < 5; ++i) {
                HWND box = WindowOf(copy->processId(), "#32770", "About");
                if (!box)
                    break;
                PostMessageA(box, WM_COMMAND, IDC_ABOUT_OK, 0);
                Sleep(200);
            }
            if (HWND popup = WindowOf(copy->processId(), "#32768"))
                PressKeys(popup, { VK_ESCAPE, VK_ESCAPE });
        }
        copy.reset();
    }

    // Clicks the tray icon; gives the menu that opens.
    HWND Click(LPARAM mouseMessage, DWORD timeoutMs = 5000)
    {
        PostMessageA(start, WM_TRAYNOTIFY, TRAY_ICON_ID, mouseMessage);
        return WaitForWindow(copy->processId(), "#32768", nullptr, timeoutMs);
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
        return WaitForWindow(copy->processId(), "#32770", "About");
    }

    // Visit Website, then Help and Donate in the About box, each through the http handler.
    void ExpectWebPages(const std::string& help, const std::string& donate);

    PackagesFolder packages;
    RecorderLog log;   // before the start, so that the resident copy inherits its log
    std::unique_ptr<ResidentCopy> copy;
    HWND start = nullptr;
};

void ResidentTray::ExpectWebPages(const std::string& help, const std::string& donate)
{
    HttpRecorder http;
    ChooseMainMenuItem(1);
    EXPECT_EQ(log.waitForPage(1), SITE);

    HWND box = OpenAboutBox();
    ASSERT_NE(box, nullptr);
    PostMessageA(box, WM_COMMAND, IDC_HELP, 0);
    EXPECT_EQ(log.waitForPage(2), SITE + help);

    box = OpenAboutBox();
    ASSERT_NE(box, nullptr);
    PostMessageA(box, WM_COMMAND, IDC_DONATE, 0);
    EXPECT_EQ(log.waitForPage(3), SITE + donate);
}

TEST_F(ResidentTray, LeftClickListsPackagesAndTheKeyboardChoiceLaunches)
{
    packages.addPackage("Work", "chosen-from-tray");
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
    packages.addPackage("Later", "after-empty-menu");
    HWND menu = Click(WM_LBUTTONUP);
    ASSERT_NE(menu, nullptr);
    PressKeys(menu, { VK_DOWN, VK_RETURN });
    EXPECT_EQ(log.waitFor(1).size(), 1u);
}

TEST_F(ResidentTray, AboutBoxShowsItsTextsAndIgnoresEscape)
{
    HWND box = OpenAboutBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(WindowText(GetDlgItem(box, IDC_ABOUT_OK)), "OK");
    EXPECT_EQ(WindowText(GetDlgItem(box, IDC_DONATE)), "Donate");
    EXPECT_EQ(WindowText(GetDlgItem(box, IDC_HELP)), "Help");
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
    EXPECT_TRUE(copy->running());
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
    ASSERT_TRUE(copy->endsWithin(10000));
    EXPECT_EQ(copy->exitCode(), 0u);
    EXPECT_FALSE(IsWindow(PublishedWindow()));
}

}  // namespace

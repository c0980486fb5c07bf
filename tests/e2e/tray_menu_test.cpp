// The resident Marlowin.exe driven through its tray callback, as the shell drives it.
#include <gtest/gtest.h>

#include <memory>

#include "res/resource.h"
#include "tests/support/resident_copy.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

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

// One resident copy serves the whole suite; a test that ends it (Exit, last) leaves the next test
// to start another.
class ResidentTray : public ::testing::Test {
protected:
    static void TearDownTestSuite()
    {
        copy.reset();
        log.reset();
    }

    void SetUp() override
    {
        if (!log)
            log.reset(new RecorderLog());
        log->clear();
        if (!copy || !copy->running()) {
            if (PublishedWindow())
                RunMarlowin("U");   // a copy left over by someone else must not answer for ours
            copy.reset(new ResidentCopy());
            ASSERT_TRUE(copy->started());
            start = copy->waitForWindow();
            ASSERT_NE(start, nullptr) << "no resident copy published its Start window";
            ASSERT_TRUE(copy->owns(start));
        }
        // Answered once the splash is over and the message loop runs.
        DWORD_PTR answer = 0;
        ASSERT_NE(SendMessageTimeoutA(start, WM_NULL, 0, 0, SMTO_NORMAL, 15000, &answer), 0);
    }

    void TearDown() override
    {
        if (!copy || !copy->running())
            return;
        if (HWND popup = WindowOf(copy->processId(), "#32768"))
            PressKeys(popup, { VK_ESCAPE, VK_ESCAPE });
        for (HWND box; (box = WindowOf(copy->processId(), "#32770", "About")) != nullptr;) {
            PostMessageA(box, WM_COMMAND, IDC_ABOUT_OK, 0);
            if (!WaitUntil([box] { return !IsWindow(box); }, 30000))
                break;
        }
        EXPECT_TRUE(WaitUntil([] { return !WindowOf(copy->processId(), "#32768"); }, 30000))
            << "a tray menu stays open";
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

    PackagesFolder packages;
    static std::unique_ptr<RecorderLog> log;   // made before the copy starts, which inherits it
    static std::unique_ptr<ResidentCopy> copy;
    static HWND start;
};
std::unique_ptr<RecorderLog> ResidentTray::log;
std::unique_ptr<ResidentCopy> ResidentTray::copy;
HWND ResidentTray::start;

TEST_F(ResidentTray, LeftClickListsPackagesAndTheKeyboardChoiceLaunches)
{
    packages.addPackage("My Work & Play", "chosen-from-tray");   // an '&' is no mnemonic here
    HWND menu = Click(WM_LBUTTONUP);
    ASSERT_NE(menu, nullptr);
    PressKeys(menu, { VK_DOWN, VK_RETURN });
    std::vector<Recording> seen = log->waitFor(1);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].commandLine, RecorderPath() + " chosen-from-tray");
}

// These end the suite's copy; the next test starts another.
TEST_F(ResidentTray, UnloadWhileTheAboutBoxIsOpenEndsWithZero)
{
    ASSERT_NE(OpenAboutBox(), nullptr);
    EXPECT_EQ(RunMarlowin("U").exitCode, 0u);
    ASSERT_TRUE(copy->endsWithin(10000));
    EXPECT_EQ(copy->exitCode(), 0u);
    EXPECT_FALSE(MappingExists());
}

TEST_F(ResidentTray, UnloadWhileATrayMenuIsOpenEndsWithZero)
{
    ASSERT_NE(Click(WM_RBUTTONUP), nullptr);
    EXPECT_EQ(RunMarlowin("U").exitCode, 0u);
    ASSERT_TRUE(copy->endsWithin(10000));
    EXPECT_EQ(copy->exitCode(), 0u);
    EXPECT_FALSE(MappingExists());
}

TEST_F(ResidentTray, ExitEndsTheProgramWithZero)
{
    ChooseMainMenuItem(6);
    ASSERT_TRUE(copy->endsWithin(10000));
    EXPECT_EQ(copy->exitCode(), 0u);
    EXPECT_FALSE(IsWindow(PublishedWindow()));
}

}  // namespace

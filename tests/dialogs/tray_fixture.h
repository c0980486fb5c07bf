// What the tray tests share: a stand-in for the Start window, a timer-driven script for modal loops,
// and the About box and tray click fixtures that the Russian cases use too.
#ifndef MARLOWIN_TRAY_FIXTURE_H
#define MARLOWIN_TRAY_FIXTURE_H

#include <windows.h>
#include <gtest/gtest.h>
#include <functional>
#include <string>
#include <vector>

#include "base/app_state.h"
#include "res/resource.h"
#include "tests/support/test_support.h"
#include "tray/about_box.h"
#include "tray/tray_icon.h"
#include "tray/tray_menu.h"

namespace tray_testing {

// Each test gets a fresh command window, an empty Packages folder and its own recorder log.
class CommandWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    HWND window = nullptr;
    testing_support::PackagesFolder packages;
    testing_support::RecorderLog log;
};

// Visible top-level windows of this process with the class (and the title, if given).
std::vector<HWND> OwnWindows(const char* className, const char* title = nullptr);
HWND OwnWindow(const char* className, const char* title = nullptr);

// Runs a blocking action (a tracked menu, a modal box) while steps are played from a timer.
// Each step is retried on every tick until it gives true. When the time runs out, open menus
// and boxes are closed so that the action returns, and timedOut() tells.
class UiScript {
public:
    using Step = std::function<bool()>;
    UiScript& then(Step step);
    void run(const std::function<void()>& action, DWORD timeoutMs = 10000);
    bool completed() const { return next_ == steps_.size(); }
    bool timedOut() const { return timedOut_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void tick();

    std::vector<Step> steps_;
    size_t next_ = 0;
    DWORD started_ = 0;
    DWORD timeout_ = 0;
    bool timedOut_ = false;
};

// Dispatches this thread's messages for the given time.
void PumpMessages(DWORD ms);

// The size of an icon's image; 0 by 0 for none.
SIZE IconSize(HICON icon);

// Dispatches this thread's messages until the log holds the command line or the time is up; gives every
// command line logged by then. A wrong launch made before that one has been logged too.
std::vector<std::string> PumpUntilLaunched(const testing_support::RecorderLog& log, const std::string& commandLine,
                                           DWORD timeoutMs = 10000);
// The command line of the http handler that HttpRecorder installs, given the home page.
std::string HomePageLaunch();

// Saves what the screen shows of the window as <MARLOWIN_SCREENSHOTS>\<name>.png, when that variable
// is set (and not 0): pictures for the documentation cost time.
void SaveScreenshot(HWND window, const char* name);

// What the user sees of the box, whatever the system language: the caption, the version and the
// maker's notice, the icon at the left, and Help, Donate and OK in a row from left to right, all of
// them usable and none covering another.
void ExpectTheBoxAsShown(HWND box);

// The About box, run modally as the tray runs it.
class AboutBoxTest : public ::testing::Test {
protected:
    void SetUp() override { AppInstance = GetModuleHandleA(nullptr); }

    // Runs the box modally; the step is given the box once it shows.
    INT_PTR RunBox(const std::function<bool(HWND)>& step)
    {
        UiScript script;
        script.then([&] {
            HWND box = OwnWindow("#32770", "About");
            return box && step(box);
        });
        INT_PTR result = -1;
        script.run([&] {
            result = DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_ABOUT), nullptr, AboutDialogProc, 0);
        });
        EXPECT_TRUE(script.completed());
        EXPECT_FALSE(script.timedOut());
        return result;
    }

    static void Press(HWND box, int id)
    {
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(box, id));
    }

    // Escape and IDCANCEL leave the box open with the focus on OK; OK then ends it with 1.
    void EscapeThenOk(const char* screenshot)
    {
        int ticks = 0;
        bool openAfterEscape = false;
        int focusedId = 0;
        INT_PTR result = RunBox([&](HWND box) {
            if (ticks == 0) {
                SaveScreenshot(box, screenshot);
                testing_support::PressKeys(GetFocus() ? GetFocus() : box, { VK_ESCAPE });
                PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
            }
            if (ticks == 5)
                focusedId = GetDlgCtrlID(GetFocus());
            if (++ticks < 10)
                return false;
            openAfterEscape = IsWindowVisible(box) != FALSE;
            Press(box, IDC_ABOUT_OK);
            return true;
        });
        EXPECT_TRUE(openAfterEscape);
        EXPECT_EQ(focusedId, IDC_ABOUT_OK);
        EXPECT_EQ(result, 1);
    }
};

class AboutPagesTest : public AboutBoxTest {
protected:
    // Presses the button and gives the address that the http handler was started with, the count-th launch.
    std::string PageOf(int button, size_t count)
    {
        EXPECT_EQ(RunBox([button](HWND box) { return Press(box, button), true; }), 1);
        return log.waitForPage(count);
    }

    testing_support::HttpRecorder http;
    testing_support::RecorderLog log;
};

// Clicks on the tray icon, delivered as the shell delivers them, with the menus tracked for real.
class TrayClickTest : public CommandWindowTest {
protected:
    // Where the test clicks. Without a notification area to open at (Wine has none), the menu opens here.
    static constexpr POINT CLICK = { 300, 420 };

    void SetUp() override
    {
        CommandWindowTest::SetUp();
        SetCursorPos(CLICK.x, CLICK.y);
        POINT pointer = { 0, 0 };
        auto atTheClick = [&] { return GetCursorPos(&pointer) && pointer.x == CLICK.x && pointer.y == CLICK.y; };
        ASSERT_TRUE(testing_support::WaitUntil(atTheClick, 2000))
            << "the pointer stays at " << pointer.x << "," << pointer.y;
    }

    // Clicks the icon and plays the keys on the menu once it shows; gives the popups seen and
    // keeps the items of the first one as they read in Unicode.
    std::vector<HWND> Click(LPARAM mouseMessage, const std::vector<WORD>& keys, const char* screenshot)
    {
        std::vector<HWND> seen;
        UiScript script;
        script.then([&] {
                  seen = OwnWindows("#32768");
                  return !seen.empty();
              })
            .then([&] {
                  GetWindowRect(seen.front(), &shownAt);
                  shownItems.clear();
                  HMENU shown = (HMENU)SendMessageA(seen.front(), MN_GETHMENU, 0, 0);
                  for (int i = 0; i < GetMenuItemCount(shown); ++i) {
                      wchar_t text[128] = L"";
                      GetMenuStringW(shown, i, text, 128, MF_BYPOSITION);
                      shownItems.push_back(text);
                  }
                  if (screenshot)
                      SaveScreenshot(seen.front(), screenshot);
                  testing_support::PressKeys(seen.front(), keys);
                  return true;
              });
        script.run([&] { OnTrayNotify(window, TRAY_ICON_ID, mouseMessage); });
        EXPECT_TRUE(script.completed());
        EXPECT_FALSE(script.timedOut());
        return seen;
    }

    RECT shownAt = { 0, 0, 0, 0 };
    std::vector<std::wstring> shownItems;
};

}  // namespace tray_testing

#endif

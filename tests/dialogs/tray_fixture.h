// What the tray tests share: a stand-in for the Start window, and a timer-driven script for modal loops.
#ifndef MARLOWIN_TRAY_FIXTURE_H
#define MARLOWIN_TRAY_FIXTURE_H

#include <windows.h>
#include <gtest/gtest.h>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace tray_testing {

// A hidden window that treats commands and the menu loop's end as the Start window does.
HWND CreateCommandWindow();

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
// Dispatches this thread's messages until the log holds at least count lines or the time is up; gives them.
std::vector<testing_support::Recording> PumpUntilLogged(const testing_support::RecorderLog& log, size_t count,
                                                        DWORD timeoutMs = 10000);

// The size of an icon's image; 0 by 0 for none.
SIZE IconSize(HICON icon);

// Dispatches this thread's messages until the log holds the command line or the time is up; gives every
// command line logged by then. A wrong launch made before that one has been logged too.
std::vector<std::string> PumpUntilLaunched(const testing_support::RecorderLog& log, const std::string& commandLine,
                                           DWORD timeoutMs = 10000);
// The command line of the http handler that HttpRecorder installs, given the home page.
std::string HomePageLaunch();

// Pictures for the documentation cost time: taken only when MARLOWIN_SCREENSHOTS is set (and not 0).
bool ScreenshotsWanted();
// Saves what the screen shows of the window as <build>\screenshots\<name>.png, when wanted.
void SaveScreenshot(HWND window, const char* name);

}  // namespace tray_testing

#endif

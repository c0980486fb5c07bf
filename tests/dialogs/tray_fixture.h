// What the tray tests share: a Packages folder beside the test program, an http handler that
// records, a stand-in for the Start window, and a timer-driven script for modal loops.
#ifndef MARLOWIN_TRAY_FIXTURE_H
#define MARLOWIN_TRAY_FIXTURE_H

#include <windows.h>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace tray_testing {

// <bin>\Packages, made empty for the test and removed afterwards.
class PackagesFolder {
public:
    PackagesFolder();
    ~PackagesFolder();
    const std::string& path() const { return path_; }
    // A package of one Executable profile that starts recorder.exe with the given arguments.
    std::string addPackage(const std::string& name, const std::string& recorderArguments);
    std::string addFile(const std::string& fileName, const std::string& bytes);
    // The same through the wide calls, for names whose path is too long for the ANSI ones.
    bool addLongNamedFile(const std::string& fileName, const std::string& bytes);

private:
    std::string path_;
};

// http URLs open through recorder.exe "%1" while it lives; the former command comes back after.
class HttpRecorder {
public:
    HttpRecorder();
    ~HttpRecorder();

private:
    std::string former_;
    bool hadFormer_ = false;
};

// A hidden window that treats commands and the menu loop's end as the Start window does.
HWND CreateCommandWindow();

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

// Presses keys on a tracked menu or a dialog by posting them to its window.
void PressKeys(HWND window, const std::vector<WORD>& keys);

// Saves what the screen shows of the window as <build>\screenshots\<name>.bmp.
void SaveScreenshot(HWND window, const char* name);

}  // namespace tray_testing

#endif

// Programs that the tests start and keep running: a plain child, and a resident Marlowin.exe.
#ifndef MARLOWIN_RESIDENT_COPY_H
#define MARLOWIN_RESIDENT_COPY_H

#include <windows.h>
#include <string>

namespace testing_support {

// The Start window handle that a resident copy keeps in the named mapping "Marlowin", or null.
HWND PublishedWindow();
bool MappingExists();
// The splash is hidden, then minimized (which shows it for a moment) and hidden again.
bool IsHiddenForGood(HWND window);

// A program started by the test in the test program's folder; never outlives the test.
class ChildProcess {
public:
    explicit ChildProcess(const std::string& commandLine);
    virtual ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return process_.hProcess != nullptr; }
    bool running() const;
    bool endsWithin(DWORD timeoutMs) const;
    DWORD exitCode() const;
    DWORD processId() const { return process_.dwProcessId; }
    HANDLE handle() const { return process_.hProcess; }
    bool owns(HWND window) const;
    // WM_CLOSE to the window, then TerminateProcess of our own child as the last resort.
    void close(HWND window);

private:
    PROCESS_INFORMATION process_ = {};
};

// Marlowin.exe with the argument, expected to stay resident.
class ResidentCopy : public ChildProcess {
public:
    explicit ResidentCopy(const std::string& argument = "");
    ~ResidentCopy() override { stop(); }

    // Waits until the mapping names a live window or the copy has ended; gives that window.
    HWND waitForWindow(DWORD timeoutMs = 20000);
    // Waits for the splash to come and go; the copy then sits in its message loop.
    bool waitPastSplash();
    // "Marlowin.exe U" when the published window is ours, then WM_CLOSE, then TerminateProcess.
    void stop();

private:
    HWND window_ = nullptr;
};

}  // namespace testing_support

#endif

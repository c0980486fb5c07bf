#include "tests/support/resident_copy.h"

#include <vector>

#include "tests/support/test_support.h"

namespace testing_support {

HWND PublishedWindow()
{
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, "Marlowin");
    if (!mapping)
        return nullptr;
    HWND window = nullptr;
    if (const DWORD* view = (const DWORD*)MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 4)) {
        window = (HWND)(UINT_PTR)*view;
        UnmapViewOfFile(view);
    }
    CloseHandle(mapping);
    return window;
}

bool MappingExists()
{
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, "Marlowin");
    if (!mapping)
        return false;
    CloseHandle(mapping);
    return true;
}

bool IsHiddenForGood(HWND window)
{
    return !IsWindowVisible(window) && IsIconic(window);
}

ChildProcess::ChildProcess(const std::string& commandLine)
{
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    if (CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, BinFolder().c_str(), &startup,
                       &process_))
        CloseHandle(process_.hThread);
    else
        process_ = PROCESS_INFORMATION();
}

ChildProcess::~ChildProcess()
{
    close(nullptr);
}

bool ChildProcess::running() const
{
    return started() && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

bool ChildProcess::endsWithin(DWORD timeoutMs) const
{
    return started() && WaitForSingleObject(process_.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

DWORD ChildProcess::exitCode() const
{
    DWORD code = 0xFFFFFFFF;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

bool ChildProcess::owns(HWND window) const
{
    DWORD owner = 0;
    return window && IsWindow(window) && GetWindowThreadProcessId(window, &owner) && owner == process_.dwProcessId;
}

void ChildProcess::close(HWND window)
{
    if (!started())
        return;
    if (running()) {
        if (window)
            PostMessageA(window, WM_CLOSE, 0, 0);
        if (!endsWithin(10000))
            TerminateProcess(process_.hProcess, 99);  // our own child, ended so later tests start clean
    }
    CloseHandle(process_.hProcess);
    process_ = PROCESS_INFORMATION();
}

ResidentCopy::ResidentCopy(const std::string& argument)
    : ChildProcess("\"" + MarlowinPath() + "\"" + (argument.empty() ? "" : " " + argument))
{
}

HWND ResidentCopy::waitForWindow(DWORD timeoutMs)
{
    WaitUntil([this] {
        window_ = PublishedWindow();
        return (window_ && IsWindow(window_)) || !running();
    }, timeoutMs);
    return window_ && IsWindow(window_) ? window_ : nullptr;
}

bool ResidentCopy::waitPastSplash()
{
    HWND window = waitForWindow();
    return window && WaitUntil([window] { return IsHiddenForGood(window); }, 20000);
}

void ResidentCopy::stop()
{
    HWND window = window_ ? window_ : PublishedWindow();
    if (running() && owns(window)) {
        RunMarlowin("U");
        endsWithin(10000);
    }
    close(window);
}

}  // namespace testing_support

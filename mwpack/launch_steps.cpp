#include "mwpack/launch_steps.h"

#include <algorithm>

#include "launch/launch_profiles.h"
#include "mwpack/desktop_windows.h"

namespace {

const unsigned long DEFAULT_READY_SECONDS = 30;
const DWORD POLL_MS = 25;

enum Readiness { READY_WINDOW, READY_IDLE, READY_ENDED, READY_TIMED_OUT, READY_UNKNOWN };

// Until the program shows a visible top-level window or waits for input with none pending, or
// has ended, at most the limit.
Readiness WaitUntilReady(const StartedProgram& program, DWORD limitMs)
{
    if (!program.process)
        return READY_UNKNOWN;
    DWORD begin = GetTickCount();
    for (;;) {
        if (WaitForSingleObject(program.process, 0) == WAIT_OBJECT_0)
            return READY_ENDED;
        if (ShowsWindow(program.processId))
            return READY_WINDOW;
        // Zero also when the program has just ended; a console program gives WAIT_FAILED at once.
        if (WaitForInputIdle(program.process, 0) == 0)
            return WaitForSingleObject(program.process, 0) == WAIT_OBJECT_0 ? READY_ENDED : READY_IDLE;
        DWORD waited = GetTickCount() - begin;
        if (waited >= limitMs)
            return READY_TIMED_OUT;
        // Wakes at once when the program ends.
        WaitForSingleObject(program.process, std::min<DWORD>(POLL_MS, limitMs - waited));
    }
}

}  // namespace

LaunchSteps::~LaunchSteps()
{
    if (last_.process)
        CloseHandle(last_.process);
}

bool LaunchSteps::read(const Invocation& call, std::string& error)
{
    std::string ifRunning = call.value("if-running", "start");
    if (ifRunning == "skip")
        ifRunning_ = IF_RUNNING_SKIP;
    else if (ifRunning == "focus")
        ifRunning_ = IF_RUNNING_FOCUS;
    else if (ifRunning != "start")
        error = "--if-running takes start, skip or focus";
    unsigned long readySeconds = 0;
    waitReady_ = call.has("wait-ready");
    if (!call.number("wait-ready", DEFAULT_READY_SECONDS, LONGEST_WAIT_SECONDS, readySeconds))
        error = "--wait-ready=SECONDS takes a whole number of seconds, at most " + std::to_string(LONGEST_WAIT_SECONDS);
    if (!call.number("delay", 0, LONGEST_WAIT_SECONDS * 1000, delayMs_))
        error = "--delay takes a whole number of milliseconds, at most " + std::to_string(LONGEST_WAIT_SECONDS * 1000);
    readyMs_ = readySeconds * 1000;
    return error.empty();
}

bool LaunchSteps::look(const std::vector<const ProfileBase*>& profiles, std::string& error)
{
    return ifRunning_ == IF_RUNNING_START || FindRunningPrograms(profiles, running_, error);
}

bool LaunchSteps::running(const ProfileBase& profile, Console& console)
{
    for (const ProfilePrograms& programs : running_) {
        if (programs.profile != &profile || programs.copies.empty())
            continue;
        std::string line = std::string("running ") + profile.name() + ": " + CopyText(programs.copies[0]) +
                           ", not started again";
        if (ifRunning_ == IF_RUNNING_FOCUS) {
            bool shown = false;
            for (size_t i = 0; i < programs.copies.size() && !shown; ++i)
                shown = BringToFront(programs.copies[i].processId);
            line += shown ? "; brought to the front" : "; it shows no window to bring to the front";
        }
        console.out(line + "\n");
        return true;
    }
    return false;
}

bool LaunchSteps::start(const ProfileBase& profile, Console& console)
{
    waitForLast(console);
    if (!waitReady_ && delayMs_ == 0)
        return LaunchProfile(profile, nullptr);
    bool started = waitReady_ ? LaunchProfileForWaiting(profile, last_) : LaunchProfile(profile, nullptr);
    DWORD cause = GetLastError();
    pending_ = started;
    lastName_ = profile.name();
    SetLastError(cause);
    return started;
}

void LaunchSteps::waitForLast(Console& console)
{
    if (!pending_)
        return;
    pending_ = false;
    if (waitReady_) {
        std::string said;
        switch (WaitUntilReady(last_, readyMs_)) {
        case READY_WINDOW: said = "ready " + lastName_ + ": it shows a window"; break;
        case READY_IDLE: said = "ready " + lastName_ + ": it waits for input"; break;
        case READY_ENDED: said = "ended " + lastName_ + " before it was ready"; break;
        case READY_TIMED_OUT: said = "not ready " + lastName_ + " after " + std::to_string(readyMs_ / 1000) + " s; going on"; break;
        case READY_UNKNOWN: said = "not waited for " + lastName_ + ": the shell handed it to a program already running"; break;
        }
        console.out(said + "\n");
        if (last_.process)
            CloseHandle(last_.process);
        last_.process = nullptr;
    }
    if (delayMs_)
        Sleep(delayMs_);
}

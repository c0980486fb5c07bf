// What launch does around each profile when asked: --if-running (start, skip or bring forward a
// program already running), --wait-ready (the program just started ready before the next one
// starts) and --delay. Without these options each step is exactly Marlowin.exe's launch.
#ifndef MARLOWIN_LAUNCH_STEPS_H
#define MARLOWIN_LAUNCH_STEPS_H

#include <string>
#include <vector>

#include "launch/waited_launch.h"
#include "mwpack/invocation.h"
#include "mwpack/package_programs.h"

class LaunchSteps {
public:
    LaunchSteps() = default;
    ~LaunchSteps();
    LaunchSteps(const LaunchSteps&) = delete;
    LaunchSteps& operator=(const LaunchSteps&) = delete;

    // Takes the options; false, with a message, for a value they do not allow.
    bool read(const Invocation& call, std::string& error);
    // Finds the profiles' running programs, when --if-running asks for them; false, with a
    // message, when the system does not list its processes.
    bool look(const std::vector<const ProfileBase*>& profiles, std::string& error);
    // True when the profile's program runs already and the profile is not to be started: skipped,
    // or also brought to the front. Says so on the console.
    bool running(const ProfileBase& profile, Console& console);
    // Waits as asked for the program started before, then starts the profile. False as
    // LaunchProfile gives it, with the thread's last error naming the cause.
    bool start(const ProfileBase& profile, Console& console);

private:
    enum IfRunning { IF_RUNNING_START, IF_RUNNING_SKIP, IF_RUNNING_FOCUS };
    void waitForLast(Console& console);

    IfRunning ifRunning_ = IF_RUNNING_START;
    bool waitReady_ = false;
    unsigned long readyMs_ = 0;
    unsigned long delayMs_ = 0;
    std::vector<ProfilePrograms> running_;
    bool pending_ = false;                      // a program was started and not yet waited for
    std::string lastName_;
    StartedProgram last_ = { nullptr, 0 };
};

#endif

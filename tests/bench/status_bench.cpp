// mwpack status of a package of 20 profiles, 10 of them running, with 200 other processes running,
// against a bare listing of the processes (the tool-help snapshot alone), in one run: once with
// other programs, whose file names let status pass them by, and once for a package whose program
// file all 200 share, so that each of them is opened and read.
#include <windows.h>
#include <stdio.h>
#include <tlhelp32.h>
#include <string>
#include <vector>

#include "mwpack/invocation.h"
#include "tests/bench/bench_figures.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

const int PROFILES = 20;
const int RUNNING = 10;
const int OTHERS = 200;

// A recorder, running until it is ended.
HANDLE Start(const std::string& program, const std::string& arguments)
{
    std::string commandLine = program + " " + arguments;
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return nullptr;
    CloseHandle(process.hThread);
    return process.hProcess;
}

size_t BareListing()
{
    size_t count = 0;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        ++count;
    CloseHandle(snapshot);
    return count;
}

double Status(const std::string& package, size_t* running)
{
    BufferConsole console;
    double start = MillisecondsNow();
    int code = RunMwpack({ "status", package }, console);
    double elapsed = MillisecondsNow() - start;
    if (code != EXIT_OK)
        printf("status failed (%d): %s\n", code, console.errors.c_str());
    *running = 0;
    for (size_t at = console.output.find(": running"); at != std::string::npos; at = console.output.find(": running", at + 1))
        ++*running;
    return elapsed;
}

std::string Package(const std::string& path, const std::string& program, const char* label)
{
    std::vector<RecordSpec> records(PROFILES);
    for (int i = 0; i < PROFILES; ++i) {
        records[i] = RecorderRecord(std::string("window ") + label + " " + std::to_string(i), "profile " + std::to_string(10 + i));
        records[i].object = program;
    }
    WriteFileBytes(path, EncodePackage(records));
    return path;
}

}  // namespace

int main()
{
    RecorderLog log;   // each recorder writes a line once it runs
    std::string folder = MakeTempFolder("bench-status");
    std::string other = folder + "\\other.exe";
    CopyFileA(RecorderPath().c_str(), other.c_str(), FALSE);
    std::vector<HANDLE> started;
    // The package's own show a window; the others only wait, as a display serves a few hundred
    // windowed programs at most.
    for (int i = 0; i < RUNNING; ++i)
        started.push_back(Start(RecorderPath(), "window mine " + std::to_string(i)));
    for (int i = 0; i < OTHERS; ++i)
        started.push_back(Start(other, "hold other " + std::to_string(i)));
    if (log.waitFor(RUNNING + OTHERS, 300000).size() < RUNNING + OTHERS)
        printf("warning: not every process started\n");

    std::string mine = Package(folder + "\\Mine.mwpack", RecorderPath(), "mine");
    std::string shared = Package(folder + "\\Shared.mwpack", other, "absent");
    std::vector<double> bare, status, sharing;
    size_t processes = 0, running = 0, runningShared = 0;
    for (int round = 0; round < 9; ++round) {
        double start = MillisecondsNow();
        processes = BareListing();
        bare.push_back(MillisecondsNow() - start);
        status.push_back(Status(mine, &running));
        sharing.push_back(Status(shared, &runningShared));
    }
    double base = Median(bare);
    printf("%u processes running; medians of 9 rounds in one process\n", (unsigned)processes);
    printf("bare process listing (tool-help snapshot): %8.2f ms\n", base);
    printf("mwpack status, %d profiles, %u running:     %8.2f ms  (%.1fx the listing)\n", PROFILES, (unsigned)running,
           Median(status), Median(status) / base);
    printf("the same, all %d others of its program:   %8.2f ms  (%.1fx the listing; %u running)\n", OTHERS,
           Median(sharing), Median(sharing) / base, (unsigned)runningShared);

    for (HANDLE process : started) {
        if (!process)
            continue;
        TerminateProcess(process, 0);   // our own children
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
    }
    RemoveTree(folder);
    return 0;
}

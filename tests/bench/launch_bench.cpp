// Launching 50 "Executable" profiles with Marlowin.exe, against a program that only calls
// CreateProcessA for the same 50 command lines.
#include <windows.h>
#include <stdio.h>
#include <string>
#include <vector>

#include "tests/bench/bench_figures.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

double TimeRun(const std::string& commandLine)
{
    double begin = MillisecondsNow();
    RunResult run = RunCommandLine(commandLine, 60000);
    double seconds = (MillisecondsNow() - begin) / 1000.0;
    if (!run.finished || run.exitCode != 0)
        printf("warning: %s ended with %lu\n", commandLine.c_str(), run.exitCode);
    return seconds;
}

}  // namespace

int main()
{
    SetEnvironmentVariableA("MW_RECORD_LOG", nullptr);   // the witness ends at once without a log
    std::string folder = MakeTempFolder("bench-launch");
    std::vector<RecordSpec> records(50);
    std::string lines;
    for (int i = 0; i < 50; ++i) {
        records[i] = RecorderRecord(std::to_string(i), "profile " + std::to_string(100 + i), "C:\\");
        lines += RecorderPath() + " " + std::to_string(i) + "\n";
    }
    std::string package = folder + "\\fifty.mwpack";
    WriteFileBytes(package, EncodePackage(records));
    std::string lineFile = folder + "\\lines.txt";
    WriteFileBytes(lineFile, lines);

    std::string marlowin = "\"" + MarlowinPath() + "\" " + package;
    std::string baseline = "\"" + BinFolder() + "\\launch_baseline.exe\" " + lineFile;
    std::vector<double> ours, theirs;
    for (int round = 0; round < 9; ++round) {
        ours.push_back(TimeRun(marlowin));
        Sleep(1500);   // let the fifty witnesses end before the next round
        theirs.push_back(TimeRun(baseline));
        Sleep(1500);
    }
    double a = Median(ours), b = Median(theirs);
    printf("launch 50 profiles: Marlowin.exe %.1f ms, CreateProcessA baseline %.1f ms (medians of 9)\n",
           a * 1000, b * 1000);
    printf("ratio Marlowin / baseline: %.3f (goal at most 1.10)\n", a / b);
    RemoveTree(folder);
    return 0;
}

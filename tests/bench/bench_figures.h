// Figures that the benchmarks report: the middle of their timings, and what a process of this Wine
// prefix holds, as the host and as Wine see it.
#ifndef MARLOWIN_BENCH_FIGURES_H
#define MARLOWIN_BENCH_FIGURES_H

#include <windows.h>
#include <vector>

namespace testing_support {

double Median(std::vector<double> samples);

// Private_Clean + Private_Dirty of the host process that runs the program of this Wine prefix whose
// command line holds both texts: what the host really keeps, as its memory statistics count it.
// 0 where the host's process table cannot be read (not under Wine, or no such process).
unsigned long HostPrivateKiB(const char* program, const char* argument);

// Committed private memory, region by region: Wine reports no private bytes for other processes.
SIZE_T CommittedPrivateBytes(HANDLE process);

}  // namespace testing_support

#endif

// What a process of this Wine prefix holds, as the host and as Wine see it, for benchmarks.
#ifndef MARLOWIN_PROCESS_FIGURES_H
#define MARLOWIN_PROCESS_FIGURES_H

#include <windows.h>

namespace testing_support {

// Private_Clean + Private_Dirty of the host process that runs the program of this Wine prefix whose
// command line holds both texts: what the host really keeps, as its memory statistics count it.
// 0 where the host's process table cannot be read (not under Wine, or no such process).
unsigned long HostPrivateKiB(const char* program, const char* argument);

// Committed private memory, region by region: Wine reports no private bytes for other processes.
SIZE_T CommittedPrivateBytes(HANDLE process);

struct HandleFigures {
    long total;   // -1 when they cannot be counted
    long named;   // of those, the ones whose object's name ends with the text asked for
};
// Open handles of the process (which this one may duplicate handles from).
HandleFigures CountHandles(HANDLE process, const wchar_t* nameEnd);

}  // namespace testing_support

#endif

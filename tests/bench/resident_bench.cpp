// Footprint of the resident Marlowin.exe after its splash against two floors: a program that only holds
// a hidden dialog and one tray icon, and the same after decoding the splash logo through OLE, which the
// resident start cannot avoid. Also its idle CPU time and the size of the executable. Prints figures only.
#define PSAPI_VERSION 2
#include <windows.h>
#include <psapi.h>
#include <stdio.h>
#include <string.h>

#include "tests/bench/bench_figures.h"
#include "tests/support/resident_copy.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

struct Footprint {
    SIZE_T privateBytes, workingSet;
    unsigned long residentPrivateKiB;   // 0 where the host's process table cannot be read
};

Footprint Measure(HANDLE process, const char* program, const char* argument)
{
    PROCESS_MEMORY_COUNTERS counters;
    ZeroMemory(&counters, sizeof counters);
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(process, &counters, sizeof counters);
    Footprint footprint = { CommittedPrivateBytes(process), counters.WorkingSetSize,
                            HostPrivateKiB(program, argument) };
    return footprint;
}

// A floor program, baseline_tray.exe with the argument, up with its dialog of that caption.
struct Floor {
    Floor(const char* argument, const char* windowCaption)
        : process("\"" + BinFolder() + "\\baseline_tray.exe\" " + argument), caption(windowCaption)
    {
        up = process.started() &&
             WaitUntil([&] { return (window = FindWindowA("#32770", caption)) != nullptr; }, 20000);
    }
    ~Floor() { process.close(window); }
    ChildProcess process;
    const char* caption;
    HWND window = nullptr;
    bool up = false;
};

void PrintRow(const char* name, const Footprint& footprint)
{
    printf("%-24s %12lu %14.0f %16.0f\n", name, footprint.residentPrivateKiB, footprint.privateBytes / 1024.0,
           footprint.workingSet / 1024.0);
}

void PrintRatio(const char* name, const Footprint& program, const Footprint& floor, const char* goal)
{
    printf("%-24s", name);
    if (floor.residentPrivateKiB && program.residentPrivateKiB)
        printf(" %12.2f", (double)program.residentPrivateKiB / floor.residentPrivateKiB);
    else
        printf(" %12s", "-");
    if (floor.privateBytes && floor.workingSet)
        printf(" %14.2f %16.2f", (double)program.privateBytes / floor.privateBytes,
               (double)program.workingSet / floor.workingSet);
    printf("%s\n", goal);
}

unsigned long long CpuMilliseconds(HANDLE process)
{
    FILETIME created, ended, kernel, user;
    if (!GetProcessTimes(process, &created, &ended, &kernel, &user))
        return 0;
    ULARGE_INTEGER k, u;
    k.LowPart = kernel.dwLowDateTime;
    k.HighPart = kernel.dwHighDateTime;
    u.LowPart = user.dwLowDateTime;
    u.HighPart = user.dwHighDateTime;
    return (k.QuadPart + u.QuadPart) / 10000;
}

// Size of the file and whether its symbol table has been stripped.
void ReportExecutable()
{
    HANDLE file = CreateFileA(MarlowinPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        printf("Marlowin.exe not found beside the benchmark\n");
        return;
    }
    DWORD size = GetFileSize(file, nullptr);
    IMAGE_DOS_HEADER dos;
    IMAGE_NT_HEADERS32 nt;
    DWORD got = 0;
    bool stripped = false;
    if (ReadFile(file, &dos, sizeof dos, &got, nullptr) && got == sizeof dos &&
        SetFilePointer(file, dos.e_lfanew, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
        ReadFile(file, &nt, sizeof nt, &got, nullptr) && got == sizeof nt)
        stripped = nt.FileHeader.PointerToSymbolTable == 0 && nt.FileHeader.NumberOfSymbols == 0;
    CloseHandle(file);
    printf("Marlowin.exe with all resources: %lu bytes (%.1f KiB), symbols %s\n", size, size / 1024.0,
           stripped ? "stripped" : "NOT stripped");
}

}  // namespace

int main()
{
    ReportExecutable();
    if (PublishedWindow()) {
        printf("a resident Marlowin is already running; end it first (Marlowin.exe U)\n");
        return 1;
    }

    ResidentCopy marlowin;
    bool resident = marlowin.waitPastSplash();
    Floor plain("plain", "Marlowin baseline");
    Floor ole("ole", "Marlowin OLE floor");
    if (!resident || !plain.up || !ole.up) {
        printf("could not start %s\n", !resident ? "the resident Marlowin.exe" : "baseline_tray.exe");
        return 1;
    }
    Sleep(1000);  // all settle in their message loops

    // Idle first: measuring memory makes Wine run code in the measured process.
    unsigned long long before = CpuMilliseconds(marlowin.handle());
    unsigned long long floorBefore = CpuMilliseconds(ole.process.handle());
    Sleep(10000);
    unsigned long long after = CpuMilliseconds(marlowin.handle());
    unsigned long long floorAfter = CpuMilliseconds(ole.process.handle());
    printf("CPU time over 10 idle seconds: Marlowin.exe %llu ms -> %llu ms (grew %llu ms; goal 0), "
           "OLE floor grew %llu ms\n\n",
           before, after, after - before, floorAfter - floorBefore);

    Footprint program = Measure(marlowin.handle(), "Marlowin.exe", "Marlowin.exe");
    Footprint oleFloor = Measure(ole.process.handle(), "baseline_tray.exe", "ole");
    Footprint least = Measure(plain.process.handle(), "baseline_tray.exe", "plain");
    // The host's count is what the goal is about; Wine's own view of the process comes beside it.
    printf("%-24s %12s %14s %16s\n", "after the splash", "private KiB", "committed KiB", "working set KiB");
    PrintRow("Marlowin.exe", program);
    PrintRow("OLE floor", oleFloor);
    PrintRow("dialog + tray icon", least);
    PrintRatio("ratio to the OLE floor", program, oleFloor, "   (goal: at most 1.20)");
    PrintRatio("ratio to dialog + tray", program, least, "");
    return 0;
}

// Footprint of the resident Marlowin.exe after its splash, against a program that only holds a hidden
// dialog and one tray icon; its idle CPU time; the size of the executable. Prints figures only.
#define PSAPI_VERSION 2
#include <windows.h>
#include <psapi.h>
#include <stdio.h>
#include <string.h>

#include "tests/support/resident_copy.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

struct Footprint {
    SIZE_T privateBytes, workingSet;
};

// Committed private memory, region by region: Wine reports no private bytes for other processes.
SIZE_T CommittedPrivateBytes(HANDLE process)
{
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION region;
    const char* address = nullptr;
    while (VirtualQueryEx(process, address, &region, sizeof region) == sizeof region && region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            total += region.RegionSize;
        const char* next = (const char*)region.BaseAddress + region.RegionSize;
        if (next <= address)
            break;
        address = next;
    }
    return total;
}

Footprint Measure(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS counters;
    ZeroMemory(&counters, sizeof counters);
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(process, &counters, sizeof counters);
    Footprint footprint = { CommittedPrivateBytes(process), counters.WorkingSetSize };
    return footprint;
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
    ChildProcess baseline("\"" + BinFolder() + "\\baseline_tray.exe\"");
    HWND baselineWindow = nullptr;
    bool baselineUp = baseline.started() &&
        WaitUntil([&] { return (baselineWindow = FindWindowA("#32770", "Marlowin baseline")) != nullptr; }, 20000);
    if (!resident || !baselineUp) {
        printf("could not start %s\n", !resident ? "the resident Marlowin.exe" : "baseline_tray.exe");
        baseline.close(baselineWindow);
        return 1;
    }
    Sleep(1000);  // both settle in their message loops

    // Idle first: measuring memory makes Wine run code in the measured process.
    unsigned long long before = CpuMilliseconds(marlowin.handle());
    unsigned long long baselineBefore = CpuMilliseconds(baseline.handle());
    Sleep(10000);
    unsigned long long after = CpuMilliseconds(marlowin.handle());
    unsigned long long baselineAfter = CpuMilliseconds(baseline.handle());
    printf("CPU time over 10 idle seconds: Marlowin.exe %llu ms -> %llu ms (grew %llu ms; goal 0), "
           "baseline grew %llu ms\n\n",
           before, after, after - before, baselineAfter - baselineBefore);

    Footprint program = Measure(marlowin.handle());
    Footprint least = Measure(baseline.handle());
    printf("%-22s %14s %16s\n", "after the splash", "private KiB", "working set KiB");
    printf("%-22s %14.0f %16.0f\n", "Marlowin.exe", program.privateBytes / 1024.0, program.workingSet / 1024.0);
    printf("%-22s %14.0f %16.0f\n", "dialog + tray icon", least.privateBytes / 1024.0, least.workingSet / 1024.0);
    if (least.privateBytes && least.workingSet)
        printf("%-22s %14.2f %16.2f   (goal: at most 1.20)\n", "ratio",
               (double)program.privateBytes / least.privateBytes, (double)program.workingSet / least.workingSet);

    baseline.close(baselineWindow);
    return 0;
}

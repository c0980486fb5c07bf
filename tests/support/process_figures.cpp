#include "tests/support/process_figures.h"

#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#include <string>
#include <vector>
#include <winternl.h>

#include "tests/support/test_support.h"

namespace testing_support {

namespace {

// The WINEPREFIX entry of a host process's environment. Files of the host's /proc are read through
// Wine's drive Z:.
std::string PrefixEntry(const std::string& procFolder)
{
    // Entries are ended by a zero byte; one in front makes the first entry look like the others.
    std::string environment = std::string(1, '\0') + ReadFileBytes(procFolder + "\\environ");
    const std::string key("\0WINEPREFIX=", 12);
    size_t at = environment.find(key);
    if (at == std::string::npos)
        return std::string();
    return environment.substr(at + 1, environment.find('\0', at + 1) - at - 1);
}

}  // namespace

unsigned long HostPrivateKiB(const char* program, const char* argument)
{
    std::string ownPrefix = PrefixEntry("Z:\\proc\\self");
    if (ownPrefix.empty())
        return 0;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("Z:\\proc\\*", &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    std::string folder;
    do {
        if (found.cFileName[0] < '1' || found.cFileName[0] > '9')
            continue;
        std::string candidate = std::string("Z:\\proc\\") + found.cFileName;
        std::string commandLine = ReadFileBytes(candidate + "\\cmdline");
        for (char& c : commandLine)
            if (c == '\0')
                c = ' ';
        if (commandLine.find(program) != std::string::npos && commandLine.find(argument) != std::string::npos &&
            PrefixEntry(candidate) == ownPrefix) {
            folder = candidate;
            break;
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    if (folder.empty())
        return 0;
    std::string maps = ReadFileBytes(folder + "\\smaps");
    unsigned long total = 0;
    for (const char* key : { "\nPrivate_Clean:", "\nPrivate_Dirty:" })
        for (size_t at = maps.find(key); at != std::string::npos; at = maps.find(key, at + 1))
            total += strtoul(maps.c_str() + at + strlen(key), nullptr, 10);
    return total;
}

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

HandleFigures CountHandles(HANDLE process, const wchar_t* nameEnd)
{
    // Wine's GetProcessHandleCount answers 0 for another process; its table of all handles has them.
    HandleFigures figures = { -1, 0 };
    typedef NTSTATUS(WINAPI * QuerySystemProc)(SYSTEM_INFORMATION_CLASS, PVOID, ULONG, PULONG);
    typedef NTSTATUS(WINAPI * QueryObjectProc)(HANDLE, OBJECT_INFORMATION_CLASS, PVOID, ULONG, PULONG);
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    QuerySystemProc querySystem = (QuerySystemProc)(void*)GetProcAddress(ntdll, "NtQuerySystemInformation");
    QueryObjectProc queryObject = (QueryObjectProc)(void*)GetProcAddress(ntdll, "NtQueryObject");
    if (!querySystem || !queryObject)
        return figures;
    std::vector<char> table(1 << 16);
    ULONG needed = 0;
    NTSTATUS status;
    while ((status = querySystem(SystemHandleInformation, table.data(), (ULONG)table.size(), &needed)) ==
               (NTSTATUS)0xC0000004L &&  // STATUS_INFO_LENGTH_MISMATCH
           table.size() < (1u << 26))
        table.resize(needed > table.size() ? needed + 4096 : table.size() * 2);
    if (status != 0)
        return figures;
    const SYSTEM_HANDLE_INFORMATION* handles = (const SYSTEM_HANDLE_INFORMATION*)table.data();
    DWORD id = GetProcessId(process);
    size_t endLength = wcslen(nameEnd);
    figures.total = 0;
    for (ULONG i = 0; i < handles->Count; ++i) {
        if (handles->Handle[i].OwnerPid != id)
            continue;
        ++figures.total;
        HANDLE copy = nullptr;
        if (!DuplicateHandle(process, (HANDLE)(ULONG_PTR)handles->Handle[i].HandleValue, GetCurrentProcess(), &copy,
                             0, FALSE, DUPLICATE_SAME_ACCESS))
            continue;
        union {
            UNICODE_STRING name;
            char bytes[4096];
        } answer;
        ULONG length = 0;
        if (queryObject(copy, (OBJECT_INFORMATION_CLASS)1 /* ObjectNameInformation */, &answer, sizeof answer,
                        &length) == 0) {
            size_t characters = answer.name.Length / sizeof(wchar_t);
            figures.named += characters >= endLength &&
                             wcsncmp(answer.name.Buffer + characters - endLength, nameEnd, endLength) == 0;
        }
        CloseHandle(copy);
    }
    return figures;
}

}  // namespace testing_support

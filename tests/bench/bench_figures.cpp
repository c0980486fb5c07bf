#include "tests/bench/bench_figures.h"

#include <algorithm>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

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

double Median(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

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

}  // namespace testing_support

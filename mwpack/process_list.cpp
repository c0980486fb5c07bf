#include "mwpack/process_list.h"

#include <string.h>
#include <tlhelp32.h>

bool ListProcesses(std::vector<ListedProcess>& processes)
{
    processes.clear();
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        // Windows 95 named the whole path here; the later systems name the file alone.
        const char* slash = strrchr(entry.szExeFile, '\\');
        if (entry.th32ProcessID != 0)
            processes.push_back(
                ListedProcess{ entry.th32ProcessID, entry.th32ParentProcessID, slash ? slash + 1 : entry.szExeFile });
    }
    CloseHandle(snapshot);
    return true;
}

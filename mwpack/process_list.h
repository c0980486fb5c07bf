// The processes running now, as the system's process list names them.
#ifndef MARLOWIN_PROCESS_LIST_H
#define MARLOWIN_PROCESS_LIST_H

#include <windows.h>
#include <string>
#include <vector>

struct ListedProcess {
    DWORD id;
    DWORD parent;       // the process that started it, as the system recorded it
    std::string file;   // the program's file name without its folder, in the system code page
};

// Every process but the system's idle one, from the tool-help snapshot (Windows 2000 and later);
// false when the system gives no snapshot.
bool ListProcesses(std::vector<ListedProcess>& processes);

#endif

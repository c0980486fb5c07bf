// Marlowin.exe has no console to write to.
#include "base/heap.h"

#include <windows.h>

void OutOfMemory()
{
    FatalAppExitA(0, "Out of memory");
    __builtin_unreachable();  // FatalAppExit ends the process; its declaration does not say so
}

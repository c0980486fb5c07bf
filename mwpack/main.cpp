// mwpack.exe: packages from the console, for scripts and version control.
#include <windows.h>
#include <new>

#include "mwpack/invocation.h"

namespace {

// The library would throw, and an uncaught throw aborts with exit code 3 and no word. Every write
// of a package is crash-safe, so ending here leaves each package whole (or whole again on its
// next read). Nothing is allocated on the way out.
void OutOfMemory()
{
    static const char MESSAGE[] = "mwpack: not enough memory; no package was changed\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), MESSAGE, sizeof MESSAGE - 1, &written, nullptr);
    ExitProcess(EXIT_PROBLEMS);
}

}  // namespace

int main(int argc, char** argv)
{
    std::set_new_handler(OutOfMemory);
    std::vector<std::string> arguments(argv + 1, argv + argc);
    StandardConsole console;
    return RunMwpack(arguments, console);
}

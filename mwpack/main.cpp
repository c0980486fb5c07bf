// mwpack.exe: packages from the console, for scripts and version control. What the library would
// throw, running out of memory among it, ends the program in no_exceptions.cpp.
#include "mwpack/invocation.h"

// The arguments as the system holds them, in UTF-16: the narrow ones would already carry '?' for
// a character outside the code page, and a name with one would be refused for the wrong reason.
int wmain(int argc, wchar_t** argv)
{
    std::vector<std::wstring> arguments(argv + 1, argv + argc);
    StandardConsole console;
    return RunMwpackWide(arguments, console);
}

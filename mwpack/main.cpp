// mwpack.exe: packages from the console, for scripts and version control. What the library would
// throw, running out of memory among it, ends the program in no_exceptions.cpp.
#include "mwpack/invocation.h"

int main(int argc, char** argv)
{
    std::vector<std::string> arguments(argv + 1, argv + argc);
    StandardConsole console;
    return RunMwpack(arguments, console);
}

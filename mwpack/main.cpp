// mwpack.exe: packages from the console, for scripts and version control.
#include "mwpack/invocation.h"

int main(int argc, char** argv)
{
    std::vector<std::string> arguments(argv + 1, argv + argc);
    StandardConsole console;
    return RunMwpack(arguments, console);
}

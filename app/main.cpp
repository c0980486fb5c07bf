// Entry: a package path launches that package; option letters lead to the resident start.
#include <windows.h>
#include <stdlib.h>
#include <string.h>

#include "base/app_state.h"
#include "app/command_line.h"
#include "app/resident.h"
#include "launch/launch_package.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // Read the raw command line: the startup code's own splitting must not decide what the argument is.
    const char* argument = SkipProgramName(GetCommandLineA());
    bool unload = false;
    if (argument[0] != '\0') {
        size_t size = strlen(argument) + 1;
        char* copy = (char*)calloc(size, 1);
        if (!copy)
            return 0;
        memcpy(copy, argument, size);
        EntryChoice choice = ReadArgument(copy);
        switch (choice.action) {
        case ENTRY_QUOTE_ERROR:
            MessageBoxA(nullptr, "There are no closing inverted commas", "MW, a error of the command line", MB_OK);
            free(copy);
            return 0;
        case ENTRY_LAUNCH:
            LaunchPackageAt(choice.text);
            free(copy);
            return 0;
        case ENTRY_IGNORE:
            free(copy);
            return 0;
        case ENTRY_RESIDENT:
            break;
        }
        unload = choice.unload;
        bool wait = choice.wait;
        free(copy);
        if (wait)
            Sleep(5000);
    }
    AppInstance = instance;
    return RunResident(unload);
}

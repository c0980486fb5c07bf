#include "launch/launch_rules.h"

#include <string.h>

LaunchWay ResolveLaunchWay(const char* type)
{
    if (strcmp(type, "Auto") == 0)
        return LAUNCH_AUTO;
    if (strcmp(type, "Executable") == 0)
        return LAUNCH_EXECUTABLE;
    if (strcmp(type, "Document/URL") == 0)
        return LAUNCH_DOCUMENT;
    return LAUNCH_AUTO;
}

int ResolveShowCommand(const char* window)
{
    if (strcmp(window, "Minimize") == 0)
        return SHOW_MINIMIZED;
    if (strcmp(window, "Maximize") == 0)
        return SHOW_MAXIMIZED;
    return SHOW_NORMAL;
}

bool ComposeCommandLine(const char* object, const char* arguments, char* buffer, size_t size)
{
    if (size == 0)
        return false;
    buffer[0] = '\0';
    bool quote = strchr(object, ' ') != nullptr;
    size_t objectLength = strlen(object);
    size_t argumentsLength = strlen(arguments);
    size_t needed = objectLength + (quote ? 2 : 0) + (argumentsLength ? 1 + argumentsLength : 0) + 1;
    if (needed > size)
        return false;

    char* at = buffer;
    if (quote)
        *at++ = '"';
    memcpy(at, object, objectLength);
    at += objectLength;
    if (quote)
        *at++ = '"';
    if (argumentsLength) {
        *at++ = ' ';
        memcpy(at, arguments, argumentsLength);
        at += argumentsLength;
    }
    *at = '\0';
    return true;
}

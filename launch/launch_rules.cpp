#include "launch/launch_rules.h"

#include <string.h>

LaunchWay ResolveLaunchWay(const char* type)
{
    int row = FindProfileType(type);
    return PROFILE_TYPES[row < 0 ? 0 : row].way;
}

ShowCommand ResolveShowCommand(const char* window)
{
    int row = FindWindowChoice(window);
    return WINDOW_CHOICES[row < 0 ? 0 : row].show;
}

bool IsKnownType(const char* type)
{
    return FindProfileType(type) >= 0;
}

bool IsKnownWindow(const char* window)
{
    return FindWindowChoice(window) >= 0;
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

const char* SkipProgramName(const char* commandLine)
{
    const unsigned char* at = (const unsigned char*)commandLine;
    if (*at == '"') {
        ++at;
        while (*at && *at != '"')
            ++at;
        if (*at == '"')
            ++at;
    } else {
        while (*at > ' ')
            ++at;
    }
    while (*at >= 1 && *at <= ' ')
        ++at;
    return (const char*)at;
}

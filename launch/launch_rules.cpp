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

const char* StartFolder(const char* object, const char* directory, char* buffer, size_t size)
{
    if (directory[0] != '\0')
        return directory;
    if (object[0] == '"')
        ++object;
    const char* slash = strrchr(object, '\\');
    const char* forward = strrchr(object, '/');
    if (!slash || (forward && forward > slash))
        slash = forward;
    const char* colon = object[0] != '\0' && object[1] == ':' ? object + 1 : nullptr;
    const char* end = nullptr;
    if (slash)
        // "C:\x.exe" and "\x.exe" start in a root, which keeps its backslash.
        end = slash == object || (colon && slash == colon + 1) ? slash + 1 : slash;
    else if (colon)
        end = colon + 1;   // "C:x.exe": the current folder of drive C
    size_t length = end ? (size_t)(end - object) : 0;
    if (length == 0 || length >= size)
        return nullptr;
    memcpy(buffer, object, length);
    buffer[length] = '\0';
    return buffer;
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

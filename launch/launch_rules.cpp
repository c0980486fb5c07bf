#include "launch/launch_rules.h"

#include <string.h>

namespace {

struct NamedValue {
    const char* text;
    int value;
};

const NamedValue TYPES[] = { { "Auto", LAUNCH_AUTO }, { "Executable", LAUNCH_EXECUTABLE },
                             { "Document/URL", LAUNCH_DOCUMENT } };
const NamedValue WINDOWS[] = { { "Normal", SHOW_NORMAL }, { "Minimize", SHOW_MINIMIZED },
                               { "Maximize", SHOW_MAXIMIZED } };

template <size_t N>
const NamedValue* Find(const NamedValue (&table)[N], const char* text)
{
    for (size_t i = 0; i < N; ++i)
        if (strcmp(text, table[i].text) == 0)
            return &table[i];
    return nullptr;
}

}  // namespace

LaunchWay ResolveLaunchWay(const char* type)
{
    const NamedValue* known = Find(TYPES, type);
    return known ? (LaunchWay)known->value : LAUNCH_AUTO;
}

int ResolveShowCommand(const char* window)
{
    const NamedValue* known = Find(WINDOWS, window);
    return known ? known->value : SHOW_NORMAL;
}

bool IsKnownType(const char* type)
{
    return Find(TYPES, type) != nullptr;
}

bool IsKnownWindow(const char* window)
{
    return Find(WINDOWS, window) != nullptr;
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

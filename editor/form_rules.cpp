#include "editor/form_rules.h"

#include <string.h>

namespace {

const TypeRule RULES[] = {
    { false, false, false, false },   // Auto
    { false, true, true, false },     // Executable
    { true, false, false, true },     // Document/URL
};

bool Is(char c, char lower)
{
    return c == lower || c == lower - ('a' - 'A');
}

}  // namespace

const TypeRule* RuleForType(int item)
{
    if (item < TYPE_AUTO || item > TYPE_DOCUMENT)
        return nullptr;
    return &RULES[item];
}

DetectedType DetectType(const char* path)
{
    DetectedType result = { TYPE_DOCUMENT, false };
    size_t length = strlen(path);
    if (length < 3)
        return result;
    char c3 = path[length - 3], c2 = path[length - 2], c1 = path[length - 1];
    if ((Is(c3, 'e') && Is(c2, 'x') && Is(c1, 'e')) || (Is(c3, 'c') && Is(c2, 'o') && Is(c1, 'm'))) {
        result.item = TYPE_EXECUTABLE;
    } else if (Is(c3, 's') && Is(c2, 'c') && Is(c1, 'r')) {
        result.item = TYPE_EXECUTABLE;
        result.screenSaver = true;
    }
    return result;
}

PathParts SplitPath(const char* path)
{
    PathParts parts = { false, 0, nullptr };
    const char* backslash = strrchr(path, '\\');
    if (backslash) {
        parts.present = true;
        parts.folderLength = (size_t)(backslash - path);
        parts.file = backslash + 1;
    }
    return parts;
}

void TitleSpan(const char* path, size_t* start, size_t* length)
{
    const char* backslash = strrchr(path, '\\');
    const char* last = backslash ? backslash + 1 : path;
    const char* dot = strrchr(last, '.');
    *start = (size_t)(last - path);
    *length = dot ? (size_t)(dot - last) : strlen(last);
}

#include "store/path_rules.h"

#include <string.h>

#include "store/package_names.h"

DetectedType DetectType(const char* path)
{
    DetectedType result = { LAUNCH_DOCUMENT, false };
    size_t length = strlen(path);
    if (EndsWithLetters(path, length, "exe") || EndsWithLetters(path, length, "com")) {
        result.way = LAUNCH_EXECUTABLE;
    } else if (EndsWithLetters(path, length, "scr")) {
        result.way = LAUNCH_EXECUTABLE;
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

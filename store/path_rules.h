// What a file's path says about the profile that starts it: the launch way its name suggests, its
// folder and file parts, and its title. The editor's form and mwpack's imports both follow these.
#ifndef MARLOWIN_PATH_RULES_H
#define MARLOWIN_PATH_RULES_H

#include <stddef.h>

#include "store/profile_vocabulary.h"

struct DetectedType {
    LaunchWay way;       // LAUNCH_EXECUTABLE or LAUNCH_DOCUMENT
    bool screenSaver;
};

// Looks only at the last three characters, in either case; no dot is required.
DetectedType DetectType(const char* path);

// The parts around the last backslash. Without a backslash both are absent.
struct PathParts {
    bool present;
    size_t folderLength;     // the folder is path[0, folderLength)
    const char* file;        // the text after the backslash
};
PathParts SplitPath(const char* path);

// The package's name as shown by the editor: the last part of the path without the
// text from its last dot on; the whole last part when it has no dot.
void TitleSpan(const char* path, size_t* start, size_t* length);

#endif

// Rules of the profile form and the editor's title that need no window system.
#ifndef MARLOWIN_FORM_RULES_H
#define MARLOWIN_FORM_RULES_H

#include <stddef.h>

#include "store/profile_vocabulary.h"

// The rule of the Type combo box's item, which is the row of the type table; null when no
// item is selected.
const FormRule* RuleForType(int item);

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

// Rules of the profile form and the editor's title that need no window system.
#ifndef MARLOWIN_FORM_RULES_H
#define MARLOWIN_FORM_RULES_H

#include <stddef.h>

// Fixed item indices of the Type combo box.
enum TypeItem {
    TYPE_NONE = -1,
    TYPE_AUTO = 0,
    TYPE_EXECUTABLE = 1,
    TYPE_DOCUMENT = 2,
};

// Which of the four type-dependent controls an item enables.
struct TypeRule {
    bool command;
    bool directory;      // also its browse button
    bool arguments;
    bool proposeOpen;    // an empty Command becomes "open"
};

// The rule for a Type item, or null when no item is selected.
const TypeRule* RuleForType(int item);

struct DetectedType {
    int item;            // TYPE_EXECUTABLE or TYPE_DOCUMENT
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

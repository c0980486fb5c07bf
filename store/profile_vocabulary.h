// The texts that a profile's Type and Window fields hold, and what each means: the one table
// that the launcher, the checks of mwpack and the editor's combo boxes and form all follow. The
// editor lists the rows in this order, and the first row of each table is what any text not in
// it means. A new type with an existing launch way is one more row here.
#ifndef MARLOWIN_PROFILE_VOCABULARY_H
#define MARLOWIN_PROFILE_VOCABULARY_H

#include <stddef.h>

enum LaunchWay { LAUNCH_AUTO, LAUNCH_EXECUTABLE, LAUNCH_DOCUMENT };

// Which of the editor form's type-dependent fields a type uses.
struct FormRule {
    bool command;
    bool directory;      // also its browse button
    bool arguments;
    bool proposeOpen;    // an empty Command becomes "open"
};

struct ProfileType {
    const char* text;
    LaunchWay way;
    FormRule form;
};

// The platform's show commands (SW_SHOWNORMAL, SW_SHOWMAXIMIZED, SW_MINIMIZE), checked against
// its headers where they are used.
enum ShowCommand { SHOW_NORMAL = 1, SHOW_MAXIMIZED = 3, SHOW_MINIMIZED = 6 };

struct WindowChoice {
    const char* text;
    ShowCommand show;
};

inline constexpr ProfileType PROFILE_TYPES[] = {
    { "Auto", LAUNCH_AUTO, { false, false, false, false } },
    { "Executable", LAUNCH_EXECUTABLE, { false, true, true, false } },
    { "Document/URL", LAUNCH_DOCUMENT, { true, false, false, true } },
};

inline constexpr WindowChoice WINDOW_CHOICES[] = {
    { "Normal", SHOW_NORMAL },
    { "Minimize", SHOW_MINIMIZED },
    { "Maximize", SHOW_MAXIMIZED },
};

enum {
    PROFILE_TYPE_COUNT = sizeof PROFILE_TYPES / sizeof PROFILE_TYPES[0],
    WINDOW_CHOICE_COUNT = sizeof WINDOW_CHOICES / sizeof WINDOW_CHOICES[0],
};

// The row of exactly this text, byte for byte; -1 for any other text.
int FindProfileType(const char* text);
int FindWindowChoice(const char* text);

// The first row of a launch way; -1 when no row has it.
int ProfileTypeOf(LaunchWay way);

// The texts a program that makes profiles writes for a launch way and a show command (the first
// row of each), so that no other place spells them.
const char* TypeTextOf(LaunchWay way);
const char* WindowTextOf(ShowCommand show);

#endif

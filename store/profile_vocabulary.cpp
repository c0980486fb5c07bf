#include "store/profile_vocabulary.h"

#include <string.h>

static_assert(PROFILE_TYPES[0].way == LAUNCH_AUTO, "an unknown type launches as Auto");
static_assert(WINDOW_CHOICES[0].show == SHOW_NORMAL, "an unknown window text shows normally");

int FindProfileType(const char* text)
{
    for (int i = 0; i < PROFILE_TYPE_COUNT; ++i)
        if (strcmp(text, PROFILE_TYPES[i].text) == 0)
            return i;
    return -1;
}

int FindWindowChoice(const char* text)
{
    for (int i = 0; i < WINDOW_CHOICE_COUNT; ++i)
        if (strcmp(text, WINDOW_CHOICES[i].text) == 0)
            return i;
    return -1;
}

int ProfileTypeOf(LaunchWay way)
{
    for (int i = 0; i < PROFILE_TYPE_COUNT; ++i)
        if (PROFILE_TYPES[i].way == way)
            return i;
    return -1;
}

const char* TypeTextOf(LaunchWay way)
{
    int row = ProfileTypeOf(way);
    return PROFILE_TYPES[row < 0 ? 0 : row].text;
}

const char* WindowTextOf(ShowCommand show)
{
    for (const WindowChoice& choice : WINDOW_CHOICES)
        if (choice.show == show)
            return choice.text;
    return WINDOW_CHOICES[0].text;
}

// The window side of a profile record. Every program that holds records links these with their
// class (they fill its table of operations), though only the editor calls them.
#ifndef MARLOWIN_PROFILE_WINDOW_H
#define MARLOWIN_PROFILE_WINDOW_H

#include <windows.h>

// The dialog's profile list box, through a cache that holds for a dialog on any thread.
HWND ProfileListBox(HWND dialog);

#endif

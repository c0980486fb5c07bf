// A shortcut's hot key as a user types it ("Ctrl+Alt+W") and as the shell keeps it: the key's
// virtual-key code in the low byte, the modifiers in the high one. Pure rules: they build without
// the window system.
#ifndef MARLOWIN_HOTKEY_H
#define MARLOWIN_HOTKEY_H

#include <stdint.h>

#include <string>

// The shell's hot key word for the text: modifiers (Ctrl or Control, Alt, Shift, in any order and
// letter case) joined by "+" before one key (a letter, a digit, F1 to F24, or one of Home, End,
// Insert, Delete, PageUp, PageDown, Up, Down, Left, Right, Space). False, with why, for any other
// text, and for keys without Ctrl or Alt, which the shell would take from every program.
bool ParseHotkey(const std::string& text, uint16_t& hotkey, std::string& error);

// The text of a hot key word in the form above; empty for none.
std::string HotkeyText(uint16_t hotkey);

#endif

#include "mwpack/hotkey.h"

#include <stddef.h>

namespace {

// The shell's modifier bits (HOTKEYF_SHIFT, HOTKEYF_CONTROL, HOTKEYF_ALT) and the virtual-key
// codes of the named keys, spelt out so that the rules need no window headers.
const uint16_t SHIFT = 0x01, CONTROL = 0x02, ALT = 0x04;

struct NamedKey {
    const char* name;
    uint8_t code;
};
const NamedKey NAMED_KEYS[] = {
    { "Space", 0x20 }, { "PageUp", 0x21 }, { "PageDown", 0x22 }, { "End", 0x23 },    { "Home", 0x24 },
    { "Left", 0x25 },  { "Up", 0x26 },     { "Right", 0x27 },    { "Down", 0x28 },   { "Insert", 0x2D },
    { "Delete", 0x2E },
};
const uint8_t F1 = 0x70;

char Upper(char c)
{
    return c >= 'a' && c <= 'z' ? (char)(c - ('a' - 'A')) : c;
}

bool SameLetters(const std::string& a, const char* b)
{
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (Upper(a[i]) != Upper(b[i]))
            return false;
    return i == a.size() && !b[i];
}

// The key's code, or 0 for a text that names none.
uint8_t KeyCode(const std::string& key)
{
    if (key.size() == 1 && ((Upper(key[0]) >= 'A' && Upper(key[0]) <= 'Z') || (key[0] >= '0' && key[0] <= '9')))
        return (uint8_t)Upper(key[0]);
    if (key.size() >= 2 && key.size() <= 3 && Upper(key[0]) == 'F') {
        int number = 0;
        for (size_t i = 1; i < key.size(); ++i) {
            if (key[i] < '0' || key[i] > '9')
                return 0;
            number = number * 10 + (key[i] - '0');
        }
        return number >= 1 && number <= 24 && key[1] != '0' ? (uint8_t)(F1 + number - 1) : 0;
    }
    for (const NamedKey& named : NAMED_KEYS)
        if (SameLetters(key, named.name))
            return named.code;
    return 0;
}

}  // namespace

bool ParseHotkey(const std::string& text, uint16_t& hotkey, std::string& error)
{
    uint16_t modifiers = 0;
    size_t start = 0;
    for (;;) {
        size_t plus = text.find('+', start);
        std::string part = text.substr(start, plus == std::string::npos ? std::string::npos : plus - start);
        if (plus == std::string::npos) {
            uint8_t code = KeyCode(part);
            if (!code) {
                error = "\"" + part + "\" is not a key a shortcut can have (a letter, a digit, F1 to F24, Home, "
                        "End, Insert, Delete, PageUp, PageDown, Up, Down, Left, Right or Space)";
                return false;
            }
            if (!(modifiers & (CONTROL | ALT))) {
                error = "a shortcut key needs Ctrl or Alt, such as Ctrl+Alt+" + part;
                return false;
            }
            hotkey = (uint16_t)(modifiers << 8 | code);
            return true;
        }
        uint16_t modifier = SameLetters(part, "Ctrl") || SameLetters(part, "Control") ? CONTROL
                            : SameLetters(part, "Alt")                                ? ALT
                            : SameLetters(part, "Shift")                              ? SHIFT
                                                                                      : 0;
        if (!modifier || (modifiers & modifier)) {
            error = "\"" + part + "\" is not Ctrl, Alt or Shift, or is given twice";
            return false;
        }
        modifiers |= modifier;
        start = plus + 1;
    }
}

std::string HotkeyText(uint16_t hotkey)
{
    uint8_t code = (uint8_t)(hotkey & 0xFF);
    if (!code)
        return std::string();
    uint16_t modifiers = hotkey >> 8;
    std::string text = std::string(modifiers & CONTROL ? "Ctrl+" : "") + (modifiers & ALT ? "Alt+" : "") +
                       (modifiers & SHIFT ? "Shift+" : "");
    for (const NamedKey& named : NAMED_KEYS)
        if (named.code == code)
            return text + named.name;
    if (code >= F1 && code < F1 + 24)
        return text + "F" + std::to_string(code - F1 + 1);
    return text + (char)code;
}

#include "store/package_names.h"

#include <string.h>

bool EndsWithLetters(const char* text, size_t length, const char* lowerSuffix)
{
    size_t suffixLength = strlen(lowerSuffix);
    if (length < suffixLength)
        return false;
    const char* tail = text + length - suffixLength;
    for (size_t i = 0; i < suffixLength; ++i) {
        char wanted = lowerSuffix[i];
        bool letter = wanted >= 'a' && wanted <= 'z';
        if (tail[i] != wanted && !(letter && tail[i] == wanted - ('a' - 'A')))
            return false;
    }
    return true;
}

bool HasPackageSuffix(const char* text, size_t length)
{
    return EndsWithLetters(text, length, PACKAGE_SUFFIX);
}

namespace {

char Upper(char c)
{
    return c >= 'a' && c <= 'z' ? (char)(c - ('a' - 'A')) : c;
}

bool SameLetters(const char* text, size_t length, const char* upper)
{
    if (strlen(upper) != length)
        return false;
    for (size_t i = 0; i < length; ++i)
        if (Upper(text[i]) != upper[i])
            return false;
    return true;
}

}  // namespace

const char* PackageNameFault(const char* name)
{
    size_t length = strlen(name);
    size_t blanks = 0;
    while (name[blanks] == ' ')
        ++blanks;
    if (blanks == length)
        return "a package needs a name that is not empty or blank";
    for (const char* c = name; *c; ++c)
        if ((unsigned char)*c < 32 || strchr("<>:\"|?*/\\", *c))
            return "a file name cannot hold control characters or any of < > : \" | ? * / \\";
    if (name[length - 1] == '.' || name[length - 1] == ' ')
        return "a file name cannot end in a dot or a blank";
    // The system keeps these names for devices, whatever follows the first dot.
    size_t stem = 0;
    while (name[stem] && name[stem] != '.')
        ++stem;
    while (stem > 0 && name[stem - 1] == ' ')
        --stem;
    static const char* const DEVICES[] = { "CON", "PRN", "AUX", "NUL" };
    bool device = false;
    for (const char* reserved : DEVICES)
        device = device || SameLetters(name, stem, reserved);
    if (stem == 4 && (SameLetters(name, 3, "COM") || SameLetters(name, 3, "LPT")))
        device = device || (name[3] >= '1' && name[3] <= '9');
    return device ? "CON, PRN, AUX, NUL, COM1 to COM9 and LPT1 to LPT9 name devices, not files" : nullptr;
}

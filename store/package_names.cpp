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

// Native stand-in for the system's upper-casing: ASCII letters and, as in code page 1251, the
// lower-case Cyrillic block, so that the name order also meets folded bytes above 127.
#include "store/upper_case.h"

void UpperCaseInPlace(char* text)
{
    for (unsigned char* at = (unsigned char*)text; *at; ++at) {
        if ((*at >= 'a' && *at <= 'z') || *at >= 0xE0)
            *at = (unsigned char)(*at - 0x20);
        else if (*at == 0xB8)   // the one lower-case letter outside the block
            *at = 0xA8;
    }
}

// The system code page's upper-casing of ANSI text, the one platform call of the name order.
#ifndef MARLOWIN_UPPER_CASE_H
#define MARLOWIN_UPPER_CASE_H

// Converts the NUL-terminated text to upper case in place, byte for byte.
void UpperCaseInPlace(char* text);

#endif

// A code page behind the text form's seam where every byte is one character (Latin-1), for the
// rules' tests and fuzz targets that run without the window system.
#ifndef MARLOWIN_LATIN1_CODE_PAGE_H
#define MARLOWIN_LATIN1_CODE_PAGE_H

#include <string>

#include "mwpack/text_form.h"

inline bool Latin1ToUtf8(const char* text, size_t length, std::string& out)
{
    out.clear();
    for (size_t i = 0; i < length; ++i) {
        unsigned char c = (unsigned char)text[i];
        if (c >= 0x80)
            out += (char)(0xC0 | c >> 6);
        out += (char)(c >= 0x80 ? 0x80 | (c & 0x3F) : c);
    }
    return true;
}

inline bool Utf8ToLatin1(const char* text, size_t length, std::string& out)
{
    out.clear();
    for (size_t i = 0; i < length; ++i) {
        unsigned char c = (unsigned char)text[i];
        if (c >= 0x80) {
            if ((c != 0xC2 && c != 0xC3) || i + 1 >= length || ((unsigned char)text[i + 1] & 0xC0) != 0x80)
                return false;
            c = (unsigned char)((c & 0x03) << 6 | ((unsigned char)text[++i] & 0x3F));
        }
        out += (char)c;
    }
    return true;
}

const CodePage LATIN1 = { Latin1ToUtf8, Utf8ToLatin1 };

#endif

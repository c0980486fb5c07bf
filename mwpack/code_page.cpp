// Conversions through UTF-16 with the system calls. A conversion counts only when it is exact:
// no best-fit look-alikes, no default character, and back again to the very same bytes.
#include "mwpack/code_page.h"

#include <windows.h>
#include <string.h>

namespace {

bool IsAscii(const char* text, size_t length)
{
    for (size_t i = 0; i < length; ++i)
        if ((unsigned char)text[i] >= 0x80)
            return false;
    return true;
}

bool ToWide(UINT codePage, const char* text, size_t length, std::wstring& wide)
{
    int size = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text, (int)length, nullptr, 0);
    if (size <= 0)
        return false;
    wide.resize(size);
    return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text, (int)length, &wide[0], size) == size;
}

bool FromWide(UINT codePage, const std::wstring& wide, std::string& out)
{
    // The used-default flag is only defined for the code pages, not for UTF-8.
    DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultFlag = codePage == CP_UTF8 ? nullptr : &usedDefault;
    int size = WideCharToMultiByte(codePage, flags, wide.data(), (int)wide.size(), nullptr, 0, nullptr,
                                   usedDefaultFlag);
    if (size <= 0 || usedDefault)
        return false;
    out.resize(size);
    return WideCharToMultiByte(codePage, flags, wide.data(), (int)wide.size(), &out[0], size, nullptr,
                               usedDefaultFlag) == size &&
           !usedDefault;
}

// From one side to the other and back; the way back must give the original bytes.
bool Convert(UINT from, UINT to, const char* text, size_t length, std::string& out)
{
    if (IsAscii(text, length)) {
        out.assign(text, length);
        return true;
    }
    std::wstring wide;
    std::string back;
    return ToWide(from, text, length, wide) && FromWide(to, wide, out) && ToWide(to, out.data(), out.size(), wide) &&
           FromWide(from, wide, back) && back.size() == length && memcmp(back.data(), text, length) == 0;
}

bool AnsiToUtf8(const char* text, size_t length, std::string& out)
{
    return Convert(CP_ACP, CP_UTF8, text, length, out);
}

bool Utf8ToAnsi(const char* text, size_t length, std::string& out)
{
    return Convert(CP_UTF8, CP_ACP, text, length, out);
}

}  // namespace

const CodePage SystemCodePage = { AnsiToUtf8, Utf8ToAnsi };

std::string ReportText(const char* text)
{
    std::string out;
    if (AnsiToUtf8(text, strlen(text), out))
        return out;
    out.clear();
    for (const char* c = text; *c; ++c)
        out += (unsigned char)*c < 0x80 ? *c : '?';
    return out;
}

std::string MessageText(const std::string& utf8)
{
    std::string out;
    if (Utf8ToAnsi(utf8.data(), utf8.size(), out))
        return out;
    out.clear();
    for (char c : utf8)
        if ((unsigned char)c < 0x80 || ((unsigned char)c & 0xC0) == 0xC0)   // one '?' per character
            out += (unsigned char)c < 0x80 ? c : '?';
    return out;
}

// Conversions through UTF-16 with the system calls. An exact conversion counts only when it needs
// no best-fit look-alike and no default character, and converts back to the very same text.
#include "mwpack/text_conversion.h"

#include "mwpack/quoted_text.h"

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
    wide.clear();
    if (length == 0)
        return true;
    int size = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text, (int)length, nullptr, 0);
    if (size <= 0)
        return false;
    wide.resize(size);
    return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text, (int)length, &wide[0], size) == size;
}

bool FromWide(UINT codePage, const std::wstring& wide, std::string& out)
{
    out.clear();
    if (wide.empty())
        return true;
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
           FromWide(from, wide, back) && back.size() == length && back.compare(0, length, text, length) == 0;
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

bool IsSystemLeadByte(unsigned char first)
{
    return IsDBCSLeadByte(first) != 0;
}

std::wstring WideText(UINT codePage, const std::string& text)
{
    int size = text.empty() ? 0 : MultiByteToWideChar(codePage, 0, text.data(), (int)text.size(), nullptr, 0);
    std::wstring wide(size > 0 ? size : 0, L'\0');
    if (size > 0)
        MultiByteToWideChar(codePage, 0, text.data(), (int)text.size(), &wide[0], size);
    return wide;
}

std::string NarrowText(UINT codePage, const std::wstring& wide)
{
    int size = wide.empty() ? 0
                            : WideCharToMultiByte(codePage, 0, wide.data(), (int)wide.size(), nullptr, 0, nullptr,
                                                  nullptr);
    std::string text(size > 0 ? size : 0, '\0');
    if (size > 0)
        WideCharToMultiByte(codePage, 0, wide.data(), (int)wide.size(), &text[0], size, nullptr, nullptr);
    return text;
}

bool ExactAnsi(const std::wstring& wide, std::string& ansi)
{
    std::wstring back;
    return FromWide(CP_ACP, wide, ansi) && ToWide(CP_ACP, ansi.data(), ansi.size(), back) && back == wide;
}

std::wstring WholeCharacters(const std::wstring& text)
{
    std::wstring wide(text);
    for (size_t i = 0; i < wide.size(); ++i) {
        bool high = wide[i] >= 0xD800 && wide[i] <= 0xDBFF;
        if (high && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF)
            ++i;
        else if (high || (wide[i] >= 0xDC00 && wide[i] <= 0xDFFF))
            wide[i] = 0xFFFD;
    }
    return wide;
}

std::string Utf8Text(const std::wstring& wide)
{
    return NarrowText(CP_UTF8, WholeCharacters(wide));
}

std::string ReportText(const std::string& ansi)
{
    std::string out;
    if (AnsiToUtf8(ansi.data(), ansi.size(), out))
        return out;
    out.clear();
    for (char c : ansi)
        out += (unsigned char)c < 0x80 ? c : '?';
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

std::string NameText(std::wstring wide, size_t longest)
{
    for (;;) {
        std::string out = NarrowText(CP_ACP, wide);
        if (out.size() <= longest)
            return out;
        wide.resize(wide.size() - 1);
        // Never half a surrogate pair.
        if (!wide.empty() && wide.back() >= 0xD800 && wide.back() < 0xDC00)
            wide.resize(wide.size() - 1);
    }
}

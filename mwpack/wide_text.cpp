#include "mwpack/wide_text.h"

#include <windows.h>

#include "mwpack/code_page.h"

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

std::string Utf8OfWide(const std::wstring& text)
{
    std::wstring wide = WholeCharacters(text);
    int size = wide.empty() ? 0 : WideCharToMultiByte(CP_UTF8, 0, wide.data(), (int)wide.size(), nullptr, 0, nullptr, nullptr);
    std::string utf8(size > 0 ? size : 0, '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), (int)wide.size(), &utf8[0], size, nullptr, nullptr);
    return utf8;
}

bool AnsiOfWide(const std::wstring& wide, std::string& ansi)
{
    std::string utf8 = Utf8OfWide(wide);
    return SystemCodePage.fromUtf8(utf8.data(), utf8.size(), ansi);
}

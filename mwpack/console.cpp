#include "mwpack/console.h"

#include <windows.h>

namespace {

std::wstring Wide(UINT codePage, const std::string& text)
{
    int size = MultiByteToWideChar(codePage, 0, text.data(), (int)text.size(), nullptr, 0);
    std::wstring wide(size > 0 ? size : 0, L'\0');
    if (size > 0)
        MultiByteToWideChar(codePage, 0, text.data(), (int)text.size(), &wide[0], size);
    return wide;
}

std::string Narrow(UINT codePage, const std::wstring& wide)
{
    int size = WideCharToMultiByte(codePage, 0, wide.data(), (int)wide.size(), nullptr, 0, nullptr, nullptr);
    std::string text(size > 0 ? size : 0, '\0');
    if (size > 0)
        WideCharToMultiByte(codePage, 0, wide.data(), (int)wide.size(), &text[0], size, nullptr, nullptr);
    return text;
}

// Text in the given code page, written in the form its handle wants. WriteFile, not the C
// library, so that no layer changes the line ends of a pipe.
void Write(DWORD which, UINT codePage, const std::string& text)
{
    HANDLE handle = GetStdHandle(which);
    if (handle == INVALID_HANDLE_VALUE || handle == nullptr || text.empty())
        return;
    DWORD mode = 0;
    bool console = GetConsoleMode(handle, &mode) != 0;   // succeeds only for a console
    UINT wanted = console ? GetConsoleOutputCP() : CP_UTF8;
    std::string bytes = codePage == wanted || (codePage == CP_ACP && wanted == GetACP())
                            ? text
                            : Narrow(wanted, Wide(codePage, text));
    DWORD written = 0;
    WriteFile(handle, bytes.data(), (DWORD)bytes.size(), &written, nullptr);
}

}  // namespace

void StandardConsole::out(const std::string& text)
{
    Write(STD_OUTPUT_HANDLE, CP_ACP, text);
}

void StandardConsole::json(const std::string& utf8)
{
    Write(STD_OUTPUT_HANDLE, CP_UTF8, utf8);
}

void StandardConsole::err(const std::string& text)
{
    Write(STD_ERROR_HANDLE, CP_ACP, text);
}

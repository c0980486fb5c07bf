#include "mwpack/console.h"

#include <windows.h>

#include "mwpack/text_conversion.h"

namespace {

// Text in the given code page, written in the form its handle wants. WriteFile, not the C
// library, so that no layer changes the line ends of a pipe. Gives the error of a write that did
// not take every byte.
DWORD Write(DWORD which, UINT codePage, const std::string& text)
{
    HANDLE handle = GetStdHandle(which);
    if (text.empty())
        return NO_ERROR;
    if (handle == INVALID_HANDLE_VALUE || handle == nullptr)
        return ERROR_INVALID_HANDLE;
    DWORD mode = 0;
    bool console = GetConsoleMode(handle, &mode) != 0;   // succeeds only for a console
    UINT wanted = console ? GetConsoleOutputCP() : CP_UTF8;
    std::string bytes = codePage == wanted || (codePage == CP_ACP && wanted == GetACP())
                            ? text
                            : NarrowText(wanted, WideText(codePage, text));
    const char* at = bytes.data();
    DWORD left = (DWORD)bytes.size();
    while (left > 0) {
        DWORD written = 0;
        if (!WriteFile(handle, at, left, &written, nullptr))
            return GetLastError() != NO_ERROR ? GetLastError() : ERROR_WRITE_FAULT;
        if (written == 0)
            return ERROR_WRITE_FAULT;
        at += written;
        left -= written;
    }
    return NO_ERROR;
}

}  // namespace

void Note(Console& console, const std::string& message)
{
    console.err("mwpack: " + message + "\n");
}

int Failure(Console& console, const std::string& message)
{
    Note(console, message);
    return EXIT_PROBLEMS;
}

int UsageFailure(Console& console, const std::string& message)
{
    Note(console, message);
    return EXIT_USAGE;
}

void StandardConsole::out(const std::string& text)
{
    DWORD fault = Write(STD_OUTPUT_HANDLE, CP_ACP, text);
    fault_ = fault_ ? fault_ : fault;
}

void StandardConsole::json(const std::string& utf8)
{
    DWORD fault = Write(STD_OUTPUT_HANDLE, CP_UTF8, utf8);
    fault_ = fault_ ? fault_ : fault;
}

void StandardConsole::err(const std::string& text)
{
    // Nothing is left to tell a failed message to.
    Write(STD_ERROR_HANDLE, CP_ACP, text);
}

unsigned long StandardConsole::finish()
{
    // A file's last bytes may still wait in the system's cache, and a full disk show only now.
    HANDLE handle = GetStdHandle(STD_OUTPUT_HANDLE);
    if (!fault_ && handle != INVALID_HANDLE_VALUE && handle != nullptr && GetFileType(handle) == FILE_TYPE_DISK &&
        !FlushFileBuffers(handle))
        fault_ = GetLastError();
    return fault_;
}

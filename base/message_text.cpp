#include "base/message_text.h"

#include <string.h>

#include "base/bounded_format.h"

void DescribeError(DWORD error, char* text, size_t size)
{
    if (size == 0)
        return;
    // No inserts: a message with %1 in it is given as it stands.
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                  text, (DWORD)(size > 0xFFFF ? 0xFFFF : size), nullptr);
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r' || text[length - 1] == ' '))
        text[--length] = '\0';
    if (length == 0)
        FormatBounded(text, size, "Error %lu.", error);
}

void ShortenValue(const char* value, size_t limit, char* text, size_t size)
{
    if (size == 0)
        return;
    if (limit >= size)
        limit = size - 1;
    size_t length = strnlen(value, limit + 1);
    if (length <= limit) {
        memcpy(text, value, length);
        text[length] = '\0';
        return;
    }
    size_t kept = limit > 3 ? limit - 3 : 0;
    memcpy(text, value, kept);
    memcpy(text + kept, "...", limit - kept);
    text[limit] = '\0';
}

#include "base/bounded_format.h"

#include <stdarg.h>
#include <stdio.h>

bool FormatBounded(char* buffer, size_t size, const char* format, ...)
{
    if (size == 0)
        return false;
    va_list arguments;
    va_start(arguments, format);
    int length = _vsnprintf(buffer, size, format, arguments);
    va_end(arguments);
    // _vsnprintf gives -1, or exactly size without a terminator, when the text does not fit.
    if (length < 0 || (size_t)length >= size) {
        buffer[0] = '\0';
        return false;
    }
    return true;
}

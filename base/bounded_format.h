#ifndef MARLOWIN_BOUNDED_FORMAT_H
#define MARLOWIN_BOUNDED_FORMAT_H

#include <stddef.h>

// printf-style formatting into a fixed buffer. Gives false, and an empty buffer, when the
// text would not fit with its terminator. Uses the system C runtime's formatter, which
// keeps the exe small.
bool FormatBounded(char* buffer, size_t size, const char* format, ...) __attribute__((format(ms_printf, 3, 4)));

#endif

// Pieces of the texts that the user reads: the system's words for an error, and quoted values
// cut to a readable length.
#ifndef MARLOWIN_MESSAGE_TEXT_H
#define MARLOWIN_MESSAGE_TEXT_H

#include <windows.h>

// Quoted values longer than this are cut, with "..." at their end.
enum { QUOTE_LIMIT = 40 };

// The system's sentence for an error number, in its language, without a closing line break;
// "Error N." when the system has none.
void DescribeError(DWORD error, char* text, size_t size);

// The value, cut to at most `limit` characters (the last three being "...") when longer.
void ShortenValue(const char* value, size_t limit, char* text, size_t size);

#endif

// Text that the system's wide (UTF-16) calls give, in the forms mwpack reports and matches.
#ifndef MARLOWIN_WIDE_TEXT_H
#define MARLOWIN_WIDE_TEXT_H

#include <string>

// The text with each surrogate that lacks its other half as U+FFFD: such a half has no UTF-8 form,
// yet the systems before Vista write one, which no JSON reader accepts.
std::wstring WholeCharacters(const std::wstring& text);

// The text in UTF-8, of whole characters.
std::string Utf8OfWide(const std::wstring& wide);

// The text in the system code page, exactly; false when it holds a character the code page lacks.
bool AnsiOfWide(const std::wstring& wide, std::string& ansi);

#endif

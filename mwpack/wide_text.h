// Text that the system's wide (UTF-16) calls give, in the forms mwpack reports and matches.
#ifndef MARLOWIN_WIDE_TEXT_H
#define MARLOWIN_WIDE_TEXT_H

#include <string>

// The text in UTF-8; a lone surrogate becomes U+FFFD.
std::string Utf8OfWide(const std::wstring& wide);

// The text in the system code page, exactly; false when it holds a character the code page lacks.
bool AnsiOfWide(const std::wstring& wide, std::string& ansi);

#endif

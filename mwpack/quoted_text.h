// Values quoted in messages: in double quotes, cut after 100 bytes with "..." added, so that a
// message stays readable whatever it quotes, and never cut inside a character.
#ifndef MARLOWIN_QUOTED_TEXT_H
#define MARLOWIN_QUOTED_TEXT_H

#include <string>

// A text in the system code page, as messages are written.
std::string QuotedExcerpt(const std::string& ansi);
// A text in UTF-8, as the text form is read.
std::string QuotedUtf8Excerpt(const std::string& utf8);

// Whether the byte starts a two-byte character of the system code page. A seam: the Windows build
// asks the system, the native build of the rules has a stand-in.
bool IsSystemLeadByte(unsigned char first);

#endif

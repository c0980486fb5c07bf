// mwpack's one home for text conversions: the system code page, UTF-8 and UTF-16.
#ifndef MARLOWIN_TEXT_CONVERSION_H
#define MARLOWIN_TEXT_CONVERSION_H

#include <windows.h>

#include <string>

#include "mwpack/text_form.h"

// For display only: a character without a form in the target becomes a look-alike or the default.
std::wstring WideText(UINT codePage, const std::string& text);
std::string NarrowText(UINT codePage, const std::wstring& wide);

// The text in the system code page, exactly (no look-alike, no default character), or false.
bool ExactAnsi(const std::wstring& wide, std::string& ansi);
// The exact conversions between the system code page and UTF-8, for the text form.
extern const CodePage SystemCodePage;

// The text with each surrogate that lacks its other half as U+FFFD: such a half has no UTF-8 form,
// yet the systems before Vista write one (in a window title, say), which no JSON reader accepts.
std::wstring WholeCharacters(const std::wstring& text);
// The text in UTF-8, of whole characters.
std::string Utf8Text(const std::wstring& wide);

// For reports in JSON: the text in UTF-8, with '?' for what has no exact form.
std::string ReportText(const std::string& ansi);
// The other way, for messages that quote UTF-8 input: '?' for what has no exact form.
std::string MessageText(const std::string& utf8);
// A name in the system code page, look-alikes allowed, cut between characters to at most
// `longest` bytes.
std::string NameText(std::wstring wide, size_t longest);

#endif

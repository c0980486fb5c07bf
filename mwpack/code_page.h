// The system (ANSI) code page behind the text form's conversion seam.
#ifndef MARLOWIN_CODE_PAGE_H
#define MARLOWIN_CODE_PAGE_H

#include "mwpack/text_form.h"

extern const CodePage SystemCodePage;

// For reports only: the text in UTF-8, with '?' for what has no exact form.
std::string ReportText(const char* text);
// The other way, for messages that quote UTF-8 input: '?' for what has no exact form.
std::string MessageText(const std::string& utf8);

#endif

#include "mwpack/quoted_text.h"

namespace {

const size_t LONGEST = 100;

std::string Quoted(const std::string& text, size_t end)
{
    return end >= text.size() ? "\"" + text + "\"" : "\"" + text.substr(0, end) + "...\"";
}

}  // namespace

std::string QuotedExcerpt(const std::string& ansi)
{
    // Characters are found from the start: a trail byte of a two-byte character may look like
    // any other byte.
    size_t end = 0;
    while (end < ansi.size()) {
        size_t step = IsSystemLeadByte((unsigned char)ansi[end]) && end + 1 < ansi.size() ? 2 : 1;
        if (end + step > LONGEST)
            break;
        end += step;
    }
    return Quoted(ansi, end);
}

std::string QuotedUtf8Excerpt(const std::string& utf8)
{
    if (utf8.size() <= LONGEST)
        return Quoted(utf8, utf8.size());
    // Back to the start of the character that the cut falls in: at most three continuation bytes.
    size_t end = LONGEST;
    while (end > LONGEST - 3 && ((unsigned char)utf8[end] & 0xC0) == 0x80)
        --end;
    return Quoted(utf8, end);
}

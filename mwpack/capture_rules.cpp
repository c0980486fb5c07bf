#include "mwpack/capture_rules.h"

#include <algorithm>

namespace {

char Folded(char c)
{
    return c >= 'A' && c <= 'Z' ? (char)(c - 'A' + 'a') : c;
}

}  // namespace

bool MatchesWildcard(const char* pattern, const char* text)
{
    // Greedy with one point to come back to: the last star and where the text stood then.
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*text) {
        if (*pattern == '*') {
            star = pattern++;
            resume = text;
        } else if (*pattern && (*pattern == '?' || Folded(*pattern) == Folded(*text))) {
            ++pattern;
            ++text;
        } else if (star) {
            pattern = star + 1;
            text = ++resume;
        } else {
            return false;
        }
    }
    while (*pattern == '*')
        ++pattern;
    return *pattern == '\0';
}

bool MatchesAny(const std::vector<std::string>& patterns, const std::vector<std::string>& texts)
{
    for (const std::string& pattern : patterns)
        for (const std::string& text : texts)
            if (MatchesWildcard(pattern.c_str(), text.c_str()))
                return true;
    return false;
}

std::string UniqueNames::add(const std::string& name)
{
    std::string base = name.substr(0, LONGEST);
    std::string unique = base;
    for (int number = 2; std::find(taken_.begin(), taken_.end(), unique) != taken_.end(); ++number)
        unique = base + " (" + std::to_string(number) + ")";
    taken_.push_back(unique);
    return unique;
}

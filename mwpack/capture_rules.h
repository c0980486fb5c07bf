// The rules of capture and import-shortcuts that need no window system: which programs a pattern
// leaves out, and the names of the profiles they make.
#ifndef MARLOWIN_CAPTURE_RULES_H
#define MARLOWIN_CAPTURE_RULES_H

#include <string>
#include <vector>

// A wildcard: * any run of characters, ? any one; the letters a to z match in either case.
bool MatchesWildcard(const char* pattern, const char* text);

// True when any of the patterns matches any of the texts.
bool MatchesAny(const std::vector<std::string>& patterns, const std::vector<std::string>& texts);

// Profile names, each different from the ones given before: a repeated one gets " (2)", " (3)"...
class UniqueNames {
public:
    // The longest name before a suffix, in bytes, so that name and suffix fit a field. Callers cut
    // longer names between characters; a longer one is cut here at that byte.
    static constexpr size_t LONGEST = 259 - 16;

    std::string add(const std::string& name);

private:
    std::vector<std::string> taken_;
};

#endif

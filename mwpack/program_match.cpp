#include "mwpack/program_match.h"

#include <string.h>

#include <string>
#include <vector>

#include "launch/launch_rules.h"
#include "store/path_rules.h"
#include "store/upper_case.h"

namespace {

// True when the text starts with the lower-case prefix, its letters a to z in either case.
bool StartsWithLetters(const std::string& text, const char* prefix)
{
    size_t length = strlen(prefix);
    if (text.size() < length)
        return false;
    for (size_t i = 0; i < length; ++i) {
        char c = text[i] >= 'A' && text[i] <= 'Z' ? (char)(text[i] - 'A' + 'a') : text[i];
        if (c != prefix[i])
            return false;
    }
    return true;
}

// One form of a path: backslashes only, none doubled, no "." or ".." parts, no quotes, no prefix
// \\?\ or \??\, upper case as the system upper-cases file names.
std::string PathKey(const char* path)
{
    std::string text;
    for (const char* at = path; *at; ++at)
        if (*at != '"')
            text += *at == '/' ? '\\' : *at;
    if (StartsWithLetters(text, "\\\\?\\") || StartsWithLetters(text, "\\??\\")) {
        text.erase(0, 4);
        if (StartsWithLetters(text, "unc\\"))
            text.replace(0, 4, "\\\\");
    }
    bool unc = text.compare(0, 2, "\\\\") == 0;
    bool drive = text.size() >= 2 && text[1] == ':';
    // ".." climbs no higher than the drive, or the server and share.
    size_t fixed = unc ? 2 : drive ? 1 : 0;
    std::vector<std::string> parts;
    for (size_t start = 0; start <= text.size();) {
        size_t end = text.find('\\', start);
        if (end == std::string::npos)
            end = text.size();
        std::string part = text.substr(start, end - start);
        start = end + 1;
        if (part == "..") {
            if (parts.size() > fixed)
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
    }
    std::string key = unc ? "\\\\" : !drive && !text.empty() && text[0] == '\\' ? "\\" : "";
    for (size_t i = 0; i < parts.size(); ++i)
        key += (i ? "\\" : "") + parts[i];
    if (!key.empty())
        UpperCaseInPlace(&key[0]);
    return key;
}

}  // namespace

ProgramMatch MatchProgram(const ProfileBase& profile, const char* objectPath, const char* imagePath,
                          const char* commandLine)
{
    bool executable = ResolveLaunchWay(profile.type()) == LAUNCH_EXECUTABLE;
    DetectedType detected = DetectType(profile.object());
    // The shell starts a screen saver with arguments of its own.
    bool shellStartsProgram = detected.way == LAUNCH_EXECUTABLE && !detected.screenSaver;
    if (profile.object()[0] == '\0' || (!executable && !shellStartsProgram))
        return MATCH_CANNOT_TELL;
    if (PathKey(objectPath) != PathKey(imagePath))
        return MATCH_OTHER;
    if (!commandLine)
        return MATCH_SAME_FILE;
    char composed[COMMAND_LINE_SIZE];
    if (!ComposeCommandLine(profile.object(), executable ? profile.arguments() : "", composed, sizeof composed))
        return MATCH_OTHER;
    return strcmp(SkipProgramName(composed), SkipProgramName(commandLine)) == 0 ? MATCH_SAME : MATCH_OTHER;
}

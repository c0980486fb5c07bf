// The balloon's words for profiles that did not start: names cut to a readable length, causes
// in the system's words, and never more than the balloon holds.
#include <windows.h>
#include <gtest/gtest.h>

#include <string.h>
#include <string>
#include <vector>

#include "tray/launch_report.h"

namespace {

LaunchFailures Failures(unsigned count, const std::string& namePrefix, DWORD error)
{
    LaunchFailures failures = {};
    failures.count = count;
    for (unsigned i = 0; i < count && i < LaunchFailures::KEPT; ++i) {
        std::string name = namePrefix + std::to_string(i);
        lstrcpynA(failures.kept[i].name, name.c_str(), sizeof failures.kept[i].name);
        failures.kept[i].error = error;
    }
    return failures;
}

TEST(LaunchReport, NamesEachProfileWithTheSystemsWordsForItsCause)
{
    char title[64], text[256];
    DescribeLaunchFailures("My Work & Play", Failures(2, "Mail ", ERROR_DIRECTORY), title, sizeof title, text,
                           sizeof text);
    EXPECT_STREQ(title, "Not started from My Work & Play");
    EXPECT_STREQ(text, "Mail 0: Directory name invalid.\nMail 1: Directory name invalid.");   // Wine's words
}

TEST(LaunchReport, LongNamesAreCutAndTheRestIsCountedWithinTheBalloon)
{
    const std::string longName(200, 'n');
    char title[64], text[256];
    DescribeLaunchFailures(longName.c_str(), Failures(9, longName, ERROR_FILE_NOT_FOUND), title, sizeof title,
                           text, sizeof text);
    EXPECT_EQ(std::string(title), "Not started from " + std::string(37, 'n') + "...");

    std::vector<std::string> lines;
    for (const char* at = text; at;) {
        const char* end = strchr(at, '\n');
        lines.push_back(end ? std::string(at, end) : std::string(at));
        at = end ? end + 1 : nullptr;
    }
    ASSERT_GE(lines.size(), 2u);
    for (size_t i = 0; i + 1 < lines.size(); ++i)
        EXPECT_EQ(lines[i].substr(0, 42), std::string(37, 'n') + "...: ") << i;
    EXPECT_EQ(lines.back(), "and " + std::to_string(9 - (lines.size() - 1)) + " more");
}

}  // namespace

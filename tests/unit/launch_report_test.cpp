// The balloon's words for profiles that did not start: causes in the system's words, names cut
// to a readable length, and never more than the balloon holds.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "tray/launch_report.h"

namespace {

std::string Report(const std::string& package, unsigned count, const std::string& name, DWORD error)
{
    LaunchFailures failures = {};
    failures.count = count;
    for (unsigned i = 0; i < count && i < LaunchFailures::KEPT; ++i) {
        lstrcpynA(failures.kept[i].name, (name + std::to_string(i)).c_str(), sizeof failures.kept[i].name);
        failures.kept[i].error = error;
    }
    char title[64], text[256];
    DescribeLaunchFailures(package.c_str(), failures, title, sizeof title, text, sizeof text);
    return std::string(title) + "|" + text;
}

TEST(LaunchReport, NamesEachFailedProfileWithItsCauseCutToFitTheBalloon)
{
    EXPECT_EQ(Report("My Work & Play", 2, "Mail ", ERROR_DIRECTORY),   // Wine's words
              "Not started from My Work & Play|Mail 0: Directory name invalid.\nMail 1: Directory name invalid.");

    const std::string cut = std::string(37, 'n') + "...";
    const std::string line = cut + ": File not found.\n";
    EXPECT_EQ(Report(std::string(200, 'n'), 9, std::string(200, 'n'), ERROR_FILE_NOT_FOUND),
              "Not started from " + cut + "|" + line + line + line + line + "and 5 more");
}

}  // namespace

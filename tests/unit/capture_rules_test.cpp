#include <gtest/gtest.h>
#include <string>

#include "mwpack/capture_rules.h"

namespace {

TEST(MatchesWildcard, StarsAndQuestionMarksOverTheWholeTextInEitherLetterCase)
{
    EXPECT_TRUE(MatchesWildcard("notepad.exe", "NotePad.EXE"));
    EXPECT_TRUE(MatchesWildcard("*pad*", "Untitled - Notepad"));
    EXPECT_TRUE(MatchesWildcard("a*b*c", "a-bb-b-c"));
    EXPECT_TRUE(MatchesWildcard("?ecorder.exe", "recorder.exe"));
    EXPECT_TRUE(MatchesWildcard("*", ""));
    EXPECT_FALSE(MatchesWildcard("pad", "notepad"));
    EXPECT_FALSE(MatchesWildcard("a*b*c", "a-bb-b-cd"));
    EXPECT_FALSE(MatchesWildcard("?", ""));
    EXPECT_FALSE(MatchesWildcard("\xC0*", "\xE0x"));   // only a to z fold
    EXPECT_TRUE(MatchesAny({ "nothing", "*.exe" }, { "Title", "mail.exe" }));
    EXPECT_FALSE(MatchesAny({}, { "mail.exe" }));
}

TEST(UniqueNames, RepeatsGetANumberAndEveryNameFitsAField)
{
    UniqueNames names;
    EXPECT_EQ(names.add("Mail"), "Mail");
    EXPECT_EQ(names.add("Mail"), "Mail (2)");
    EXPECT_EQ(names.add("Mail (2)"), "Mail (2) (2)");
    EXPECT_EQ(names.add("Mail"), "Mail (3)");
    EXPECT_EQ(names.add("mail"), "mail");
    std::string longName(400, 'x');
    EXPECT_EQ(names.add(longName), longName.substr(0, UniqueNames::LONGEST));
    EXPECT_EQ(names.add(longName), longName.substr(0, UniqueNames::LONGEST) + " (2)");
}

}  // namespace

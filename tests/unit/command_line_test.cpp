#include <gtest/gtest.h>
#include <string>

#include "app/command_line.h"
#include "store/package_names.h"

namespace {

EntryChoice Read(std::string& copy)
{
    return ReadArgument(&copy[0]);
}

TEST(SkipProgramName, UnquotedNameEndsAtFirstBlankOrControlCharacter)
{
    EXPECT_STREQ(SkipProgramName("Marlowin.exe a"), "a");
    EXPECT_STREQ(SkipProgramName("Marlowin.exe\t \x01 work.mwpack  "), "work.mwpack  ");
    EXPECT_STREQ(SkipProgramName("Marlowin.exe"), "");
}

TEST(SkipProgramName, QuotedNameEndsAtTheNextQuote)
{
    EXPECT_STREQ(SkipProgramName("\"C:\\My Apps\\Marlowin.exe\" U"), "U");
    EXPECT_STREQ(SkipProgramName("\"C:\\x.exe\"\"q.mwpack\""), "\"q.mwpack\"");
    EXPECT_STREQ(SkipProgramName("\"unclosed name"), "");
}

TEST(ReadArgument, QuoteRule)
{
    std::string lone = "\"";
    EXPECT_EQ(Read(lone).action, ENTRY_QUOTE_ERROR);
    std::string unclosed = "\"C:\\p\\work.mwpack";
    EXPECT_EQ(Read(unclosed).action, ENTRY_QUOTE_ERROR);

    std::string empty = "\"\"";
    EntryChoice choice = Read(empty);
    EXPECT_EQ(choice.action, ENTRY_RESIDENT);
    EXPECT_FALSE(choice.wait);
    EXPECT_FALSE(choice.unload);

    std::string followed = "\"C:\\My Packages\\work.mwpack\" more words";
    choice = Read(followed);
    EXPECT_EQ(choice.action, ENTRY_LAUNCH);
    EXPECT_STREQ(choice.text, "C:\\My Packages\\work.mwpack");

    // A quote elsewhere is an ordinary character.
    std::string inner = "ab\"cd\".mwpack";
    choice = Read(inner);
    EXPECT_EQ(choice.action, ENTRY_LAUNCH);
    EXPECT_STREQ(choice.text, "ab\"cd\".mwpack");
}

TEST(ReadArgument, LengthAndSuffixRules)
{
    const struct {
        const char* argument;
        EntryAction action;
    } cases[] = {
        { "C:\\My Packages\\work.mwpack", ENTRY_LAUNCH }, { "C:\\p\\work.mwpack ", ENTRY_IGNORE },
        { "WORK.MWPACK", ENTRY_LAUNCH }, { "w.MwPaCk", ENTRY_LAUNCH }, { "work_mwpack", ENTRY_IGNORE },
        { "\\.mwpack", ENTRY_LAUNCH }, { "..mwpack", ENTRY_LAUNCH }, { "/unload!", ENTRY_IGNORE },
    };
    for (const auto& c : cases) {
        std::string copy = c.argument;
        EXPECT_EQ(Read(copy).action, c.action) << c.argument;
    }
}

TEST(ReadArgument, OptionLettersInShortWords)
{
    std::string bare = ".mwpack";  // seven characters: options, and it holds an 'a'
    EntryChoice choice = Read(bare);
    EXPECT_EQ(choice.action, ENTRY_RESIDENT);
    EXPECT_TRUE(choice.wait);
    EXPECT_FALSE(choice.unload);

    std::string both = "-xAuq";
    choice = Read(both);
    EXPECT_TRUE(choice.wait);
    EXPECT_TRUE(choice.unload);

    std::string unloadOnly = "/U";
    choice = Read(unloadOnly);
    EXPECT_FALSE(choice.wait);
    EXPECT_TRUE(choice.unload);

    std::string none = "xyz";
    choice = Read(none);
    EXPECT_EQ(choice.action, ENTRY_RESIDENT);
    EXPECT_FALSE(choice.wait || choice.unload);

    std::string quotedOption = "\"au\" trailing text that is ignored";
    choice = Read(quotedOption);
    EXPECT_EQ(choice.action, ENTRY_RESIDENT);
    EXPECT_TRUE(choice.wait && choice.unload);
}

TEST(HasPackageSuffix, EachLetterInEitherCaseAndAFullStop)
{
    EXPECT_TRUE(HasPackageSuffix(".MWPACK", 7));
    EXPECT_TRUE(HasPackageSuffix("x.mWpAcK", 8));
    EXPECT_FALSE(HasPackageSuffix("x,mwpack", 8));
    EXPECT_FALSE(HasPackageSuffix("mwpack", 6));
    EXPECT_FALSE(HasPackageSuffix("x.mwpacks", 9));
}

}  // namespace

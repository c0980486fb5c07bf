// The text form's reader on what careless scripts and other programs write: every text that is not
// exactly one text form is refused with a message that says what it is, and nothing of it is kept.
#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include <vector>

#include "mwpack/quoted_text.h"
#include "mwpack/text_form.h"
#include "store/package_names.h"
#include "tests/unit/latin1_code_page.h"

namespace {

std::string Refusal(const std::string& text)
{
    std::vector<Profile> profiles(1);
    std::string error;
    EXPECT_FALSE(ImportText(text.data(), text.size(), LATIN1, profiles, error)) << text.substr(0, 80);
    EXPECT_TRUE(profiles.empty());
    return error;
}

std::string Utf16(const std::string& ascii, bool mark)
{
    std::string wide = mark ? "\xFF\xFE" : "";
    for (char c : ascii)
        wide += std::string(1, c) + '\0';
    return wide;
}

TEST(TextFormReader, RefusesEveryTextThatIsNotExactlyOneForm)
{
    const std::string form = "{\"version\": 1, \"profiles\": [{\"name\": \"a\"}]}";
    const std::string nullAt = "a null byte at byte " + std::to_string(form.size() + 1);
    const struct {
        std::string text;
        std::string says;
    } cases[] = {
        // The last of two keys would win, and an empty second list empty the package.
        { "{\"version\": 1, \"profiles\": [{\"name\": \"a\"}], \"profiles\": []}",
          "key \"profiles\" is given twice at the top level" },
        { "{\"version\": 1, \"version\": 1, \"profiles\": []}", "key \"version\" is given twice" },
        { "{\"version\": 1, \"profiles\": [{\"name\": \"a\", \"object\": \"x\", \"object\": \"y\"}]}",
          "profile 1 (\"a\"): key \"object\" is given twice" },
        // The parser would stop at the null byte and take what stands before it for the whole.
        { form + std::string(1, '\0') + "{\"version\": 1, \"profiles\": []}", nullAt },
        { Utf16(form, true), "the text is UTF-16" },
        { Utf16(form, false), "the text is UTF-16" },
        { "{\"version\": 1, \"profiles\": [{\"name\": \"a\", \"type\": [\"Auto\"]}]}",
          "profile 1 (\"a\"), field \"type\": a string is needed, not array" },
        { "{\"version\": {\"major\": 1}, \"profiles\": []}", "version must be the number 1, not object" },
        { "{\"version\": 1, \"profiles\": [{\"name\": \"a\"}]} {}", "malformed JSON" },
    };
    for (const auto& bad : cases)
        EXPECT_NE(Refusal(bad.text).find(bad.says), std::string::npos) << bad.says;
}

TEST(TextFormReader, NestingAndBulkAreRefusedWhereTheyStand)
{
    // Deep nesting would overflow the stack of a reader that builds the document first.
    std::string deep = "{\"version\": " + std::string(20000, '[') + std::string(20000, ']') + ", \"profiles\": []}";
    EXPECT_NE(Refusal(deep).find("version must be the number 1, not array"), std::string::npos);
    // Megabytes of numbers where profiles belong: refused at the first, not built up in memory.
    std::string bulk = "{\"version\": 1, \"profiles\": [0";
    for (int i = 0; i < 1000000; ++i)
        bulk += ",0";
    EXPECT_EQ(Refusal(bulk + "]}"), "profile 1: an object is needed, not number");
}

TEST(TextFormReader, ProfilesKeepTheOrderOfTheText)
{
    const char text[] = "{\"version\": 1, \"profiles\": [{\"name\": \"b\", \"object\": \"1\"}, {\"name\": \"A\"},"
                        " {\"name\": \"b\", \"object\": \"2\"}]}";
    std::vector<Profile> profiles;
    std::string error;
    ASSERT_TRUE(ImportText(text, sizeof text - 1, LATIN1, profiles, error)) << error;
    ProfileList list;
    LinkInGivenOrder(profiles, list);
    std::vector<std::string> order;
    for (const ProfileBase* node = list.first; node; node = node->next)
        order.push_back(std::string(node->name()) + node->object());
    EXPECT_EQ(order, (std::vector<std::string>{ "b1", "A", "b2" }));
}

TEST(QuotedText, CutsAfterAHundredBytesBetweenCharactersOnly)
{
    // In a code page every byte of 0x80 to 0xBF is a character of its own ("\xB8" is a Cyrillic
    // letter in 1251), not the continuation of one.
    std::string cyrillic(150, '\xB8');
    EXPECT_EQ(QuotedExcerpt(cyrillic), "\"" + std::string(100, '\xB8') + "...\"");
    EXPECT_EQ(QuotedExcerpt("short"), "\"short\"");
    // In UTF-8 a cut never splits a character: "\xC3\xA9" is one.
    std::string accented = std::string(99, 'a') + "\xC3\xA9" + std::string(10, 'a');
    EXPECT_EQ(QuotedUtf8Excerpt(accented), "\"" + std::string(99, 'a') + "...\"");
}

TEST(PackageNames, NamesThatTheFileSystemWouldChangeOrRefuse)
{
    for (const char* bad : { "", "   ", "end.", "end ", "a/b", "a\\b", "a:b", "what?", "tab\there", "CON", "con.mwpack",
                             "Lpt1", "NUL .txt", "com9" })
        EXPECT_NE(PackageNameFault(bad), nullptr) << bad;
    for (const char* good : { "Work", "COM10", "CONSOLE", "a.b.c", " lead", "LPT", "\xE9t\xE9" })
        EXPECT_EQ(PackageNameFault(good), nullptr) << good;
}

}  // namespace

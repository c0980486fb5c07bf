// Texts from the system's wide calls (window titles, command lines) in the forms mwpack writes.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>

#include "mwpack/text_conversion.h"

namespace {

TEST(TextConversion, ALoneHalfOfASurrogatePairBecomesTheReplacementCharacter)
{
    EXPECT_EQ(WholeCharacters(L"a\xD83D\xDE00z"), L"a\xD83D\xDE00z");
    EXPECT_EQ(WholeCharacters(L"a\xD800z\xDC00"), L"a\xFFFDz\xFFFD");
    EXPECT_EQ(WholeCharacters(L"\xDE00\xD83D"), L"\xFFFD\xFFFD");
    EXPECT_EQ(WholeCharacters(L"\xD800\xD800\xDC00"), L"\xFFFD\xD800\xDC00");
    EXPECT_EQ(Utf8Text(L"\x4E2D\xD800"), "\xE4\xB8\xAD\xEF\xBF\xBD");
}

TEST(TextConversion, OnlyExactFormsInTheCodePage)
{
    std::string ansi;
    EXPECT_TRUE(ExactAnsi(L"plain \x00E9t\x00E9", ansi));   // the test locale's code page is 1252
    EXPECT_EQ(ansi, "plain \xE9t\xE9");
    // A look-alike ("a" for an a with a ring below) or the default character is no exact form.
    EXPECT_FALSE(ExactAnsi(L"\x1E01", ansi));
    EXPECT_FALSE(ExactAnsi(L"\x65E5", ansi));
}

}  // namespace

#include <gtest/gtest.h>
#include <string>

#include "mwpack/wide_text.h"

namespace {

TEST(WholeCharacters, ALoneHalfOfASurrogatePairBecomesTheReplacementCharacter)
{
    EXPECT_EQ(WholeCharacters(L"a\xD83D\xDE00z"), L"a\xD83D\xDE00z");
    EXPECT_EQ(WholeCharacters(L"a\xD800z\xDC00"), L"a\xFFFDz\xFFFD");
    EXPECT_EQ(WholeCharacters(L"\xDE00\xD83D"), L"\xFFFD\xFFFD");
    EXPECT_EQ(WholeCharacters(L"\xD800\xD800\xDC00"), L"\xFFFD\xD800\xDC00");
    EXPECT_EQ(Utf8OfWide(L"\x4E2D\xD800"), "\xE4\xB8\xAD\xEF\xBF\xBD");
}

}  // namespace

// The rules that depend on the system code page, under code page 1251 (a Russian system).
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>

#include "mwpack/text_conversion.h"
#include "mwpack/text_form.h"
#include "store/name_order.h"
#include "tests/unit/text_form_round_trip.h"

namespace {

TEST(Cp1251, CyrillicNamesFoldAndSortAfterLatin)
{
    ASSERT_EQ(GetACP(), 1251u);
    const char upper[] = "\xC0\xC1\xC2";   // А Б В
    const char lower[] = "\xE0\xE1\xE2";   // а б в
    EXPECT_EQ(CompareNames(upper, lower), -1);
    EXPECT_EQ(CompareNames(lower, "\xC0\xC1\xC3"), -1);  // folded: АБВ < АБГ
    EXPECT_EQ(CompareNames("zzz", lower), -1);
    EXPECT_EQ(CompareNames(lower, "zzz"), 1);
}

TEST(Cp1251, RandomEditorPackagesComeBackByteForByte)
{
    ExpectRoundTrips(150);
}

TEST(Cp1251, CyrillicTextIsStoredInItsCodePage)
{
    const char text[] = "{\"version\":1,\"profiles\":[{\"name\":\"\xD0\x9F\xD0\xB8\xD1\x81\xD1\x8C\xD0\xBC\xD0\xB0\"}]}";
    std::vector<Profile> profiles;
    std::string error;
    ASSERT_TRUE(ImportText(text, sizeof text - 1, SystemCodePage, profiles, error)) << error;
    EXPECT_STREQ(profiles[0].name(), "\xCF\xE8\xF1\xFC\xEC\xE0");
}

}  // namespace

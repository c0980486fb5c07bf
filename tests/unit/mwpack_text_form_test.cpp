// The text form of packages: export then import gives the same bytes, and every fault in a
// text names its place and stores nothing.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>

#include "mwpack/text_conversion.h"
#include "mwpack/text_form.h"
#include "store/name_order.h"
#include "tests/unit/text_form_round_trip.h"

namespace {

TEST(MwpackTextForm, RandomEditorPackagesComeBackByteForByte)
{
    ExpectRoundTrips(150);
}

TEST(MwpackTextForm, EmptyPackageComesBackEmpty)
{
    std::string error;
    EXPECT_EQ(ExportThenImport(std::string(), error), "");
    EXPECT_EQ(error, "");
}

TEST(MwpackTextForm, ExportIsVersionedJsonInRecordOrderOfKeys)
{
    const char* texts[FIELD_COUNT] = { "Mail", "open", "C:\\Mail\\mail.exe", "C:\\Mail", "-quiet", "Executable",
                                       "Maximize" };
    Profile profile(texts, 0);
    std::string text, error;
    ASSERT_TRUE(ExportText({ &profile }, SystemCodePage, text, error)) << error;
    EXPECT_EQ(text, "{\n  \"version\": 1,\n  \"profiles\": [\n    {\n      \"name\": \"Mail\",\n"
                    "      \"command\": \"open\",\n      \"object\": \"C:\\\\Mail\\\\mail.exe\",\n"
                    "      \"directory\": \"C:\\\\Mail\",\n      \"arguments\": \"-quiet\",\n"
                    "      \"type\": \"Executable\",\n      \"window\": \"Maximize\"\n    }\n  ]\n}\n");
}

TEST(MwpackTextForm, HandWrittenTextMayLeaveFieldsOutAndUseAnyKeyOrder)
{
    const char text[] = "{\"profiles\": [{\"object\": \"x.exe\", \"name\": \"\\u00e9t\\u00e9\"}], \"version\": 1}";
    std::vector<Profile> profiles;
    std::string error;
    ASSERT_TRUE(ImportText(text, sizeof text - 1, SystemCodePage, profiles, error)) << error;
    ASSERT_EQ(profiles.size(), 1u);
    EXPECT_STREQ(profiles[0].name(), "\xE9t\xE9");
    EXPECT_STREQ(profiles[0].object(), "x.exe");
    EXPECT_STREQ(profiles[0].type(), "");
    EXPECT_STREQ(profiles[0].arguments(), "");
}

struct BadText {
    const char* text;
    const char* message;   // a part the message must hold
};

std::string LongText(size_t length)
{
    return std::string(length, 'a');
}

TEST(MwpackTextForm, FaultsAreNamedAndGiveNoProfiles)
{
    std::string tooLong = "{\"version\":1,\"profiles\":[{\"name\":\"Long\",\"arguments\":\"" + LongText(260) + "\"}]}";
    std::string fits = "{\"version\":1,\"profiles\":[{\"name\":\"Fits\",\"arguments\":\"" + LongText(259) + "\"}]}";
    const BadText cases[] = {
        { "", "malformed JSON" },
        { "{\"version\": 1, \"profiles\": [", "malformed JSON: parse error at line 1, column " },
        { "{\"version\": 1,\n \"profiles\": [}", "at line 2, column " },
        { "[]", "the document must be an object, not array" },
        { "{\"profiles\": []}", "the document has no \"version\"" },
        { "{\"version\": 2, \"profiles\": []}", "version 2 is not known; this program reads version 1" },
        { "{\"version\": \"1\", \"profiles\": []}", "version \"1\" is not known" },
        { "{\"version\": 1.0, \"profiles\": []}", "version 1.0 is not known" },
        { "{\"version\": 1, \"profiles\": {}}", "\"profiles\" must be an array" },
        { "{\"version\": 1}", "\"profiles\" must be an array" },
        { "{\"version\": 1, \"profiles\": [], \"extra\": 0}", "unknown key \"extra\" at the top level" },
        { "{\"version\": 1, \"profiles\": [7]}", "profile 1: an object is needed, not number" },
        { "{\"version\": 1, \"profiles\": [{\"object\": \"x\"}]}", "profile 1: it has no \"name\"" },
        { "{\"version\": 1, \"profiles\": [{\"name\": 5}]}", "profile 1, field \"name\": a string is needed, not number" },
        { "{\"version\":1,\"profiles\":[{\"name\":\"a\"},{\"name\":\"B\",\"type\":null}]}",
          "profile 2 (\"B\"), field \"type\": a string is needed, not null" },
        { "{\"version\":1,\"profiles\":[{\"name\":\"a\",\"objet\":\"x\"}]}", "profile 1 (\"a\"): unknown key \"objet\"" },
        { "{\"version\":1,\"profiles\":[{\"name\":\"a\",\"object\":\"x\\u0000y\"}]}",
          "field \"object\": a null character cannot be stored" },
        { "{\"version\":1,\"profiles\":[{\"name\":\"Work\",\"object\":\"\xE6\x97\xA5\xE6\x9C\xAC\"}]}",
          "profile 1 (\"Work\"), field \"object\": text outside the system code page cannot be stored" },
        { tooLong.c_str(), "profile 1 (\"Long\"), field \"arguments\": 260 characters long; at most 259 fit" },
    };
    for (const BadText& bad : cases) {
        std::vector<Profile> profiles(1);
        std::string error;
        EXPECT_FALSE(ImportText(bad.text, strlen(bad.text), SystemCodePage, profiles, error)) << bad.text;
        EXPECT_NE(error.find(bad.message), std::string::npos) << bad.text << "\n gave: " << error;
        EXPECT_TRUE(profiles.empty()) << bad.text;
    }
    std::vector<Profile> profiles;
    std::string error;
    EXPECT_TRUE(ImportText(fits.data(), fits.size(), SystemCodePage, profiles, error)) << error;

    // A huge value is quoted only in part.
    std::string huge = "{\"version\":1,\"profiles\":[{\"name\":\"" + std::string(10000000, 'n') + "\"}]}";
    EXPECT_FALSE(ImportText(huge.data(), huge.size(), SystemCodePage, profiles, error));
    EXPECT_LT(error.size(), 300u) << error.substr(0, 300);
    EXPECT_NE(error.find("(\"nnnn"), std::string::npos) << error.substr(0, 300);
    EXPECT_NE(error.find("nnn...\"), field \"name\": 10000000 characters long"), std::string::npos) << error.substr(0, 300);
}

TEST(MwpackTextForm, CyrillicIsOutsideTheLatinCodePage)
{
    const char text[] = "{\"version\":1,\"profiles\":[{\"name\":\"\xD0\x9F\xD0\xB8\xD1\x81\xD1\x8C\xD0\xBC\xD0\xB0\"}]}";
    std::vector<Profile> profiles;
    std::string error;
    EXPECT_FALSE(ImportText(text, sizeof text - 1, SystemCodePage, profiles, error));
    EXPECT_NE(error.find("field \"name\": text outside the system code page"), std::string::npos) << error;
}

}  // namespace

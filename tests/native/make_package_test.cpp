// The scripts write demo and release packages with their own writer: the codec must read what it
// writes, byte for byte as the codec would write it.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <fstream>
#include <iterator>
#include <string>

#include "store/profile.h"

namespace {

std::string Quote(const std::string& text)
{
    return "'" + text + "'";
}

TEST(MakePackageScript, WritesRecordsThatTheCodecReadsAndWouldWriteTheSame)
{
    std::string out = testing::TempDir() + "made.mwpack";
    std::string longArguments(300, 'a');
    std::string command = "python3 " + Quote(MARLOWIN_ROOT "/scripts/make-package.py") + " " + Quote(out) + " " +
                          Quote("Notes|print|C:\\notes.txt|C:\\|" + longArguments + "|Document/URL|Maximize") + " " +
                          Quote("\xD0\x9F\xD1\x83\xD1\x81\xD0\xBA||C:\\x.exe|||Auto|Normal");
    ASSERT_EQ(system(command.c_str()), 0) << command;
    std::ifstream file(out, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_EQ(bytes.size(), 2u * RECORD_SIZE);

    const unsigned char* records = (const unsigned char*)bytes.data();
    Profile first, second;
    DecodeRecord(records, first, 0);
    DecodeRecord(records + RECORD_SIZE, second, 1);
    EXPECT_STREQ(first.name(), "Notes");
    EXPECT_STREQ(first.command(), "print");
    EXPECT_STREQ(first.object(), "C:\\notes.txt");
    EXPECT_STREQ(first.directory(), "C:\\");
    EXPECT_EQ(std::string(first.arguments()), longArguments.substr(0, FIELD_SIZE - 1));
    EXPECT_STREQ(first.type(), "Document/URL");
    EXPECT_STREQ(first.window(), "Maximize");
    // Cyrillic in code page 1251, as the program's ANSI texts are.
    EXPECT_STREQ(second.name(), "\xCF\xF3\xF1\xEA");
    for (int field = 0; field < FIELD_COUNT; ++field)
        EXPECT_TRUE(RecordFieldEnds(records, field)) << field;

    // Reserved word, links and extra word as the codec writes them.
    for (int i = 0; i < 2; ++i) {
        unsigned char encoded[RECORD_SIZE];
        EncodeRecord(i == 0 ? first : second, encoded);
        EXPECT_EQ(std::string((const char*)encoded, RECORD_SIZE), bytes.substr(i * RECORD_SIZE, RECORD_SIZE)) << i;
    }
    remove(out.c_str());
}

}  // namespace

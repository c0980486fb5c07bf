// Turning the bytes of a package into records: whole records only, within the given slots.
#include <gtest/gtest.h>
#include <string.h>
#include <string>

#include "store/profile.h"

namespace {

std::string Stored(const char* name, size_t count = 1)
{
    const char* texts[FIELD_COUNT] = { name, "", "", "", "", "Auto", "Normal" };
    Profile profile(texts, 0);
    unsigned char record[RECORD_SIZE];
    EncodeRecord(profile, record);
    std::string bytes;
    for (size_t i = 0; i < count; ++i)
        bytes.append((const char*)record, RECORD_SIZE);
    return bytes;
}

uint32_t Decode(const std::string& bytes, Profile* records, uint32_t capacity, uint32_t firstOrdinal = 0)
{
    return DecodeRecords((const unsigned char*)bytes.data(), bytes.size(), records, capacity, firstOrdinal);
}

TEST(DecodeRecords, WholeRecordsOnlyNumberedFromTheFirstOrdinal)
{
    std::string bytes = Stored("a") + Stored("b") + std::string(100, 'z');
    Profile records[3];
    ASSERT_EQ(Decode(bytes, records, 3, 5), 2u);
    EXPECT_STREQ(records[0].name(), "a");
    EXPECT_STREQ(records[1].name(), "b");
    EXPECT_EQ(records[0].ordinal, 5u);
    EXPECT_EQ(records[1].ordinal, 6u);
    EXPECT_STREQ(records[2].name(), "");   // the trailing bytes made no record

    EXPECT_EQ(Decode(bytes.substr(0, RECORD_SIZE - 1), records, 3), 0u);
    EXPECT_EQ(Decode("", records, 3), 0u);
}

TEST(DecodeRecords, NeverMoreThanTheSlotsGiven)
{
    std::string bytes = Stored("many", 3);
    Profile records[3];
    strcpy(records[2].name(), "untouched");
    EXPECT_EQ(Decode(bytes, records, 2), 2u);
    EXPECT_STREQ(records[1].name(), "many");
    EXPECT_STREQ(records[2].name(), "untouched");
    EXPECT_EQ(Decode(bytes, records, 0), 0u);
}

}  // namespace

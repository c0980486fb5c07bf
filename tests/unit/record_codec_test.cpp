#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include <vector>

#include "store/profile.h"

namespace {

void PutText(unsigned char* record, int field, const char* text)
{
    memcpy(record + 4 + field * FIELD_SIZE, text, strlen(text) + 1);
}

uint32_t WordAt(const unsigned char* at)
{
    uint32_t value;
    memcpy(&value, at, 4);
    return value;
}

TEST(RecordCodec, DecodesFieldsAtTheirOffsetsAndIgnoresStoredPointers)
{
    unsigned char record[RECORD_SIZE];
    memset(record, 0xAB, sizeof record);   // garbage everywhere, then real texts
    const char* texts[FIELD_COUNT] = { "name", "open", "C:\\x.exe", "C:\\", "-v", "Executable", "Maximize" };
    for (int i = 0; i < FIELD_COUNT; ++i)
        PutText(record, i, texts[i]);
    uint32_t extra = 0x12345678;
    memcpy(record + 1836, &extra, 4);

    Profile profile;
    DecodeRecord(record, profile, 7);
    for (int i = 0; i < FIELD_COUNT; ++i)
        EXPECT_STREQ(profile.field(i), texts[i]) << i;
    EXPECT_EQ(profile.ordinal, 7u);
    EXPECT_EQ(profile.extra, 0x12345678u);
    EXPECT_EQ(profile.next, nullptr);
    EXPECT_EQ(profile.link, nullptr);
}

TEST(RecordCodec, FieldWithoutTerminatorIsCutTo259Characters)
{
    unsigned char record[RECORD_SIZE];
    memset(record, 'x', sizeof record);
    Profile profile;
    DecodeRecord(record, profile, 0);
    for (int i = 0; i < FIELD_COUNT; ++i) {
        EXPECT_EQ(strlen(profile.field(i)), 259u) << i;
        EXPECT_EQ(profile.field(i)[259], '\0');
    }
}

TEST(RecordCodec, EncodesZeroPaddedFieldsAndZeroWords)
{
    const char* texts[FIELD_COUNT] = { "n", "c", "o", "d", "a", "t", "w" };
    Profile profile(texts, 9);
    profile.extra = 77;
    profile.link = &profile;
    profile.next = &profile;
    unsigned char record[RECORD_SIZE];
    memset(record, 0xCC, sizeof record);
    EncodeRecord(profile, record);

    EXPECT_EQ(WordAt(record), 0u);
    for (int i = 0; i < FIELD_COUNT; ++i) {
        const unsigned char* field = record + 4 + i * FIELD_SIZE;
        EXPECT_EQ(field[0], (unsigned char)texts[i][0]);
        for (int k = 1; k < FIELD_SIZE; ++k)
            ASSERT_EQ(field[k], 0) << "field " << i << " byte " << k;
    }
    for (int offset = 1824; offset < RECORD_SIZE; offset += 4)
        EXPECT_EQ(WordAt(record + offset), 0u) << offset;
}

TEST(RecordCodec, RoundTripKeepsTexts)
{
    std::string longText(300, 'L');
    const char* texts[FIELD_COUNT] = { longText.c_str(), "", "obj", "", "", "Auto", "Normal" };
    Profile original(texts, 0);
    EXPECT_EQ(strlen(original.name()), 259u);   // construction cuts too

    unsigned char record[RECORD_SIZE];
    EncodeRecord(original, record);
    Profile copy;
    DecodeRecord(record, copy, 3);
    for (int i = 0; i < FIELD_COUNT; ++i)
        EXPECT_STREQ(copy.field(i), original.field(i)) << i;
}

TEST(RemoveByName, ExactMatchFirstInListOnly)
{
    Profile a, b, c;
    strcpy(a.name(), "Alpha");
    strcpy(b.name(), "alpha");
    strcpy(c.name(), "alpha");
    ProfileList list;
    list.first = &a;
    a.next = &b;
    b.next = &c;

    EXPECT_EQ(list.removeByName("ALPHA"), 0);
    EXPECT_EQ(list.count(), 3u);
    EXPECT_EQ(list.removeByName("alpha"), 1);
    EXPECT_EQ(a.next, &c);
    EXPECT_EQ(list.removeByName("Alpha"), 1);
    EXPECT_EQ(list.first, &c);
    EXPECT_EQ(list.removeByName("alpha"), 1);
    EXPECT_EQ(list.first, nullptr);
    EXPECT_EQ(list.removeByName("alpha"), 0);
}

TEST(Serialize, OneRecordPerNodeInListOrder)
{
    Profile a, b;
    strcpy(a.name(), "first");
    strcpy(b.name(), "second");
    a.extra = b.extra = 9;
    ProfileList list;
    list.first = &b;   // list order, not memory order
    b.next = &a;
    std::vector<unsigned char> buffer(2 * RECORD_SIZE, 0);
    list.serialize(buffer.data());
    EXPECT_STREQ((const char*)buffer.data() + 4, "second");
    EXPECT_STREQ((const char*)buffer.data() + RECORD_SIZE + 4, "first");
    EXPECT_EQ(WordAt(buffer.data() + RECORD_SIZE + 1836), 0u);
}

}  // namespace

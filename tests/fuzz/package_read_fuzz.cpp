// Package reading from bytes: any file gives whole records only and never more than it holds,
// each field a terminated text of the stored bytes, every record once in the name order, and
// what a rewrite stores from that order reads back in the same order.
#include <stdint.h>
#include <string.h>
#include <memory>

#include "store/name_order.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

uint32_t WordAt(const uint8_t* at)
{
    return (uint32_t)at[0] | (uint32_t)at[1] << 8 | (uint32_t)at[2] << 16 | (uint32_t)at[3] << 24;
}

void CheckRecord(const Profile& profile, const uint8_t* stored, uint32_t position)
{
    for (int i = 0; i < FIELD_COUNT; ++i) {
        const char* text = profile.field(i);
        size_t length = strnlen(text, FIELD_SIZE);
        FUZZ_CHECK(length < FIELD_SIZE);
        FUZZ_CHECK(memcmp(text, stored + RecordFieldOffset(i), length) == 0);
        FUZZ_CHECK(length == FIELD_SIZE - 1 || stored[RecordFieldOffset(i) + length] == 0);
    }
    FUZZ_CHECK(profile.ordinal == position);
    FUZZ_CHECK(profile.extra == WordAt(stored + RECORD_EXTRA));
    FUZZ_CHECK(profile.link == nullptr && profile.next == nullptr);

    // What the writer stores reads back as the same texts.
    unsigned char written[RECORD_SIZE];
    EncodeRecord(profile, written);
    Profile again;
    DecodeRecord(written, again, position);
    FUZZ_CHECK(memcmp(again.fields, profile.fields, sizeof profile.fields) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const uint32_t whole = (uint32_t)(size / RECORD_SIZE);

    // Exactly as many slots as whole records: a record more would land outside them.
    std::unique_ptr<Profile[]> records(new Profile[whole]);
    FUZZ_CHECK(DecodeRecords(data, size, records.get(), whole, 0) == whole);
    for (uint32_t i = 0; i < whole; ++i)
        CheckRecord(records[i], data + (size_t)i * RECORD_SIZE, i);

    // A smaller capacity, as a read in chunks gives, is never exceeded.
    const uint32_t capacity = whole / 2;
    std::unique_ptr<Profile[]> part(new Profile[capacity]);
    FUZZ_CHECK(DecodeRecords(data, size, part.get(), capacity, 7) == capacity);
    for (uint32_t i = 0; i < capacity; ++i)
        FUZZ_CHECK(part[i].ordinal == 7 + i);

    // Every record stands in the name order once, and the order holds from node to node.
    ProfileList list;
    LinkInNameOrder(records.get(), whole, list);
    std::unique_ptr<bool[]> seen(new bool[whole]());
    uint32_t count = 0;
    const ProfileBase* previous = nullptr;
    for (const ProfileBase* node = list.first; node; previous = node, node = node->next) {
        FUZZ_CHECK(count < whole);
        size_t index = (size_t)(static_cast<const Profile*>(node) - records.get());
        FUZZ_CHECK(index < whole && !seen[index]);
        seen[index] = true;
        FUZZ_CHECK(node->link == node);
        if (previous) {
            int order = CompareNames(previous->name(), node->name());
            FUZZ_CHECK(order < 0 || (order == 0 && previous->ordinal > node->ordinal));
        }
        ++count;
    }
    FUZZ_CHECK(count == whole);

    // The package as a rewrite stores it reads back to the same names in the same order.
    std::unique_ptr<unsigned char[]> written(new unsigned char[(size_t)whole * RECORD_SIZE]);
    list.serialize(written.get());
    std::unique_ptr<Profile[]> reread(new Profile[whole]);
    FUZZ_CHECK(DecodeRecords(written.get(), (size_t)whole * RECORD_SIZE, reread.get(), whole, 0) == whole);
    ProfileList again;
    LinkInNameOrder(reread.get(), whole, again);
    const ProfileBase* before = list.first;
    for (const ProfileBase* node = again.first; node; node = node->next, before = before->next)
        FUZZ_CHECK(before && strcmp(node->name(), before->name()) == 0);
    FUZZ_CHECK(before == nullptr);
    return 0;
}

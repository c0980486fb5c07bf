// Profile records as stored in package files, and the list operations that need no window system.
#include "store/profile.h"

#include <string.h>

namespace {

const uint32_t RESERVED_WORD = 0;

void PutWord(unsigned char* at, uint32_t value)
{
    at[0] = (unsigned char)value;
    at[1] = (unsigned char)(value >> 8);
    at[2] = (unsigned char)(value >> 16);
    at[3] = (unsigned char)(value >> 24);
}

uint32_t GetWord(const unsigned char* at)
{
    return (uint32_t)at[0] | (uint32_t)at[1] << 8 | (uint32_t)at[2] << 16 | (uint32_t)at[3] << 24;
}

// Copies a text into a field, cut to the field's 259 characters.
void CopyField(char* target, const char* source)
{
    size_t length = strnlen(source, FIELD_SIZE - 1);
    memcpy(target, source, length);
    memset(target + length, 0, FIELD_SIZE - length);
}

}  // namespace

ProfileBase::ProfileBase() : link(nullptr), next(nullptr), ordinal(0)
{
    memset(fields, 0, sizeof fields);
}

ProfileBase::ProfileBase(const char* const texts[FIELD_COUNT], uint32_t ordinalValue)
    : link(nullptr), next(nullptr), ordinal(ordinalValue)
{
    for (int i = 0; i < FIELD_COUNT; ++i)
        CopyField(fields[i], texts[i] ? texts[i] : "");
}

void ProfileBase::attach() {}

void Profile::attach()
{
    link = this;
}

int CompareBytes(const char* a, const char* b)
{
    const unsigned char* x = (const unsigned char*)a;
    const unsigned char* y = (const unsigned char*)b;
    while (*x == *y) {
        if (*x == 0)
            return 0;
        ++x;
        ++y;
    }
    return *x < *y ? -1 : 1;
}

void DecodeRecord(const unsigned char* record, Profile& profile, uint32_t ordinalValue)
{
    for (int i = 0; i < FIELD_COUNT; ++i)
        CopyField(profile.fields[i], (const char*)record + RecordFieldOffset(i));
    profile.link = nullptr;
    profile.next = nullptr;
    profile.ordinal = ordinalValue;
    profile.extra = GetWord(record + RECORD_EXTRA);
}

uint32_t DecodeRecords(const unsigned char* bytes, size_t size, Profile* records, uint32_t capacity,
                       uint32_t firstOrdinal)
{
    size_t whole = size / RECORD_SIZE;
    uint32_t count = whole < capacity ? (uint32_t)whole : capacity;
    for (uint32_t i = 0; i < count; ++i)
        DecodeRecord(bytes + (size_t)i * RECORD_SIZE, records[i], firstOrdinal + i);
    return count;
}

void EncodeRecord(const ProfileBase& profile, unsigned char* record)
{
    memset(record, 0, RECORD_SIZE);
    PutWord(record + RECORD_RESERVED, RESERVED_WORD);
    for (int i = 0; i < FIELD_COUNT; ++i) {
        size_t length = strnlen(profile.fields[i], FIELD_SIZE - 1);
        memcpy(record + RecordFieldOffset(i), profile.fields[i], length);
    }
    // link, next, ordinal and extra stay zero: pointers mean nothing on disk.
}

bool RecordFieldEnds(const unsigned char* record, int field)
{
    return memchr(record + RecordFieldOffset(field), 0, FIELD_SIZE) != nullptr;
}

int ProfileList::removeByName(const char* text)
{
    ProfileBase* previous = nullptr;
    for (ProfileBase* node = first; node; previous = node, node = node->next) {
        if (CompareBytes(node->name(), text) == 0) {
            (previous ? previous->next : first) = node->next;
            return 1;
        }
    }
    return 0;
}

void ProfileList::serialize(unsigned char* buffer) const
{
    for (const ProfileBase* node = first; node; node = node->next, buffer += RECORD_SIZE)
        EncodeRecord(*node, buffer);
}

uint32_t ProfileList::count() const
{
    uint32_t n = 0;
    for (const ProfileBase* node = first; node; node = node->next)
        ++n;
    return n;
}

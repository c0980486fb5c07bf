// One profile of a package, the name-ordered list that links profiles, and the stored record.
// Defined in: record_codec.cpp (records, the list's plain operations), name_order.cpp (the order),
// profile_window.cpp (the record's own window operations), editor/profile_list_box.cpp (the
// list's, which fill the editor's list box).
#ifndef MARLOWIN_PROFILE_H
#define MARLOWIN_PROFILE_H

#include <stddef.h>
#include <stdint.h>

// Same declaration as <windows.h> gives, so this header stays free of it.
struct HWND__;
typedef HWND__* HWND;

enum {
    FIELD_SIZE = 260,          // 259 characters and the terminator
    FIELD_COUNT = 7,
    RECORD_SIZE = 1840,        // bytes of one stored profile
};

// Where the parts of a stored record lie; every reader and writer of records uses these.
enum RecordOffset {
    RECORD_RESERVED = 0,       // a word stored as zero
    RECORD_FIELDS = 4,         // the seven fields, FIELD_SIZE bytes each, in field order
    RECORD_LINKS = 1824,       // link, next and ordinal: stored as zero, pointers mean nothing on disk
    RECORD_EXTRA = 1836,       // a word read into the profile, never interpreted; written as zero
};
static_assert(RECORD_FIELDS + FIELD_COUNT * FIELD_SIZE == RECORD_LINKS, "the fields end where the links start");
static_assert(RECORD_LINKS + 3 * 4 == RECORD_EXTRA, "three words of links");
static_assert(RECORD_EXTRA + 4 == RECORD_SIZE, "the extra word ends the record");

// The offset of a field's text within a record.
constexpr size_t RecordFieldOffset(int field)
{
    return RECORD_FIELDS + (size_t)field * FIELD_SIZE;
}

// Field numbers in record order.
enum ProfileField {
    FIELD_NAME, FIELD_COMMAND, FIELD_OBJECT, FIELD_DIRECTORY,
    FIELD_ARGUMENTS, FIELD_TYPE, FIELD_WINDOW
};

class ProfileBase {
public:
    ProfileBase();
    ProfileBase(const char* const texts[FIELD_COUNT], uint32_t ordinalValue);
    virtual void attach();
    virtual intptr_t addToListBox(HWND window, int index, int reserved);
    virtual intptr_t postFields(HWND window, int index, int reserved);

    char* field(int number) { return fields[number]; }
    const char* field(int number) const { return fields[number]; }

    // The seven texts, addressed also by name through the accessors below.
    char fields[FIELD_COUNT][FIELD_SIZE];
    ProfileBase* link;
    ProfileBase* next;
    uint32_t ordinal;

    char* name() { return fields[FIELD_NAME]; }
    const char* name() const { return fields[FIELD_NAME]; }
    const char* command() const { return fields[FIELD_COMMAND]; }
    const char* object() const { return fields[FIELD_OBJECT]; }
    const char* directory() const { return fields[FIELD_DIRECTORY]; }
    const char* arguments() const { return fields[FIELD_ARGUMENTS]; }
    const char* type() const { return fields[FIELD_TYPE]; }
    const char* window() const { return fields[FIELD_WINDOW]; }
};

class Profile final : public ProfileBase {
public:
    Profile() : extra(0) {}
    Profile(const char* const texts[FIELD_COUNT], uint32_t ordinalValue)
        : ProfileBase(texts, ordinalValue), extra(0) {}
    void attach() override;

    uint32_t extra;   // the stored word, never interpreted; a rewrite stores zero
};

// Singly linked list in name order; it never owns its nodes.
struct ProfileList {
    ProfileBase* first = nullptr;

    void insertSorted(ProfileBase* profile);
    void fillListBox(HWND dialog, int reserved) const;
    int removeByName(const char* text);
    void serialize(unsigned char* buffer) const;
    uint32_t count() const;
};

// Byte comparison as unsigned values, terminator included: -1, 0 or +1.
int CompareBytes(const char* a, const char* b);

// The profile order: case-insensitive in the system code page first, then byte order.
int CompareNames(const char* a, const char* b);

// Record codec. A stored text without a terminator in its 260 bytes is cut to 259 characters.
void DecodeRecord(const unsigned char* record, Profile& profile, uint32_t ordinalValue);
void EncodeRecord(const ProfileBase& profile, unsigned char* record);
// True when the stored text of the field has its terminator within the field's bytes.
bool RecordFieldEnds(const unsigned char* record, int field);

// Decodes the whole records among the first size bytes, at most capacity of them, into
// records[0...]; the first gets firstOrdinal and each next one more. Trailing bytes that make
// no whole record are left alone. Gives the number of records decoded.
uint32_t DecodeRecords(const unsigned char* bytes, size_t size, Profile* records, uint32_t capacity,
                       uint32_t firstOrdinal);

#endif

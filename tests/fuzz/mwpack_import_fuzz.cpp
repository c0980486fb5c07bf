// The text form's import under a fuzzer: any input gives either a clear error or profiles whose
// export imports back to the same profiles; and any record bytes that export come back the same.
// Native build: the code page behind the seam is Latin-1, where every byte is one character.
//   clang++-14 -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -DJSON_NOEXCEPTION -I. \
//     tests/fuzz/mwpack_import_fuzz.cpp mwpack/text_form.cpp store/record_codec.cpp -o mwpack_import_fuzz
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "mwpack/text_form.h"

// The window side of profiles is not part of these rules.
intptr_t ProfileBase::addToListBox(HWND, int, int) { return 0; }
intptr_t ProfileBase::postFields(HWND, int, int) { return 0; }

namespace {

bool Latin1ToUtf8(const char* text, size_t length, std::string& out)
{
    out.clear();
    for (size_t i = 0; i < length; ++i) {
        unsigned char c = (unsigned char)text[i];
        if (c < 0x80) {
            out += (char)c;
        } else {
            out += (char)(0xC0 | c >> 6);
            out += (char)(0x80 | (c & 0x3F));
        }
    }
    return true;
}

bool Utf8ToLatin1(const char* text, size_t length, std::string& out)
{
    out.clear();
    for (size_t i = 0; i < length; ++i) {
        unsigned char c = (unsigned char)text[i];
        if (c < 0x80) {
            out += (char)c;
        } else if ((c == 0xC2 || c == 0xC3) && i + 1 < length && ((unsigned char)text[i + 1] & 0xC0) == 0x80) {
            out += (char)((c & 0x03) << 6 | ((unsigned char)text[i + 1] & 0x3F));
            ++i;
        } else {
            return false;
        }
    }
    return true;
}

const CodePage LATIN1 = { Latin1ToUtf8, Utf8ToLatin1 };

bool SameProfiles(const std::vector<Profile>& a, const std::vector<Profile>& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        for (int field = 0; field < FIELD_COUNT; ++field)
            if (strcmp(a[i].field(field), b[i].field(field)) != 0)
                return false;
    return true;
}

std::vector<const ProfileBase*> Pointers(const std::vector<Profile>& profiles)
{
    std::vector<const ProfileBase*> order;
    for (const Profile& profile : profiles)
        order.push_back(&profile);
    return order;
}

void Check(bool condition)
{
    if (!condition)
        abort();
}

// Text in: an error with a message, or profiles that survive export and import unchanged.
void ImportProperty(const char* data, size_t size)
{
    std::vector<Profile> profiles;
    std::string error;
    if (!ImportText(data, size, LATIN1, profiles, error)) {
        Check(!error.empty() && profiles.empty());
        return;
    }
    for (const Profile& profile : profiles)
        Check(profile.name()[0] != '\0');
    std::string text, again;
    Check(ExportText(Pointers(profiles), LATIN1, text, error));
    std::vector<Profile> back;
    Check(ImportText(text.data(), text.size(), LATIN1, back, error));
    Check(SameProfiles(profiles, back));
    Check(ExportText(Pointers(back), LATIN1, again, error) && again == text);
}

// Record bytes in, as the editor writes them: export and import give the same bytes.
void RecordProperty(const unsigned char* data, size_t size)
{
    std::vector<Profile> profiles(size / RECORD_SIZE);
    for (size_t i = 0; i < profiles.size(); ++i)
        DecodeRecord(data + i * RECORD_SIZE, profiles[i], (uint32_t)i);
    std::string text, error;
    Check(ExportText(Pointers(profiles), LATIN1, text, error));
    std::vector<Profile> back;
    bool imported = ImportText(text.data(), text.size(), LATIN1, back, error);
    // Only an empty name is refused: the editor never writes one.
    bool emptyName = false;
    for (const Profile& profile : profiles)
        emptyName = emptyName || profile.name()[0] == '\0';
    Check(imported != emptyName);
    if (!imported)
        return;
    for (size_t i = 0; i < profiles.size(); ++i) {
        unsigned char original[RECORD_SIZE], again[RECORD_SIZE];
        EncodeRecord(profiles[i], original);
        EncodeRecord(back[i], again);
        Check(memcmp(original, again, RECORD_SIZE) == 0);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ImportProperty((const char*)data, size);
    if (size >= RECORD_SIZE)
        RecordProperty(data, size);
    return 0;
}

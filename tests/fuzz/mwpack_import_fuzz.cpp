// The text form's import: any input gives either a clear error and no profiles, or profiles that
// export and import back unchanged; and a package as the editor writes it, whatever its bytes,
// exports and imports to the same bytes. The code page behind the seam is Latin-1 here, where
// every byte is one character.
#include <stdint.h>
#include <string.h>
#include <string>
#include <vector>

#include "mwpack/text_form.h"
#include "store/name_order.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

bool Latin1ToUtf8(const char* text, size_t length, std::string& out)
{
    out.clear();
    for (size_t i = 0; i < length; ++i) {
        unsigned char c = (unsigned char)text[i];
        if (c >= 0x80)
            out += (char)(0xC0 | c >> 6);
        out += (char)(c >= 0x80 ? 0x80 | (c & 0x3F) : c);
    }
    return true;
}

bool Utf8ToLatin1(const char* text, size_t length, std::string& out)
{
    out.clear();
    for (size_t i = 0; i < length; ++i) {
        unsigned char c = (unsigned char)text[i];
        if (c >= 0x80) {
            if ((c != 0xC2 && c != 0xC3) || i + 1 >= length || ((unsigned char)text[i + 1] & 0xC0) != 0x80)
                return false;
            c = (unsigned char)((c & 0x03) << 6 | ((unsigned char)text[++i] & 0x3F));
        }
        out += (char)c;
    }
    return true;
}

const CodePage LATIN1 = { Latin1ToUtf8, Utf8ToLatin1 };

std::vector<const ProfileBase*> Pointers(const std::vector<Profile>& profiles)
{
    std::vector<const ProfileBase*> order;
    for (const Profile& profile : profiles)
        order.push_back(&profile);
    return order;
}

std::string Serialize(const ProfileList& list)
{
    std::string bytes(list.count() * RECORD_SIZE, '\0');
    list.serialize((unsigned char*)&bytes[0]);
    return bytes;
}

void TextProperty(const char* data, size_t size)
{
    std::vector<Profile> profiles;
    std::string error;
    if (!ImportText(data, size, LATIN1, profiles, error)) {
        FUZZ_CHECK(!error.empty() && profiles.empty());
        return;
    }
    std::string text, again;
    FUZZ_CHECK(ExportText(Pointers(profiles), LATIN1, text, error));
    std::vector<Profile> back;
    FUZZ_CHECK(ImportText(text.data(), text.size(), LATIN1, back, error));
    FUZZ_CHECK(back.size() == profiles.size());
    for (size_t i = 0; i < back.size(); ++i) {
        FUZZ_CHECK(profiles[i].name()[0] != '\0');
        for (int field = 0; field < FIELD_COUNT; ++field)
            FUZZ_CHECK(strcmp(profiles[i].field(field), back[i].field(field)) == 0);
    }
    FUZZ_CHECK(ExportText(Pointers(back), LATIN1, again, error) && again == text);
}

void PackageProperty(const uint8_t* data, size_t size)
{
    // The package the editor would write from these records: name order, no empty names.
    std::vector<Profile> records(size / RECORD_SIZE);
    for (size_t i = 0; i < records.size(); ++i) {
        DecodeRecord(data + i * RECORD_SIZE, records[i], (uint32_t)i);
        if (records[i].name()[0] == '\0')
            records[i].name()[0] = 'n';
    }
    ProfileList order;
    LinkInNameOrder(records.data(), (uint32_t)records.size(), order);
    std::string package = Serialize(order);

    std::vector<Profile> stored(records.size());
    for (size_t i = 0; i < stored.size(); ++i)
        DecodeRecord((const unsigned char*)package.data() + i * RECORD_SIZE, stored[i], (uint32_t)i);
    std::string text, error;
    FUZZ_CHECK(ExportText(Pointers(stored), LATIN1, text, error));
    std::vector<Profile> imported;
    FUZZ_CHECK(ImportText(text.data(), text.size(), LATIN1, imported, error));
    ProfileList written;
    LinkInGivenOrder(imported, written);
    FUZZ_CHECK(Serialize(written) == package);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TextProperty((const char*)data, size);
    PackageProperty(data, size);
    return 0;
}

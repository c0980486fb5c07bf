// The text form's import: any input gives either a clear error and no profiles, or profiles that
// export and import back unchanged; and a package whose fields are padded as the store writes
// them, whatever its bytes and the order of its records, exports and imports to the same bytes.
// The code page behind the seam is Latin-1 here, where every byte is one character.
#include <stdint.h>
#include <string.h>
#include <string>
#include <vector>

#include "mwpack/text_form.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/unit/latin1_code_page.h"

namespace {

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
        FUZZ_CHECK(profiles[i].ordinal == i);
        for (int field = 0; field < FIELD_COUNT; ++field)
            FUZZ_CHECK(strcmp(profiles[i].field(field), back[i].field(field)) == 0);
    }
    FUZZ_CHECK(ExportText(Pointers(back), LATIN1, again, error) && again == text);
}

void PackageProperty(const uint8_t* data, size_t size)
{
    // The package the store would write from these records, in the file's own order.
    std::vector<Profile> records(size / RECORD_SIZE);
    for (size_t i = 0; i < records.size(); ++i)
        DecodeRecord(data + i * RECORD_SIZE, records[i], (uint32_t)i);
    ProfileList order;
    LinkInGivenOrder(records, order);
    std::string package = Serialize(order);

    std::string text, error;
    FUZZ_CHECK(ExportText(Pointers(records), LATIN1, text, error));
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

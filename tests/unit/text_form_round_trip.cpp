// Random packages as the editor writes them, through export and import.
#include "tests/unit/text_form_round_trip.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>

#include "mwpack/text_conversion.h"
#include "mwpack/text_form.h"
#include "store/name_order.h"

namespace {

const char* const TYPES[] = { "Auto", "Executable", "Document/URL", "" };
const char* const WINDOWS[] = { "Normal", "Minimize", "Maximize", "" };

class RandomTexts {
public:
    explicit RandomTexts(unsigned seed) : state_(seed) {}
    unsigned next(unsigned bound)
    {
        state_ = state_ * 1103515245u + 12345u;
        return (state_ >> 8) % bound;
    }
    // Every byte from 1 to 255; lengths 0 and 259 come up often.
    std::string text(bool allowEmpty)
    {
        unsigned pick = next(4);
        size_t length = pick == 0 ? (allowEmpty ? 0 : 1) : pick == 1 ? FIELD_SIZE - 1 : 1 + next(40);
        std::string out;
        for (size_t i = 0; i < length; ++i)
            out += (char)(1 + next(255));
        return out;
    }

private:
    unsigned state_;
};

// A package as the editor writes it: its profiles in name order. Names come from a small pool
// in varied letter case, so exact duplicates and case-different names are common.
std::string EditorPackage(RandomTexts& random, size_t count)
{
    std::vector<std::string> pool;
    for (int i = 0; i < 6; ++i)
        pool.push_back(random.text(false));
    pool.push_back("Work");
    pool.push_back("WORK");
    pool.push_back("work");
    std::vector<Profile> profiles(count);
    for (size_t i = 0; i < count; ++i) {
        std::string texts[FIELD_COUNT];
        texts[FIELD_NAME] = random.next(2) ? pool[random.next((unsigned)pool.size())] : random.text(false);
        for (int field = FIELD_COMMAND; field <= FIELD_ARGUMENTS; ++field)
            texts[field] = random.text(true);
        texts[FIELD_TYPE] = TYPES[random.next(4)];
        texts[FIELD_WINDOW] = WINDOWS[random.next(4)];
        const char* pointers[FIELD_COUNT];
        for (int field = 0; field < FIELD_COUNT; ++field)
            pointers[field] = texts[field].c_str();
        profiles[i] = Profile(pointers, (uint32_t)i);
    }
    ProfileList list;
    LinkInNameOrder(profiles.data(), (uint32_t)count, list);
    std::string bytes(list.count() * RECORD_SIZE, '\0');
    list.serialize((unsigned char*)&bytes[0]);
    return bytes;
}

}  // namespace

std::string ExportThenImport(const std::string& bytes, std::string& error)
{
    size_t count = bytes.size() / RECORD_SIZE;
    std::vector<Profile> read(count);
    std::vector<const ProfileBase*> order;
    for (size_t i = 0; i < count; ++i) {
        DecodeRecord((const unsigned char*)bytes.data() + i * RECORD_SIZE, read[i], (uint32_t)i);
        order.push_back(&read[i]);
    }
    std::string text;
    std::vector<Profile> imported;
    if (!ExportText(order, SystemCodePage, text, error) ||
        !ImportText(text.data(), text.size(), SystemCodePage, imported, error))
        return std::string();
    ProfileList list;
    LinkInGivenOrder(imported, list);
    std::string written(list.count() * RECORD_SIZE, '\0');
    list.serialize((unsigned char*)&written[0]);
    return written;
}

void ExpectRoundTrips(unsigned seeds)
{
    for (unsigned seed = 1; seed <= seeds; ++seed) {
        RandomTexts random(seed);
        std::string bytes = EditorPackage(random, 1 + random.next(40));
        std::string error;
        std::string back = ExportThenImport(bytes, error);
        EXPECT_EQ(error, "") << "seed " << seed;
        ASSERT_TRUE(back == bytes) << "seed " << seed << ": " << back.size() << " bytes against " << bytes.size();
    }
}


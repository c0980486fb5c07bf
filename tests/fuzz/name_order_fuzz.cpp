// Name order: for any list of names, the one-pass order of a read and ordered insertion both
// equal the literal one-by-one insertion kept here as a model, and the comparison is a sound
// three-way order that calls only identical texts equal.
#include <stdint.h>
#include <string.h>
#include <string>
#include <vector>

#include "store/name_order.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

// Enough names for every way of meeting in the order; the model's cost grows with their square.
const size_t MAX_NAMES = 64;

// Names are the input's lines.
std::vector<std::string> SplitLines(const uint8_t* data, size_t size)
{
    std::vector<std::string> lines(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == '\n') {
            if (lines.size() == MAX_NAMES)
                break;
            lines.emplace_back();
        } else {
            lines.back() += (char)data[i];
        }
    }
    return lines;
}

void CheckComparison(const std::string& a, const std::string& b)
{
    int forward = CompareNames(a.c_str(), b.c_str());
    int backward = CompareNames(b.c_str(), a.c_str());
    FUZZ_CHECK(forward >= -1 && forward <= 1);
    FUZZ_CHECK(forward == -backward);
    FUZZ_CHECK((forward == 0) == (strcmp(a.c_str(), b.c_str()) == 0));
}

std::vector<Profile> MakeRecords(const std::vector<std::string>& names)
{
    std::vector<Profile> records(names.size());
    for (size_t i = 0; i < names.size(); ++i) {
        const char* texts[FIELD_COUNT] = { names[i].c_str(), "", "", "", "", "", "" };
        records[i] = Profile(texts, (uint32_t)i);
    }
    return records;
}

void CheckSameOrder(const ProfileList& list, const std::vector<size_t>& model, const std::vector<Profile>& records)
{
    size_t position = 0;
    for (const ProfileBase* node = list.first; node; node = node->next, ++position) {
        FUZZ_CHECK(position < model.size());
        FUZZ_CHECK(node == &records[model[position]]);
        FUZZ_CHECK(node->ordinal == model[position]);
        FUZZ_CHECK(node->link == node);
    }
    FUZZ_CHECK(position == model.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> names = SplitLines(data, size);
    for (size_t i = 0; i + 1 < names.size(); ++i)
        CheckComparison(names[i], names[i + 1]);
    CheckComparison(names.front(), names.back());

    // The model: each name in turn goes before the first one that does not sort before it.
    std::vector<std::string> fields;
    for (const std::string& name : names)
        fields.push_back(name.substr(0, FIELD_SIZE - 1));
    std::vector<size_t> expected;
    for (size_t i = 0; i < fields.size(); ++i) {
        size_t at = 0;
        while (at < expected.size() && CompareNames(fields[expected[at]].c_str(), fields[i].c_str()) < 0)
            ++at;
        expected.insert(expected.begin() + (ptrdiff_t)at, i);
    }

    std::vector<Profile> inserted = MakeRecords(fields);
    ProfileList slow;
    for (Profile& record : inserted)
        slow.insertSorted(&record);
    CheckSameOrder(slow, expected, inserted);

    std::vector<Profile> bulk = MakeRecords(fields);
    ProfileList fast;
    LinkInNameOrder(bulk.data(), (uint32_t)bulk.size(), fast);
    CheckSameOrder(fast, expected, bulk);
    return 0;
}

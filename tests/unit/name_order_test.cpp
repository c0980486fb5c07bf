#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>

#include "store/name_order.h"

namespace {

std::vector<std::string> NamesInListOrder(const ProfileList& list)
{
    std::vector<std::string> names;
    for (const ProfileBase* node = list.first; node; node = node->next)
        names.push_back(node->name());
    return names;
}

void SetName(Profile& profile, const std::string& name)
{
    lstrcpynA(profile.name(), name.c_str(), FIELD_SIZE);
}

TEST(CompareNames, CaseInsensitiveFirstThenByteOrder)
{
    EXPECT_EQ(CompareNames("ALPHA", "Alpha"), -1);
    EXPECT_EQ(CompareNames("Alpha", "alpha"), -1);
    EXPECT_EQ(CompareNames("alpha", "beta"), -1);
    EXPECT_EQ(CompareNames("beta", "ALPHA"), 1);
    EXPECT_EQ(CompareNames("Auto", "auto"), -1);
    EXPECT_EQ(CompareNames("same", "same"), 0);
}

TEST(CompareNames, PrefixesDigitsUnderscoreAndEmpty)
{
    EXPECT_EQ(CompareNames("abc", "abcd"), -1);
    EXPECT_EQ(CompareNames("10", "9"), -1);
    EXPECT_EQ(CompareNames("zeta", "_x"), -1);   // '_' lies above 'Z'
    EXPECT_EQ(CompareNames("Zeta", "_x"), -1);
    EXPECT_EQ(CompareNames("", "a"), -1);
    EXPECT_EQ(CompareNames("", ""), 0);
}

TEST(CompareNames, LongTextsBeyondAField)
{
    std::string a(5000, 'q'), b(5000, 'q');
    b[4999] = 'Q';
    EXPECT_EQ(CompareNames(a.c_str(), b.c_str()), 1);   // equal folded, then 'Q' < 'q'
    EXPECT_EQ(CompareNames(a.c_str(), a.c_str()), 0);
}

TEST(InsertSorted, ExampleOrderAndIdenticalNamesReadLaterFirst)
{
    Profile records[5];
    const char* names[] = { "beta", "Alpha", "alpha", "ALPHA", "beta" };
    ProfileList list;
    for (int i = 0; i < 5; ++i) {
        SetName(records[i], names[i]);
        records[i].ordinal = i;
        list.insertSorted(&records[i]);
    }
    EXPECT_EQ(NamesInListOrder(list), (std::vector<std::string>{ "ALPHA", "Alpha", "alpha", "beta", "beta" }));
    EXPECT_EQ(list.first->next->next->next->ordinal, 4u);  // the later "beta" first
    for (const ProfileBase* node = list.first; node; node = node->next)
        EXPECT_EQ(node->link, node);
}

// The fast read order must equal one-by-one insertion, on awkward data.
TEST(LinkInNameOrder, MatchesRepeatedInsertSorted)
{
    const char* pool[] = { "a", "A", "b", "B", "ab", "AB", "aB", "", "_", "z", "Z", "10", "9", "a b", "a",
                           "\xE0", "\xC0", "\xFF", "x\xB8" };
    const int count = 400;
    std::vector<Profile> bulk(count), single(count);
    unsigned seed = 12345;
    for (int i = 0; i < count; ++i) {
        seed = seed * 1103515245u + 12345u;
        const char* name = pool[(seed >> 16) % (sizeof pool / sizeof pool[0])];
        SetName(bulk[i], name);
        SetName(single[i], name);
        bulk[i].ordinal = single[i].ordinal = i;
    }
    ProfileList fast, slow;
    LinkInNameOrder(bulk.data(), count, fast);
    for (int i = 0; i < count; ++i)
        slow.insertSorted(&single[i]);

    const ProfileBase* a = fast.first;
    const ProfileBase* b = slow.first;
    int position = 0;
    for (; a && b; a = a->next, b = b->next, ++position) {
        ASSERT_STREQ(a->name(), b->name()) << position;
        ASSERT_EQ(a->ordinal, b->ordinal) << position;
        ASSERT_EQ(a->link, a);
    }
    EXPECT_EQ(a, nullptr);
    EXPECT_EQ(b, nullptr);
}

TEST(LinkInNameOrder, EmptyInputGivesEmptyList)
{
    ProfileList list;
    list.first = reinterpret_cast<ProfileBase*>(1);
    LinkInNameOrder(nullptr, 0, list);
    EXPECT_EQ(list.first, nullptr);
}

}  // namespace

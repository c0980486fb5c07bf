// The order of profiles by name, which is also the order in which a package launches.
#include "store/name_order.h"

#include <stdlib.h>
#include <string.h>

#include "store/upper_case.h"

namespace {

// Holds an upper-cased copy of a text; short texts stay on the stack.
class FoldedText {
public:
    explicit FoldedText(const char* text)
    {
        size_t length = strlen(text);
        data_ = length < sizeof small_ ? small_ : (char*)malloc(length + 1);
        if (data_) {
            memcpy(data_, text, length + 1);
            UpperCaseInPlace(data_);
        }
    }
    ~FoldedText()
    {
        if (data_ && data_ != small_)
            free(data_);
    }
    FoldedText(const FoldedText&) = delete;
    FoldedText& operator=(const FoldedText&) = delete;
    const char* get() const { return data_; }

private:
    char small_[FIELD_SIZE];
    char* data_;
};

struct SortEntry {
    const char* folded;
    Profile* profile;
};

int CompareEntries(const void* left, const void* right)
{
    const SortEntry* a = (const SortEntry*)left;
    const SortEntry* b = (const SortEntry*)right;
    int order = CompareBytes(a->folded, b->folded);
    if (order == 0)
        order = CompareBytes(a->profile->name(), b->profile->name());
    if (order == 0)  // identical names: the one read later stands first
        order = a->profile->ordinal > b->profile->ordinal ? -1 : a->profile->ordinal < b->profile->ordinal;
    return order;
}

}  // namespace

int CompareNames(const char* a, const char* b)
{
    FoldedText foldedA(a);
    FoldedText foldedB(b);
    int order = 0;
    if (foldedA.get() && foldedB.get())
        order = CompareBytes(foldedA.get(), foldedB.get());
    return order != 0 ? order : CompareBytes(a, b);
}

void ProfileList::insertSorted(ProfileBase* profile)
{
    ProfileBase* previous = nullptr;
    ProfileBase* stop = first;
    while (stop && CompareNames(stop->name(), profile->name()) < 0) {
        previous = stop;
        stop = stop->next;
    }
    profile->attach();
    profile->link->next = stop;
    (previous ? previous->next : first) = profile->link;
}

void LinkInNameOrder(Profile* records, uint32_t count, ProfileList& list)
{
    list.first = nullptr;
    if (count == 0)
        return;

    size_t keyBytes = 0;
    for (uint32_t i = 0; i < count; ++i)
        keyBytes += strlen(records[i].name()) + 1;
    SortEntry* entries = (SortEntry*)malloc(count * sizeof(SortEntry));
    char* keys = (char*)malloc(keyBytes);
    if (!entries || !keys) {
        // Same order, only slower.
        free(entries);
        free(keys);
        for (uint32_t i = 0; i < count; ++i)
            list.insertSorted(&records[i]);
        return;
    }

    // One fold per name instead of two per comparison.
    char* key = keys;
    for (uint32_t i = 0; i < count; ++i) {
        size_t size = strlen(records[i].name()) + 1;
        memcpy(key, records[i].name(), size);
        UpperCaseInPlace(key);
        entries[i].folded = key;
        entries[i].profile = &records[i];
        key += size;
    }
    qsort(entries, count, sizeof(SortEntry), CompareEntries);

    ProfileBase** tail = &list.first;
    for (uint32_t i = 0; i < count; ++i) {
        Profile* profile = entries[i].profile;
        profile->attach();
        *tail = profile->link;
        tail = &profile->link->next;
    }
    *tail = nullptr;
    free(entries);
    free(keys);
}

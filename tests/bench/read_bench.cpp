// Reading and ordering a package, against one-by-one insertion with a comparison that
// makes two heap copies per call; and a 50 MB file that is no package at all.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>

#include "store/package_file.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

// The comparison taken literally: upper-cased heap copies of both texts on every call.
int LiteralCompareNames(const char* a, const char* b)
{
    HANDLE heap = GetProcessHeap();
    size_t la = strlen(a) + 1, lb = strlen(b) + 1;
    char* ca = (char*)HeapAlloc(heap, 0, la);
    char* cb = (char*)HeapAlloc(heap, 0, lb);
    memcpy(ca, a, la);
    memcpy(cb, b, lb);
    CharUpperA(ca);
    CharUpperA(cb);
    int order = CompareBytes(ca, cb);
    if (order == 0)
        order = CompareBytes(a, b);
    HeapFree(heap, 0, ca);
    HeapFree(heap, 0, cb);
    return order;
}

void LiteralInsert(ProfileList& list, Profile* profile)
{
    ProfileBase* previous = nullptr;
    ProfileBase* stop = list.first;
    while (stop && LiteralCompareNames(stop->name(), profile->name()) < 0) {
        previous = stop;
        stop = stop->next;
    }
    profile->attach();
    profile->next = stop;
    (previous ? previous->next : list.first) = profile;
}

std::string MakePackage(int count)
{
    std::vector<RecordSpec> records(count);
    unsigned seed = 7;
    for (int i = 0; i < count; ++i) {
        seed = seed * 1103515245u + 12345u;
        char name[64];
        snprintf(name, sizeof name, "%s Profile %05u", (seed >> 20) & 1 ? "work" : "Work", (seed >> 8) % 30000);
        records[i].name = name;
        records[i].object = "C:\\Programs\\tool.exe";
        records[i].type = "Executable";
        records[i].window = "Normal";
    }
    return EncodePackage(records);
}

double TimeRead(const std::string& path, uint32_t* loaded)
{
    PackageFile* package = CreatePackageFile();
    package->handle = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    double start = MillisecondsNow();
    package->readRecords();
    double seconds = (MillisecondsNow() - start) / 1000.0;
    *loaded = package->loadedCount;
    DestroyPackageFile(package);
    return seconds;
}

}  // namespace

int main()
{
    std::string folder = MakeTempFolder("bench-read");
    const int count = 20000;
    std::string bytes = MakePackage(count);
    std::string path = folder + "\\big.mwpack";
    WriteFileBytes(path, bytes);

    uint32_t loaded = 0;
    double best = 1e9;
    for (int run = 0; run < 3; ++run) {
        double t = TimeRead(path, &loaded);
        if (t < best)
            best = t;
    }

    std::vector<Profile> records(count);
    for (int i = 0; i < count; ++i)
        DecodeRecord((const unsigned char*)bytes.data() + i * RECORD_SIZE, records[i], i);
    ProfileList literal;
    double start = MillisecondsNow();
    for (int i = 0; i < count; ++i)
        LiteralInsert(literal, &records[i]);
    double literalSeconds = (MillisecondsNow() - start) / 1000.0;

    printf("read and order %d records: %.4f s (loaded %u)\n", count, best, loaded);
    printf("literal one-by-one insertion of the same records: %.3f s\n", literalSeconds);
    printf("ratio literal / read: %.0fx (goal at least 50x)\n", literalSeconds / best);

    // 50 MB of random bytes: what a stray video or archive would look like.
    std::string noise(50u << 20, '\0');
    unsigned seed = 5;
    for (size_t i = 0; i < noise.size(); i += 4) {
        seed = seed * 1664525u + 1013904223u;
        memcpy(&noise[i], &seed, 4);
    }
    std::string noisePath = folder + "\\noise.mwpack";
    WriteFileBytes(noisePath, noise);
    double noiseSeconds = TimeRead(noisePath, &loaded);
    printf("read and order a 50 MB non-package file: %.3f s (%u records)\n", noiseSeconds, loaded);

    RemoveTree(folder);
    return 0;
}

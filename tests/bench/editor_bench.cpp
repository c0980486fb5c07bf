// Add Profile on packages of 100 and 2,000 profiles, against one bare write and read of the
// same bytes. Every Add rewrites the whole file, reads it back and refills the list box.
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>

#include "res/resource.h"
#include "store/package_file.h"
#include "tests/bench/bench_figures.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

std::string PackageBytes(int count)
{
    std::string bytes;
    unsigned char record[RECORD_SIZE];
    for (int i = 0; i < count; ++i) {
        char name[32], object[96];
        // Names out of order, as users add them.
        snprintf(name, sizeof name, "Profile %05d", (i * 7919) % 100000);
        snprintf(object, sizeof object, "C:\\Program Files\\Tool %d\\tool.exe", i);
        const char* texts[FIELD_COUNT] = { name, "", object, "C:\\Work", "-q", "Executable", "Normal" };
        EncodeRecord(Profile(texts, 0), record);
        bytes.append((const char*)record, RECORD_SIZE);
    }
    return bytes;
}

HANDLE OpenAsEditor(const char* path)
{
    return CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
}

void Replace(HANDLE file, const std::string& bytes)
{
    DWORD done = 0;
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    WriteFile(file, bytes.data(), (DWORD)bytes.size(), &done, nullptr);
    SetEndOfFile(file);
}

// An editor-like window: only the profile list box, sorted as in the dialog.
HWND MakeListWindow()
{
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | LBS_NOTIFY | LBS_SORT | LBS_NOINTEGRALHEIGHT |
                    LBS_WANTKEYBOARDINPUT | WS_BORDER | WS_VSCROLL, 0, 0, 100, 200, parent,
                    (HMENU)(INT_PTR)IDC_PROFILE_LIST, GetModuleHandleA(nullptr), nullptr);
    return parent;
}

struct Figures {
    double add, addWithoutList, readBack, bare;
};

Figures Measure(int count, int rounds, const char* folder, HWND window)
{
    char path[MAX_PATH], barePath[MAX_PATH];
    snprintf(path, sizeof path, "%s\\bench-%d.mwpack", folder, count);
    snprintf(barePath, sizeof barePath, "%s\\bare-%d.bin", folder, count);
    std::string bytes = PackageBytes(count);

    HANDLE handle = OpenAsEditor(path);
    Replace(handle, bytes);
    PackageFile* package = CreatePackageFile();
    package->handle = handle;
    package->setNames(path, nullptr, 0);   // saving needs the place for its side file
    package->reload(window);

    std::vector<double> adds[2];
    for (int pass = 0; pass < 2; ++pass) {
        HWND target = pass == 0 ? window : nullptr;
        for (int round = 0; round < rounds; ++round) {
            const char* texts[FIELD_COUNT] = { "New profile", "", "C:\\new.exe", "C:\\", "", "Executable",
                                               "Normal" };
            Profile added(texts, 0);
            double begin = MillisecondsNow();
            package->profiles.removeByName(added.name());
            package->profiles.insertSorted(&added);
            package->rewritePackage(target);
            adds[pass].push_back(MillisecondsNow() - begin);
            // Back to the starting size, untimed.
            package->profiles.removeByName("New profile");
            package->rewritePackage(target);
        }
    }
    std::vector<double> reads;
    for (int round = 0; round < rounds; ++round) {
        double begin = MillisecondsNow();
        package->readRecords();
        reads.push_back(MillisecondsNow() - begin);
    }
    if (package->loadedCount != (uint32_t)count)
        printf("  warning: package holds %u profiles, not %d\n", package->loadedCount, count);
    DestroyPackageFile(package);

    // The same bytes the Add writes (one more record), written once and read once.
    std::string grown = bytes + bytes.substr(0, RECORD_SIZE);
    std::vector<char> back(grown.size());
    HANDLE bare = OpenAsEditor(barePath);
    std::vector<double> bares;
    for (int round = 0; round < rounds; ++round) {
        double begin = MillisecondsNow();
        Replace(bare, grown);
        SetFilePointer(bare, 0, nullptr, FILE_BEGIN);
        DWORD got = 0;
        ReadFile(bare, back.data(), (DWORD)back.size(), &got, nullptr);
        bares.push_back(MillisecondsNow() - begin);
    }
    CloseHandle(bare);
    DeleteFileA(path);
    DeleteFileA(barePath);
    return { Median(adds[0]), Median(adds[1]), Median(reads), Median(bares) };
}

}  // namespace

int main()
{
    std::string folder = MakeTempFolder("editor-bench");
    HWND window = MakeListWindow();

    printf("Add Profile: insert, rewrite of the whole package, read-back and list box refill.\n");
    printf("Median milliseconds per Add; \"bare\" writes and reads the same bytes once.\n\n");
    printf("%8s %8s %8s %9s %8s %8s %8s %7s %9s\n", "profiles", "bytes", "add", "no list", "rewrite", "readback",
           "bare", "ratio", "no list");
    const int sizes[][2] = { { 100, 200 }, { 2000, 40 } };
    for (const auto& size : sizes) {
        Figures f = Measure(size[0], size[1], folder.c_str(), window);
        printf("%8d %8d %8.3f %9.3f %8.3f %8.3f %8.3f %6.1fx %8.1fx\n", size[0], (size[0] + 1) * RECORD_SIZE, f.add,
               f.addWithoutList, f.addWithoutList - f.readBack, f.readBack, f.bare, f.add / f.bare,
               f.addWithoutList / f.bare);
    }
    printf("\nadd: the whole action; no list: without a list box to refill; rewrite: the safe write\n"
           "alone (previous image kept, new image written, cut and checked); readback: decoding and\n"
           "ordering the records read back. Goal: add at most 2x bare.\n");
    DestroyWindow(window);
    RemoveTree(folder);
    return 0;
}

// How long building the package menu takes for 100, 1,000 and 42,000 package files, against
// listing the same files with FindFirstFileA alone. Prints the figures; decides nothing.
#include <windows.h>
#include <stdio.h>

#include <vector>

#include "base/app_state.h"
#include "res/resource.h"
#include "tests/bench/bench_figures.h"
#include "tests/support/test_support.h"
#include "tray/package_menu.h"
#include "tray/tray_menu.h"

using namespace testing_support;

namespace {

struct Timing {
    double milliseconds;
    UINT items;
};

Timing BuildMenuOnce()
{
    double begin = MillisecondsNow();
    HMENU menu = CreatePopupMenu();
    UINT items = FillPackageMenu(menu);
    double end = MillisecondsNow();
    DestroyMenu(menu);
    return { end - begin, items };
}

Timing FindOnce(const char* pattern)
{
    double begin = MillisecondsNow();
    UINT found = 0;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(pattern, &data);
    if (search != INVALID_HANDLE_VALUE) {
        do
            ++found;
        while (FindNextFileA(search, &data));
        FindClose(search);
    }
    double end = MillisecondsNow();
    return { end - begin, found };
}

// The platform's part alone: appending as many fixed items to a fresh menu.
Timing AppendOnce(UINT count)
{
    double begin = MillisecondsNow();
    HMENU menu = CreatePopupMenu();
    for (UINT i = 0; i < count; ++i)
        AppendMenuA(menu, MF_STRING, IDM_PACKAGE_FIRST + i, "package-00000");
    double end = MillisecondsNow();
    DestroyMenu(menu);
    return { end - begin, count };
}

bool AddPackageFiles(const char* folder, UINT from, UINT to)
{
    for (UINT i = from; i < to; ++i) {
        char path[MAX_PATH];
        int length = snprintf(path, sizeof path, "%s\\package-%05u.mwpack", folder, i);
        if (length < 0 || length >= (int)sizeof path)
            return false;
        HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        CloseHandle(file);
    }
    return true;
}

void RemovePackageFiles(const char* folder, UINT count)
{
    for (UINT i = 0; i < count; ++i) {
        char path[MAX_PATH];
        snprintf(path, sizeof path, "%s\\package-%05u.mwpack", folder, i);
        DeleteFileA(path);
    }
    RemoveDirectoryA(folder);
}

}  // namespace

int main()
{
    char folder[MAX_PATH];
    char pattern[MAX_PATH];
    snprintf(folder, sizeof folder, "%s\\Packages", ExeFolder());
    snprintf(pattern, sizeof pattern, "%s\\*.mwpack", folder);
    if (!CreateDirectoryA(folder, nullptr)) {
        printf("%s exists already; remove it first, the benchmark fills and deletes it\n", folder);
        return 1;
    }

    const UINT sizes[] = { 100, 1000, MAX_PACKAGES };
    const int rounds[] = { 51, 11, 3 };
    printf("Median times; menu = FillPackageMenu into a new popup menu, find = FindFirstFileA/FindNextFileA\n"
           "over the same files, append = AppendMenuA of as many fixed items without any search.\n");
    printf("%8s %12s %12s %8s %12s %14s %12s\n", "packages", "menu ms", "find ms", "ratio", "append ms",
           "menu us/item", "create s");
    UINT made = 0;
    int status = 0;
    for (size_t s = 0; s < sizeof sizes / sizeof sizes[0]; ++s) {
        double createBegin = MillisecondsNow();
        bool created = AddPackageFiles(folder, made, sizes[s]);
        double createEnd = MillisecondsNow();
        if (!created) {
            printf("could not create %u package files\n", sizes[s]);
            status = 1;
            break;
        }
        made = sizes[s];
        std::vector<double> menu, find, append;
        UINT items = 0, found = 0;
        for (int r = 0; r < rounds[s]; ++r) {
            Timing built = BuildMenuOnce();
            Timing listed = FindOnce(pattern);
            append.push_back(AppendOnce(made).milliseconds);
            menu.push_back(built.milliseconds);
            find.push_back(listed.milliseconds);
            items = built.items;
            found = listed.items;
        }
        if (items != made || found != made) {
            printf("listed %u menu items and %u files for %u packages\n", items, found, made);
            status = 1;
        }
        double menuMs = Median(menu), findMs = Median(find);
        printf("%8u %12.3f %12.3f %8.1f %12.3f %14.2f %12.1f\n", made, menuMs, findMs, menuMs / findMs, Median(append),
               menuMs * 1000.0 / made, (createEnd - createBegin) / 1000.0);
    }
    RemovePackageFiles(folder, made);
    return status;
}

// mwpack show --json and export of a 20,000-profile package against reading the same file with
// Marlowin's reader alone, in one run. Goal: at most 2x.
#include <windows.h>
#include <stdio.h>
#include <string>
#include <vector>

#include "mwpack/invocation.h"
#include "store/package_file.h"
#include "tests/bench/bench_figures.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

std::string MakePackage(int count)
{
    std::vector<RecordSpec> records(count);
    unsigned seed = 11;
    for (int i = 0; i < count; ++i) {
        seed = seed * 1103515245u + 12345u;
        char name[64];
        // One name in ten is outside ASCII, so the code-page conversion is measured too.
        snprintf(name, sizeof name, "%s Profile %05u", i % 10 ? "Work" : "R\xE9sum\xE9", (seed >> 8) % 30000);
        records[i].name = name;
        records[i].object = "C:\\Program Files\\Tools\\tool.exe";
        records[i].directory = "C:\\Users\\someone\\Documents";
        records[i].arguments = "--open \"C:\\Users\\someone\\Documents\\notes.txt\"";
        records[i].type = "Executable";
        records[i].window = "Normal";
    }
    return EncodePackage(records);
}

double ReaderOnly(const std::string& path)
{
    double start = MillisecondsNow();
    PackageFile* package = CreatePackageFile();
    package->handle = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    package->readRecords();
    DestroyPackageFile(package);
    return MillisecondsNow() - start;
}

double Command(const std::vector<std::string>& arguments, size_t* outputSize)
{
    BufferConsole console;
    double start = MillisecondsNow();
    int code = RunMwpack(arguments, console);
    double elapsed = MillisecondsNow() - start;
    *outputSize = console.output.size();
    if (code != EXIT_OK)
        printf("command failed (%d): %s\n", code, console.errors.c_str());
    return elapsed;
}

}  // namespace

int main()
{
    std::string folder = MakeTempFolder("bench-mwpack");
    const int count = 20000;
    std::string path = folder + "\\big.mwpack";
    WriteFileBytes(path, MakePackage(count));
    std::string exported = folder + "\\big.json";

    std::vector<double> reader, show, exporting;
    size_t showBytes = 0, ignored = 0;
    for (int run = 0; run < 5; ++run) {
        reader.push_back(ReaderOnly(path));
        show.push_back(Command({ "show", path, "--json" }, &showBytes));
        exporting.push_back(Command({ "export", path, exported }, &ignored));
    }
    double base = Median(reader);
    printf("%d profiles, %u bytes; medians of 5 runs in one process\n", count, (unsigned)(count * RECORD_SIZE));
    printf("Marlowin's reader alone:   %8.1f ms\n", base);
    printf("mwpack show --json:        %8.1f ms  (%.2fx, goal at most 2x; %u bytes of output)\n", Median(show),
           Median(show) / base, (unsigned)showBytes);
    printf("mwpack export FILE:        %8.1f ms  (%.2fx, goal at most 2x; %u bytes written)\n", Median(exporting),
           Median(exporting) / base, (unsigned)ReadFileBytes(exported).size());
    RemoveTree(folder);
    return 0;
}

// mwpack's commands run in-process on real files in a folder of their own.
#ifndef MARLOWIN_MWPACK_FIXTURE_H
#define MARLOWIN_MWPACK_FIXTURE_H

#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>

#include "mwpack/invocation.h"
#include "store/package_rewrite.h"
#include "tests/support/test_support.h"

// While it lives, every write of the store and of mwpack fails with a full disk after the first
// `writesBefore`.
class FullDisk {
public:
    explicit FullDisk(int writesBefore)
    {
        allowed = writesBefore;
        PackageRewriteIo.write = Write;
    }
    ~FullDisk() { PackageRewriteIo = DefaultRewriteIo; }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

private:
    static BOOL Write(HANDLE file, const void* data, DWORD size, DWORD* written)
    {
        if (allowed-- > 0)
            return WriteFile(file, data, size, written, nullptr);
        *written = 0;
        SetLastError(ERROR_DISK_FULL);
        return FALSE;
    }
    static inline int allowed = 0;
};

typedef std::vector<std::string> Arguments;

struct Outcome {
    int code;
    std::string output;
    std::string errors;
};

class MwpackCommands : public ::testing::Test {
protected:
    void SetUp() override { folder = testing_support::MakeTempFolder("mwpack-commands"); }
    void TearDown() override { testing_support::RemoveTree(folder); }

    // With refusal, results are lost with that error, as on a closed pipe.
    Outcome Run(Arguments arguments, unsigned long refusal = 0)
    {
        arguments.push_back("--folder");
        arguments.push_back(folder);
        BufferConsole console;
        console.refusal = refusal;
        int code = RunMwpack(arguments, console);
        return Outcome{ code, console.output, console.errors };
    }
    std::string Path(const std::string& name) { return folder + "\\" + name; }
    std::string Json(const std::string& profiles)
    {
        std::string path = Path("in.json");
        testing_support::WriteFileBytes(path, "{\"version\": 1, \"profiles\": [" + profiles + "]}");
        return path;
    }
    bool Exists(const std::string& name) { return GetFileAttributesA(Path(name).c_str()) != INVALID_FILE_ATTRIBUTES; }

    std::string folder;
};

#endif

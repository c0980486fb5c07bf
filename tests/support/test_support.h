// Helpers shared by the tests that run real programs and dialogs under Wine.
#ifndef MARLOWIN_TEST_SUPPORT_H
#define MARLOWIN_TEST_SUPPORT_H

#include <windows.h>
#include <string>
#include <vector>

#include "store/profile.h"

namespace testing_support {

// Folder of the running test program; Marlowin.exe and recorder.exe stand beside it.
std::string BinFolder();
std::string MarlowinPath();
std::string RecorderPath();

// A new empty folder under the temporary folder, unique to this call.
std::string MakeTempFolder(const char* label);
void RemoveTree(const std::string& folder);

struct RecordSpec {
    std::string name, command, object, directory, arguments, type, window;
    uint32_t extra = 0;
};
std::string EncodePackage(const std::vector<RecordSpec>& records);
void WriteFileBytes(const std::string& path, const std::string& bytes);
std::string ReadFileBytes(const std::string& path);

struct RunResult {
    bool started = false;
    bool finished = false;
    DWORD exitCode = 0xFFFFFFFF;
    DWORD elapsedMs = 0;
    DWORD processId = 0;
};

// Starts the exact command line (the program's own name included) and waits for it to end.
RunResult RunCommandLine(const std::string& commandLine, DWORD timeoutMs, const char* directory = nullptr);
// The same with Marlowin.exe, quoted, as the program's name.
RunResult RunMarlowin(const std::string& argument, DWORD timeoutMs = 20000);

// One line of the recorder's log.
struct Recording {
    unsigned long long created = 0;
    unsigned long flags = 0;
    unsigned show = 0;
    std::string directory;
    std::string commandLine;
};

// Routes recorder output to a fresh log for this test and removes it afterwards.
class RecorderLog {
public:
    RecorderLog();
    ~RecorderLog();
    // Waits up to timeoutMs for at least count lines; gives them in launch (creation) order.
    std::vector<Recording> waitFor(size_t count, DWORD timeoutMs = 10000) const;
    // Lines present after a settling pause, for checks that nothing was started.
    std::vector<Recording> settle(DWORD pauseMs = 1500) const;
    const std::string& path() const { return path_; }

private:
    std::vector<Recording> read() const;
    std::string path_;
};

}  // namespace testing_support

#endif

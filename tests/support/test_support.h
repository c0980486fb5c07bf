// Helpers shared by the tests that run real programs and dialogs under Wine.
#ifndef MARLOWIN_TEST_SUPPORT_H
#define MARLOWIN_TEST_SUPPORT_H

#include <windows.h>
#include <string>
#include <vector>

#include "store/profile.h"

namespace testing_support {

// Polls the condition until it holds or the time is up; gives its last answer. The limits are wide:
// the 32-bit programs may run under an emulator, and a wait that succeeds returns at once.
template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs = 30000)
{
    DWORD begin = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - begin > timeoutMs)
            return condition();
        Sleep(20);
    }
    return true;
}

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
struct StoredProfile {
    std::string fields[FIELD_COUNT];
    uint32_t extra = 0;
    const std::string& name() const { return fields[FIELD_NAME]; }
};
// Decodes whole records with the store's codec; tail bytes are ignored.
std::vector<StoredProfile> DecodePackage(const std::string& bytes);
std::vector<std::string> RecordNames(const std::string& bytes);
std::vector<std::string> StoredNames(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
std::string ReadFileBytes(const std::string& path);
// One Executable profile that starts recorder.exe with the arguments.
RecordSpec RecorderRecord(const std::string& arguments, const std::string& name = "only",
                          const std::string& directory = BinFolder());

struct RunResult {
    bool started = false;
    bool finished = false;
    DWORD exitCode = 0xFFFFFFFF;
    DWORD elapsedMs = 0;
    DWORD processId = 0;
};

// Starts the exact command line (the program's own name included) and waits for it to end; with
// output and errors, the program inherits them as its standard output and error.
RunResult RunCommandLine(const std::string& commandLine, DWORD timeoutMs, const char* directory = nullptr,
                         HANDLE output = nullptr, HANDLE errors = nullptr);
// The same with Marlowin.exe, quoted, as the program's name.
RunResult RunMarlowin(const std::string& argument, DWORD timeoutMs = 60000);

// A steady clock for benchmarks and stress runs.
double MillisecondsNow();

// One line of the recorder's log.
struct Recording {
    unsigned long long created = 0;
    unsigned long long shown = 0;   // when a recorder with a window asked for it to show; 0 without one
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
    std::vector<Recording> waitFor(size_t count, DWORD timeoutMs = 30000) const;
    // Lines present once a witness started now has written its own, for checks that nothing
    // (or nothing more) was started; the witness's own line is left out.
    std::vector<Recording> settle() const;
    // The address that the count-th launch, an http handler, was given.
    std::string waitForPage(size_t count) const;
    const std::string& path() const { return path_; }
    // Forgets every line so far, for a log shared by several tests.
    void clear() const { DeleteFileA(path_.c_str()); }

private:
    std::vector<Recording> read() const;
    std::string path_;
};

// <bin>\Packages, made empty for the test and removed afterwards.
class PackagesFolder {
public:
    PackagesFolder();
    ~PackagesFolder();
    const std::string& path() const { return path_; }
    // A package of one Executable profile that starts recorder.exe with the given arguments; gives its path.
    std::string addPackage(const std::string& name, const std::string& recorderArguments);
    // Written through the wide calls, so that names whose path is too long for the ANSI ones fit too.
    bool addFile(const std::string& fileName, const std::string& bytes);

private:
    std::string path_;
};

// http addresses open through recorder.exe "%1" while it lives; the former command comes back after.
class HttpRecorder {
public:
    HttpRecorder();
    ~HttpRecorder();

private:
    std::string former_;
    bool hadFormer_ = false;
};

// Presses keys on a tracked menu or a dialog by posting them to its window.
void PressKeys(HWND window, const std::vector<WORD>& keys);
// Text of a window, also of one in another process that may be busy.
std::string WindowText(HWND window);
// A PNG picture of the display, or of the area of it, as <MARLOWIN_SCREENSHOTS>/<fileName>, when that
// variable names a folder; taken by ImageMagick outside Wine, so nothing is saved elsewhere.
void CaptureDisplay(const char* fileName, const RECT* area = nullptr);
// 32-bit pixels of a bitmap not selected into any device context, top row first.
std::vector<DWORD> BitmapPixels(HBITMAP bitmap, LONG* width = nullptr, LONG* height = nullptr);

}  // namespace testing_support

#endif

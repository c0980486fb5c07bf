// Drives a real package editor, running on its own thread as in the program, with messages
// sent from the test thread.
#ifndef MARLOWIN_EDITOR_HARNESS_H
#define MARLOWIN_EDITOR_HARNESS_H

#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace editor_testing {

// Waits until the condition holds or a generous limit passes; gives the last answer.
template <typename Condition>
bool WaitUntil(Condition condition, DWORD limitMs = 10000)
{
    DWORD begin = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - begin > limitMs)
            return condition();
        Sleep(20);
    }
    return true;
}

// A top-level window of this process with this caption (and, for the editor, this frame text).
HWND FindOwnWindow(const char* caption, const char* frameText = nullptr);
std::string WindowText(HWND window);
// A visible window owned by this one, such as a browse dialog; waits for it to appear.
HWND WaitForOwnedWindow(HWND owner);
int FocusedControlId(HWND window);

struct StoredProfile {
    std::string fields[7];
    uint32_t extra = 0;
    const std::string& name() const { return fields[0]; }
};
// Decodes whole records; tail bytes are ignored.
std::vector<StoredProfile> DecodePackage(const std::string& bytes);
std::vector<std::string> StoredNames(const std::string& path);

class Editor {
public:
    Editor() = default;
    ~Editor();
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    // Opens the file as "New package..." does and starts the editor on it.
    bool open(const std::string& path);
    HWND window() const { return dialog_; }
    HWND item(int id) const { return GetDlgItem(dialog_, id); }

    std::string text(int id) const;
    void setText(int id, const std::string& text) const;
    LRESULT command(int id, WORD code = BN_CLICKED) const;
    void chooseType(int item) const;       // as the user does: select, then CBN_SELENDOK
    int selection(int id) const;
    std::string comboText(int id) const;
    bool enabled(int id) const;
    int focus() const;
    std::vector<std::string> entries() const;
    void selectEntry(int index) const;     // LB_SETCURSEL, then LBN_SELCHANGE
    int selectedEntry() const;
    void drop(const std::vector<std::string>& paths) const;
    LRESULT key(WORD virtualKey, WORD caret, HWND from) const;
    // Clean state: the five fields disabled, Auto and Normal, empty texts, focus on Object's ">>".
    ::testing::AssertionResult isClean() const;
    bool waitClosed(DWORD limitMs = 10000);
    // Saves a picture of the editor as <build>/screenshots/<name>.png when the display allows.
    void screenshot(const char* name) const;

private:
    HWND dialog_ = nullptr;
};

// A fresh package in a temporary folder, removed with it.
class PackageFolder {
public:
    PackageFolder() : folder_(testing_support::MakeTempFolder("editor")) {}
    ~PackageFolder() { testing_support::RemoveTree(folder_); }
    std::string path(const std::string& name) const { return folder_ + "\\" + name; }
    std::string write(const std::string& name, const std::vector<testing_support::RecordSpec>& records) const;
    const std::string& folder() const { return folder_; }

private:
    std::string folder_;
};

testing_support::RecordSpec Record(const std::string& name, const std::string& type = "Auto",
                                 const std::string& object = "", const std::string& command = "");

}  // namespace editor_testing

#endif

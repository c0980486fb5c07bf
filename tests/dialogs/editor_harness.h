// Drives a real package editor, running on its own thread as in the program, with messages
// sent from the test thread.
#ifndef MARLOWIN_EDITOR_HARNESS_H
#define MARLOWIN_EDITOR_HARNESS_H

#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/support/editor_window.h"
#include "tests/support/test_support.h"

namespace editor_testing {

// A top-level window of this process with this caption (and, for the editor, this frame text).
HWND FindOwnWindow(const char* caption, const char* frameText = nullptr);
// A visible window owned by this one, such as a browse dialog; waits for it to appear.
HWND WaitForOwnedWindow(HWND owner);

class Editor : public testing_support::EditorWindow {
public:
    Editor() = default;
    ~Editor();
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    // Opens the file as "New package..." does (or with other access) and starts the editor on it.
    bool open(const std::string& path, DWORD access = GENERIC_READ | GENERIC_WRITE);

    bool enabled(int id) const;
    int focus() const;
    void selectEntry(int index) const;     // LB_SETCURSEL, then LBN_SELCHANGE
    int selectedEntry() const;
    // Clean state: the five fields disabled, Auto and Normal, empty texts, focus on Object's ">>".
    ::testing::AssertionResult isClean() const;
    // A picture of the editor as painted, saved as SaveScreenshot saves one.
    void screenshot(const char* name) const;
};

// Answers the box of a failed save while it lives, instead of the user: counts the boxes and
// keeps the last text.
class SaveBoxes {
public:
    SaveBoxes();
    ~SaveBoxes();
    static LONG shown;
    static std::string lastText;
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

// A running editor on a package of its own, and profiles added to it as the user adds them.
typedef std::vector<std::string> Names;

class ProfileEdit : public ::testing::Test {
protected:
    void start(const std::vector<testing_support::RecordSpec>& records, const std::string& tail = "")
    {
        path = folder.write("edit.mwpack", records);
        if (!tail.empty())
            testing_support::WriteFileBytes(path, testing_support::ReadFileBytes(path) + tail);
        ASSERT_TRUE(editor.open(path));
    }

    void add(const std::string& name, const std::string& object = "", int type = 0)
    {
        editor.setText(IDC_NAME, name);
        editor.setText(IDC_OBJECT, object);
        if (type != 0)
            editor.chooseType(type);
        editor.command(IDC_ADD_PROFILE);
    }

    std::vector<testing_support::StoredProfile> stored() const
    {
        return testing_support::DecodePackage(testing_support::ReadFileBytes(path));
    }

    PackageFolder folder;
    Editor editor;
    std::string path;
};

}  // namespace editor_testing

#endif

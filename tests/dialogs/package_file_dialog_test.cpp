// "New package..." and "Edit package...": the package file dialog and what opening a file starts.
#include <gtest/gtest.h>
#include <functional>

#include "base/app_state.h"
#include "editor/file_dialogs.h"
#include "editor/package_editor.h"
#include "res/resource.h"
#include "tests/dialogs/editor_harness.h"

using namespace editor_testing;
using namespace testing_support;

namespace {

const int FILTER_BOX = 0x470;
const int FOLDER_BOX = 0x471;

// Runs a call on a thread of its own, as the tray's main thread would, while the test answers its dialogs.
class Background {
public:
    explicit Background(std::function<void()> call) : call_(call)
    {
        thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
    }
    ~Background()
    {
        join();
        CloseHandle(thread_);
    }
    bool join() { return WaitForSingleObject(thread_, 20000) == WAIT_OBJECT_0; }

private:
    static DWORD WINAPI Run(LPVOID self)
    {
        ((Background*)self)->call_();
        return 0;
    }
    std::function<void()> call_;
    HANDLE thread_;
};

HWND WaitForDialog(const char* caption)
{
    HWND dialog = nullptr;
    WaitUntil([&] { return (dialog = FindOwnWindow(caption)) != nullptr && IsWindowVisible(dialog); });
    return dialog;
}

// Types a name into the file dialog and presses its OK button, or cancels it for an empty name.
void Answer(HWND dialog, const std::string& name, int filter = 0)
{
    if (filter != 0) {
        HWND filters = GetDlgItem(dialog, FILTER_BOX);
        SendMessageA(filters, CB_SETCURSEL, filter, 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(FILTER_BOX, CBN_SELCHANGE), (LPARAM)filters);
    }
    if (name.empty()) {
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    AnswerFileDialog(dialog, name);
}

// Runs the call as the tray would and answers the file dialog that it opens.
void RunAndAnswer(std::function<void()> call, const char* caption, const std::string& name)
{
    Background tray(call);
    HWND dialog = WaitForDialog(caption);
    ASSERT_NE(dialog, nullptr) << caption;
    Answer(dialog, name);
}

class PackageFileDialog : public ::testing::Test {
protected:
    PackageFolder folder;
};

TEST_F(PackageFileDialog, OffersPackagesAndAllFilesStartingInThePackagesFolder)
{
    std::string packages = std::string(ExeFolder()) + "\\Packages";
    bool made = CreateDirectoryA(packages.c_str(), nullptr) != FALSE;

    const char* chosen = "not yet";
    Background chooser([&] { chosen = ChoosePackageFile(nullptr, "Save package as", true); });
    HWND dialog = WaitForDialog("Save package as");
    ASSERT_NE(dialog, nullptr);
    HWND filters = GetDlgItem(dialog, FILTER_BOX);
    ASSERT_EQ(SendMessageA(filters, CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(WindowText(filters), "Programs packages (*.mwpack)");
    char second[64] = "";
    SendMessageA(filters, CB_GETLBTEXT, 1, (LPARAM)second);
    EXPECT_STREQ(second, "All Files (*.*)");
    EXPECT_EQ(WindowText(GetDlgItem(dialog, FOLDER_BOX)), "Packages");

    Answer(dialog, "");
    ASSERT_TRUE(chooser.join());
    EXPECT_EQ(chosen, nullptr);
    if (made)
        RemoveDirectoryA(packages.c_str());
}

TEST_F(PackageFileDialog, TypedNameWithoutExtensionBecomesAPackageName)
{
    for (int filter : { 0, 1 }) {
        SCOPED_TRACE(filter);
        std::string chosen;
        Background chooser([&] {
            const char* path = ChoosePackageFile(nullptr, "Save package as", true);
            chosen = path ? path : "";
        });
        HWND dialog = WaitForDialog("Save package as");
        ASSERT_NE(dialog, nullptr);
        Answer(dialog, folder.path("fresh"), filter);
        ASSERT_TRUE(chooser.join());
        EXPECT_EQ(chosen, folder.path("fresh.mwpack"));
    }
}

TEST_F(PackageFileDialog, NewPackageCreatesAnEmptyFileAndShowsItsEditor)
{
    std::string path = folder.path("Created.mwpack");
    bool started = false;
    ASSERT_NO_FATAL_FAILURE(RunAndAnswer([&] { started = OpenPackageEditor(true); }, "Save package as", path));
    EXPECT_TRUE(started);
    HWND editor = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (editor = FindOwnWindow("Package", "Created")) != nullptr; }));
    EXPECT_EQ(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_EQ(ReadFileBytes(path).size(), 0u);
    EXPECT_EQ(SendDlgItemMessageA(editor, IDC_PROFILE_LIST, LB_GETCOUNT, 0, 0), 0);

    // The same package again, through "Edit package...": refused, no second editor.
    bool again = true;
    ASSERT_NO_FATAL_FAILURE(RunAndAnswer([&] { again = OpenPackageEditor(false); }, "Open package", path));
    EXPECT_FALSE(again);
    SendMessageA(editor, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(editor); }));
    EXPECT_EQ(FindOwnWindow("Package", "Created"), nullptr);
}

TEST_F(PackageFileDialog, NewPackageWithAnExistingNameOpensItUnchanged)
{
    std::string path = folder.write("Existing.mwpack", { Record("kept one"), Record("kept two") });
    std::string before = ReadFileBytes(path);
    ASSERT_NO_FATAL_FAILURE(RunAndAnswer([] { OpenPackageEditor(true); }, "Save package as", path));
    HWND editor = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (editor = FindOwnWindow("Package", "Existing")) != nullptr; }));
    EXPECT_EQ(SendDlgItemMessageA(editor, IDC_PROFILE_LIST, LB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(ReadFileBytes(path), before);
    SendMessageA(editor, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(editor); }));
}

TEST_F(PackageFileDialog, CancelledChoiceStartsNothing)
{
    bool started = true;
    ASSERT_NO_FATAL_FAILURE(RunAndAnswer([&] { started = OpenPackageEditor(false); }, "Open package", ""));
    EXPECT_FALSE(started);
}

}  // namespace

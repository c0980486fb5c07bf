// The editor when saving fails: a replacement is one change, a failed restore is mended by the
// next open or the next action, and the Delete key finds entries beyond 65,536.
#include <gtest/gtest.h>
#include <stdio.h>

#include "editor/package_editor.h"
#include "editor/package_editor_dialog.h"
#include "editor/profile_edit.h"
#include "res/resource.h"
#include "store/package_file.h"
#include "store/package_rewrite.h"
#include "tests/dialogs/editor_harness.h"

using namespace editor_testing;
using namespace testing_support;

namespace {

// Writes 1 and 2 of a save make the side file, 3 overwrites the package, 4 restores it. The
// chosen writes fail after writing half their bytes, as on a full disk.
class FailingWrites {
public:
    FailingWrites(LONG first, LONG last)
    {
        first_ = first;
        last_ = last;
        count_ = 0;
        PackageRewriteIo.write = Write;
    }
    ~FailingWrites() { PackageRewriteIo = DefaultRewriteIo; }

private:
    static BOOL Write(HANDLE file, const void* data, DWORD size, DWORD* written)
    {
        LONG call = InterlockedIncrement(&count_);
        if (call < first_ || call > last_)
            return WriteFile(file, data, size, written, nullptr);
        WriteFile(file, data, size / 2, written, nullptr);
        SetLastError(ERROR_DISK_FULL);
        return FALSE;
    }
    static LONG first_, last_, count_;
};
LONG FailingWrites::first_, FailingWrites::last_, FailingWrites::count_;

class SaveFault : public ::testing::Test {
protected:
    void start(const std::vector<RecordSpec>& records)
    {
        path = folder.write("saved.mwpack", records);
        before = ReadFileBytes(path);
        ASSERT_TRUE(editor.open(path));
    }
    void add(Editor& into, const std::string& name, const std::string& object)
    {
        into.setText(IDC_NAME, name);
        into.setText(IDC_OBJECT, object);
        into.command(IDC_ADD_PROFILE);
    }
    bool sideFileExists() const { return GetFileAttributesA((path + "~").c_str()) != INVALID_FILE_ATTRIBUTES; }

    SaveBoxes boxes;
    PackageFolder folder;
    Editor editor;
    std::string path, before;
};

TEST_F(SaveFault, ReplacementWithAFailedWriteKeepsTheOldProfile)
{
    start({ Record("a", "Auto", "old a"), Record("b") });
    {
        FailingWrites failing(3, 3);   // the package write; the restore gets through
        add(editor, "a", "new a");
    }
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_EQ(editor.entries(), Names({ "a", "b" }));
    EXPECT_EQ(editor.text(IDC_OBJECT), "new a");
    EXPECT_FALSE(sideFileExists());

    add(editor, "a", "new a");
    std::vector<StoredProfile> stored = DecodePackage(ReadFileBytes(path));
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[0].fields[2], "new a");
    EXPECT_FALSE(sideFileExists());
}

TEST_F(SaveFault, FailedRestoreShowsTheOldListAndIsMendedByTheNextOpenOrAction)
{
    start({ Record("a"), Record("c") });
    {
        FailingWrites failing(3, 1000);   // the package write and every restore
        add(editor, "b", "");
        EXPECT_EQ(editor.entries(), Names({ "a", "c" }));
        EXPECT_EQ(editor.text(IDC_NAME), "b");
        EXPECT_TRUE(sideFileExists());
        editor.command(IDC_EDITOR_OK);
        ASSERT_TRUE(editor.waitClosed());
    }
    EXPECT_NE(ReadFileBytes(path), before);   // torn until someone opens it

    Editor again;
    ASSERT_TRUE(again.open(path));
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_FALSE(sideFileExists());
    EXPECT_EQ(again.entries(), Names({ "a", "c" }));

    {
        FailingWrites failing(3, 1000);
        add(again, "b", "");
    }
    add(again, "d", "");   // recovers first, then saves
    EXPECT_EQ(StoredNames(path), Names({ "a", "c", "d" }));
    EXPECT_FALSE(sideFileExists());
}

TEST_F(SaveFault, LaunchMendsAPackageWhoseRestoreFailed)
{
    const std::string missing = folder.path("missing.exe");   // starts nothing
    start({ Record("a", "Executable", missing), Record("c", "Executable", missing) });
    {
        FailingWrites failing(3, 1000);
        add(editor, "b", "");
        editor.command(IDC_EDITOR_OK);
        ASSERT_TRUE(editor.waitClosed());
    }
    PackageFile* launch = CreatePackageFile();
    launch->openAndLaunch(path.c_str());
    EXPECT_EQ(launch->loadedCount, 2u);
    DestroyPackageFile(launch);
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_FALSE(sideFileExists());
}

// The texts of a message box's statics, one after another.
std::string BoxText(HWND box)
{
    std::string text;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[16] = "";
        GetClassNameA(child, className, sizeof className);
        if (lstrcmpiA(className, "Static") == 0)
            text += WindowText(child);
    }
    return text;
}

TEST_F(SaveFault, FailedAddIsToldOnceByPackageAndCauseAndTheFormStaysFilled)
{
    start({ Record("a") });
    SaveFailedBoxCall = MessageBoxA;   // the real box this time
    editor.setText(IDC_NAME, "b");
    editor.setText(IDC_OBJECT, "C:\\Tools\\b.exe");
    FailingWrites failing(1, 1000);
    // Posted: the box holds the editor's thread until it is answered.
    PostMessageA(editor.window(), WM_COMMAND, IDC_ADD_PROFILE, (LPARAM)editor.item(IDC_ADD_PROFILE));
    HWND box = WaitForOwnedWindow(editor.window());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(WindowText(box), "Marlowin");
    EXPECT_EQ(BoxText(box), "The package \"saved\" could not be saved.\n\nDisk full.");   // Wine's words
    CaptureDisplay("save-failed.png");
    SendMessageA(box, WM_COMMAND, IDOK, 0);
    // The box's loop ends at its next message, and only then is the window gone.
    ASSERT_TRUE(WaitUntil([box] { return !IsWindow(box); }));

    // Answered by the editor's own loop, or by a second box's, were there one.
    SendMessageA(editor.window(), WM_NULL, 0, 0);
    EXPECT_EQ(FindOwnWindow("Marlowin"), nullptr);
    EXPECT_EQ(editor.text(IDC_NAME), "b");
    EXPECT_EQ(editor.text(IDC_OBJECT), "C:\\Tools\\b.exe");
    EXPECT_EQ(ReadFileBytes(path), before);
}

// A package that cannot be read whole opens without a word; a save into it is refused and
// names the read's own cause.
TEST_F(SaveFault, PartlyUnreadablePackageOpensSilentlyAndASaveTellsWhyItWasRefused)
{
    path = folder.write("unread.mwpack", { Record("a"), Record("b") });
    before = ReadFileBytes(path);
    // A handle that may not read stands for any read that fails, and not for want of memory.
    ASSERT_TRUE(editor.open(path, GENERIC_WRITE));
    EXPECT_TRUE(IsWindowVisible(editor.window()));   // a box at set-up would hold it back
    EXPECT_EQ(SaveBoxes::shown, 0);

    add(editor, "c", "");
    EXPECT_EQ(SaveBoxes::shown, 1);
    EXPECT_EQ(SaveBoxes::lastText, "The package \"unread\" could not be saved: only part of it could be read.\n\n"
                                   "Access denied.");   // Wine's words
    EXPECT_TRUE(ReadFileBytes(path) == before);
}

// An editor made on this thread, so that the list box can be filled quickly.
TEST_F(SaveFault, DeleteKeyBeyond65536EntriesDeletesTheEntryAtTheCaret)
{
    path = folder.write("many.mwpack", { Record("p00002"), Record("p65538") });
    PackageFile* package = CreatePackageFile();
    package->handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
    ASSERT_TRUE(package->setNames(path.c_str(), nullptr, 0));
    HWND dialog = CreateDialogParamA(EditorInstance(), MAKEINTRESOURCEA(IDD_PACKAGE), nullptr, PackageEditorProc,
                                     (LPARAM)package);
    ASSERT_NE(dialog, nullptr);
    HWND list = GetDlgItem(dialog, IDC_PROFILE_LIST);
    // Entries without profiles around the two real ones, so that they stand at 2 and 65,538.
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    SendMessageA(list, LB_INITSTORAGE, 65540, 65540 * 7);
    for (int i = 0; i < 65540; ++i) {
        char name[8];
        snprintf(name, sizeof name, "p%05d", i);
        SendMessageA(list, LB_INSERTSTRING, (WPARAM)-1, (LPARAM)name);
    }
    SendMessageA(list, LB_SETCURSEL, 65538, 0);
    ASSERT_EQ(SendMessageA(list, LB_GETCARETINDEX, 0, 0), 65538);

    // The list box itself turns the key into WM_VKEYTOITEM with a 16-bit caret.
    SendMessageA(list, WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_EQ(StoredNames(path), Names({ "p00002" }));
    DestroyWindow(dialog);
}

}  // namespace

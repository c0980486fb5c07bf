// Adding, replacing and deleting profiles in a running editor, checked in the package file.
#include <gtest/gtest.h>

#include "res/resource.h"
#include "store/package_rewrite.h"
#include "tests/dialogs/editor_harness.h"

using namespace editor_testing;
using namespace testing_support;

namespace {

// A key on the list box as the list sends it to the editor: WM_VKEYTOITEM with the caret.
LRESULT Key(const Editor& editor, WORD virtualKey, WORD caret, HWND from)
{
    return SendMessageA(editor.window(), WM_VKEYTOITEM, MAKEWPARAM(virtualKey, caret), (LPARAM)from);
}

TEST_F(ProfileEdit, FirstProfileGrowsTheFileToOneRecordAndCleansTheForm)
{
    start({});
    editor.setText(IDC_NAME, "calc");
    editor.setText(IDC_COMMAND, "hidden verb");   // disabled fields are stored too
    editor.setText(IDC_OBJECT, "C:\\calc.exe");
    editor.chooseType(1);
    editor.setText(IDC_DIRECTORY, "C:\\");
    editor.setText(IDC_ARGUMENTS, "-x");
    SendMessageA(editor.item(IDC_WINDOW), CB_SETCURSEL, 1, 0);
    editor.command(IDC_ADD_PROFILE);

    EXPECT_EQ(ReadFileBytes(path).size(), 1840u);
    std::vector<StoredProfile> profiles = stored();
    ASSERT_EQ(profiles.size(), 1u);
    const char* expected[] = { "calc", "hidden verb", "C:\\calc.exe", "C:\\", "-x", "Executable", "Minimize" };
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(profiles[0].fields[i], expected[i]) << "field " << i;
    EXPECT_EQ(editor.entries(), Names({ "calc" }));
    EXPECT_EQ(editor.selectedEntry(), LB_ERR);
    EXPECT_TRUE(editor.isClean());
}

TEST_F(ProfileEdit, ProfilesAreStoredInNameOrderWhateverTheOrderOfAdding)
{
    start({});
    // The order itself is the name-order rules' own test; here, that adding keeps it.
    for (const char* name : { "zeta", "Alpha", "beta" })
        add(name);
    EXPECT_EQ(StoredNames(path), Names({ "Alpha", "beta", "zeta" }));
    EXPECT_EQ(editor.entries().size(), 3u);
}

TEST_F(ProfileEdit, SameNameReplacesTheProfileInPlace)
{
    start({ Record("a", "Auto", "old a"), Record("b", "Auto", "old b"), Record("c", "Auto", "old c") });
    add("b", "new b", 2);
    std::vector<StoredProfile> profiles = stored();
    ASSERT_EQ(profiles.size(), 3u);
    EXPECT_EQ(profiles[1].name(), "b");
    EXPECT_EQ(profiles[1].fields[2], "new b");
    EXPECT_EQ(profiles[1].fields[1], "open");
    EXPECT_EQ(profiles[1].fields[5], "Document/URL");
    EXPECT_EQ(profiles[0].fields[2], "old a");
    EXPECT_EQ(profiles[2].fields[2], "old c");
    EXPECT_TRUE(editor.isClean());
}

TEST_F(ProfileEdit, NameDifferingOnlyInCaseIsAnotherProfile)
{
    start({ Record("Work") });
    add("work");
    add("WORK");
    EXPECT_EQ(StoredNames(path), Names({ "WORK", "Work", "work" }));
}

TEST_F(ProfileEdit, EmptyNameChangesNothingAndKeepsTheForm)
{
    start({ Record("kept") }, "tail");
    std::string before = ReadFileBytes(path);
    editor.setText(IDC_OBJECT, "C:\\x.exe");
    editor.chooseType(1);
    editor.command(IDC_ADD_PROFILE);
    editor.command(IDC_DELETE_PROFILE);
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_EQ(editor.text(IDC_OBJECT), "C:\\x.exe");
    EXPECT_EQ(editor.text(IDC_TYPE), "Executable");
}

TEST_F(ProfileEdit, LongFieldsAreStoredAsTheirFirst259Characters)
{
    start({});
    const int edits[] = { IDC_NAME, IDC_COMMAND, IDC_OBJECT, IDC_DIRECTORY, IDC_ARGUMENTS };
    for (int i = 0; i < 5; ++i)
        editor.setText(edits[i], std::string(300, (char)('a' + i)));
    editor.command(IDC_ADD_PROFILE);
    std::vector<StoredProfile> profiles = stored();
    ASSERT_EQ(profiles.size(), 1u);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(profiles[0].fields[i], std::string(259, (char)('a' + i))) << "field " << i;
    EXPECT_EQ(editor.entries(), Names({ std::string(259, 'a') }));
}

TEST_F(ProfileEdit, FirstRewriteDropsTailBytesAndTheExtraWord)
{
    RecordSpec old = Record("old");
    old.extra = 0xDEADBEEF;
    start({ old }, std::string(100, 'x'));
    add("new");
    std::string bytes = ReadFileBytes(path);
    EXPECT_EQ(bytes.size(), 2u * 1840u);
    for (const StoredProfile& profile : stored())
        EXPECT_EQ(profile.extra, 0u);
}

TEST_F(ProfileEdit, DeleteProfileRemovesTheNameInTheNameField)
{
    start({ Record("a"), Record("b"), Record("c") });
    editor.selectEntry(editor.entryIndex("a"));
    editor.setText(IDC_NAME, "c");   // edited after selecting: the field decides
    editor.command(IDC_DELETE_PROFILE);
    EXPECT_EQ(StoredNames(path), Names({ "a", "b" }));
    EXPECT_EQ(editor.entries(), Names({ "a", "b" }));
    EXPECT_TRUE(editor.isClean());
}

TEST_F(ProfileEdit, DeleteProfileOfAnUnknownNameOnlyCleansTheForm)
{
    start({ Record("a") }, "tail");   // a rewrite would drop the tail
    std::string before = ReadFileBytes(path);
    editor.selectEntry(0);
    editor.setText(IDC_NAME, "A");
    editor.command(IDC_DELETE_PROFILE);
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_TRUE(editor.isClean());
}

TEST_F(ProfileEdit, DeletingTheOnlyProfileLeavesAnEmptyFile)
{
    start({ Record("only") });
    editor.selectEntry(0);
    editor.command(IDC_DELETE_PROFILE);
    EXPECT_EQ(ReadFileBytes(path).size(), 0u);
    EXPECT_TRUE(editor.entries().empty());
}

TEST_F(ProfileEdit, DeleteKeyRemovesTheEntryAtTheCaretAndKeepsFocusInTheList)
{
    start({ Record("a"), Record("b"), Record("c") });
    HWND list = editor.item(IDC_PROFILE_LIST);
    editor.selectEntry(editor.entryIndex("b"));
    LRESULT result = Key(editor, VK_DELETE, (WORD)editor.entryIndex("b"), list);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(StoredNames(path), Names({ "a", "c" }));
    EXPECT_EQ(editor.entries(), Names({ "a", "c" }));
    EXPECT_EQ(editor.focus(), IDC_PROFILE_LIST);
    EXPECT_EQ(editor.text(IDC_NAME), "");
    EXPECT_FALSE(editor.enabled(IDC_DELETE_PROFILE));
}

TEST_F(ProfileEdit, OtherKeysAndOtherControlsAreLeftToTheListBox)
{
    start({ Record("a"), Record("b") }, "tail");
    std::string before = ReadFileBytes(path);
    HWND list = editor.item(IDC_PROFILE_LIST);
    EXPECT_EQ(Key(editor, VK_DOWN, 0, list), -1);
    EXPECT_EQ(Key(editor, 'A', 0, list), -1);
    EXPECT_EQ(Key(editor, VK_DELETE, 0, editor.item(IDC_TYPE)), -1);
    EXPECT_EQ(Key(editor, VK_DELETE, 0, nullptr), -1);
    // No entry at the caret.
    EXPECT_EQ(Key(editor, VK_DELETE, 7, list), 0);
    EXPECT_EQ(ReadFileBytes(path), before);
}

TEST_F(ProfileEdit, DeleteKeyOnAnEntryWithoutProfileCleansTheForm)
{
    start({ Record("a") }, "tail");
    std::string before = ReadFileBytes(path);
    HWND list = editor.item(IDC_PROFILE_LIST);
    SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)"ghost");
    editor.setText(IDC_NAME, "typed");
    int ghost = editor.entryIndex("ghost");
    EXPECT_EQ(Key(editor, VK_DELETE, (WORD)ghost, list), ghost);
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_EQ(editor.text(IDC_NAME), "");
    EXPECT_EQ(editor.focus(), IDC_PROFILE_LIST);
}

// The next writes of a rewrite fail after writing part of their bytes, as on a full disk;
// later ones, such as the restoring write, get through.
class FailingWrites {
public:
    explicit FailingWrites(LONG failures)
    {
        remaining = failures;
        PackageRewriteIo.write = Write;
    }
    ~FailingWrites() { PackageRewriteIo = DefaultRewriteIo; }

private:
    static BOOL Write(HANDLE file, const void* data, DWORD size, DWORD* written)
    {
        if (InterlockedDecrement(&remaining) < 0)
            return WriteFile(file, data, size, written, nullptr);
        WriteFile(file, data, size / 2, written, nullptr);
        SetLastError(ERROR_DISK_FULL);
        return FALSE;
    }
    static LONG remaining;
    SaveBoxes boxes_;
};
LONG FailingWrites::remaining;

TEST_F(ProfileEdit, FailedWriteOfAnAddKeepsThePackageAndTheForm)
{
    start({ Record("a"), Record("c") });
    std::string before = ReadFileBytes(path);
    {
        FailingWrites failing(1);
        editor.setText(IDC_NAME, "b");
        editor.command(IDC_ADD_PROFILE);
        EXPECT_EQ(SaveBoxes::shown, 1);
    }
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_EQ(editor.entries(), Names({ "a", "c" }));
    EXPECT_EQ(editor.text(IDC_NAME), "b");
}

TEST_F(ProfileEdit, FailedRemovalOfAReplaceAddsNothing)
{
    start({ Record("a", "Auto", "old"), Record("b") });
    std::string before = ReadFileBytes(path);
    {
        FailingWrites failing(1);
        add("a", "new");
    }
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_EQ(editor.entries(), Names({ "a", "b" }));
    EXPECT_EQ(editor.text(IDC_OBJECT), "new");
}

TEST_F(ProfileEdit, FailedWriteOfADeleteKeepsTheProfile)
{
    start({ Record("a"), Record("b") });
    std::string before = ReadFileBytes(path);
    {
        FailingWrites failing(1);
        Key(editor, VK_DELETE, (WORD)editor.entryIndex("a"), editor.item(IDC_PROFILE_LIST));
        EXPECT_EQ(SaveBoxes::shown, 1);
    }
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_EQ(editor.entries(), Names({ "a", "b" }));
}

}  // namespace

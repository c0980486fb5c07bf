// The editor dialog as a whole: what it shows, its set-up and the ways it ends.
#include <gtest/gtest.h>
#include <string.h>

#include "editor/package_editor.h"
#include "res/resource.h"
#include "store/package_file.h"
#include "tests/dialogs/editor_harness.h"

using namespace editor_testing;
using namespace testing_support;

namespace {

RECT RectIn(HWND dialog, HWND child)
{
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, dialog, (POINT*)&rect, 2);
    return rect;
}

bool Inside(const RECT& inner, const RECT& outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

bool IsGroupBox(HWND window)
{
    return (GetWindowLongA(window, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

bool HeldByAnyone(const std::string& path)
{
    HANDLE exclusive = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (exclusive == INVALID_HANDLE_VALUE)
        return true;
    CloseHandle(exclusive);
    return false;
}

INT_PTR WINAPI DialogThatCannotComeUp(HINSTANCE, LPCSTR, HWND, DLGPROC, LPARAM)
{
    return -1;
}

class EditorDialog : public ::testing::Test {
protected:
    void TearDown() override { EditorDialogCall = DialogBoxParamA; }

    PackageFolder folder;
    Editor editor;
};

// What the user sees: every control inside the dialog, none covering another, each field with its
// label at its left, the browse buttons at the right of their fields, the form inside the Profile frame.
TEST_F(EditorDialog, EveryControlIsShownLabelledAndInItsPlace)
{
    ASSERT_TRUE(editor.open(folder.write("layout.mwpack", {})));
    HWND dialog = editor.window();
    RECT client;
    GetClientRect(dialog, &client);
    std::vector<HWND> children;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        EXPECT_TRUE(IsWindowVisible(child)) << WindowText(child);
        EXPECT_TRUE(Inside(RectIn(dialog, child), client)) << WindowText(child);
        if (!IsGroupBox(child))
            children.push_back(child);
    }
    for (size_t i = 0; i < children.size(); ++i)
        for (size_t j = i + 1; j < children.size(); ++j) {
            RECT a = RectIn(dialog, children[i]), b = RectIn(dialog, children[j]), both;
            EXPECT_FALSE(IntersectRect(&both, &a, &b)) << WindowText(children[i]) << " / " << WindowText(children[j]);
        }

    const struct { const char* label; int field; } labelled[] = {
        { "Name:", IDC_NAME }, { "Type:", IDC_TYPE }, { "Command:", IDC_COMMAND }, { "Object:", IDC_OBJECT },
        { "Directory:", IDC_DIRECTORY }, { "Arguments:", IDC_ARGUMENTS }, { "Window:", IDC_WINDOW },
    };
    RECT profileFrame = RectIn(dialog, editor.item(IDC_PROFILE_FRAME));
    EXPECT_EQ(editor.text(IDC_PROFILE_FRAME), "Profile");
    for (const auto& pair : labelled) {
        HWND label = FindWindowExA(dialog, nullptr, "Static", pair.label);
        ASSERT_NE(label, nullptr) << pair.label;
        RECT before = RectIn(dialog, label), field = RectIn(dialog, editor.item(pair.field));
        EXPECT_LE(before.right, field.left) << pair.label;
        int middle = (before.top + before.bottom) / 2;
        EXPECT_TRUE(middle >= field.top && middle <= field.bottom) << pair.label;
        EXPECT_TRUE(Inside(field, profileFrame)) << pair.label;
    }
    const int browsed[][2] = { { IDC_OBJECT, IDC_OBJECT_BROWSE }, { IDC_DIRECTORY, IDC_DIRECTORY_BROWSE } };
    for (const auto& pair : browsed) {
        RECT field = RectIn(dialog, editor.item(pair[0])), button = RectIn(dialog, editor.item(pair[1]));
        EXPECT_EQ(editor.text(pair[1]), ">>");
        EXPECT_LE(field.right, button.left) << pair[1];
        EXPECT_LT(button.top, field.bottom) << pair[1];
        EXPECT_GT(button.bottom, field.top) << pair[1];
    }
    RECT list = RectIn(dialog, editor.item(IDC_PROFILE_LIST));
    EXPECT_LE(list.right, profileFrame.left);

    // The buttons and what the clean form leaves usable.
    const struct { int id; const char* text; } buttons[] = {
        { IDC_CLEAN_FORM, "Clean Form" }, { IDC_ADD_PROFILE, "Add Profile" }, { IDC_DELETE_PROFILE, "Delete Profile" },
        { IDC_EDITOR_OK, "OK" }, { IDC_DELETE_PACKAGE, "Delete Package" },
    };
    for (const auto& button : buttons)
        EXPECT_EQ(editor.text(button.id), button.text);
    for (int id : { IDC_PROFILE_LIST, IDC_NAME, IDC_TYPE, IDC_OBJECT, IDC_OBJECT_BROWSE, IDC_WINDOW, IDC_CLEAN_FORM,
                    IDC_ADD_PROFILE, IDC_EDITOR_OK, IDC_DELETE_PACKAGE })
        EXPECT_TRUE(editor.enabled(id)) << id;
    EXPECT_TRUE(editor.isClean());
}

TEST_F(EditorDialog, SetUpShowsTitleProfilesAndTheCleanForm)
{
    std::string path = folder.write("My.Work.mwpack", { Record("beta"), Record("Alpha"), Record("alpha") });
    ASSERT_TRUE(editor.open(path));

    EXPECT_EQ(WindowText(editor.window()), "Package");
    EXPECT_EQ(editor.text(IDC_PACKAGE_FRAME), "My.Work");
    EXPECT_EQ(editor.entries().size(), 3u);
    EXPECT_EQ(editor.selectedEntry(), LB_ERR);
    EXPECT_TRUE(editor.isClean());

    const char* types[] = { "Auto", "Executable", "Document/URL" };
    const char* windows[] = { "Normal", "Minimize", "Maximize" };
    for (int i = 0; i < 3; ++i) {
        char text[64] = "";
        SendMessageA(editor.item(IDC_TYPE), CB_GETLBTEXT, i, (LPARAM)text);
        EXPECT_STREQ(text, types[i]);
        SendMessageA(editor.item(IDC_WINDOW), CB_GETLBTEXT, i, (LPARAM)text);
        EXPECT_STREQ(text, windows[i]);
    }
    EXPECT_EQ(SendMessageA(editor.item(IDC_TYPE), CB_GETCOUNT, 0, 0), 3);
    EXPECT_TRUE(GetWindowLongA(editor.window(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    editor.screenshot("editor-with-profiles");
}

TEST_F(EditorDialog, EscapeDoesNothingOkAndCloseEndTheEditorAndReleaseTheFile)
{
    std::string path = folder.write("ends.mwpack", {});
    ASSERT_TRUE(editor.open(path));
    editor.screenshot("editor-empty");

    editor.command(IDCANCEL);
    SendMessageA(editor.window(), WM_COMMAND, IDOK, 0);
    // Sent messages are handled before SendMessage returns: nothing is pending that could end it.
    ASSERT_TRUE(IsWindow(editor.window()));
    EXPECT_TRUE(IsWindowVisible(editor.window()));

    editor.command(IDC_EDITOR_OK);
    ASSERT_TRUE(editor.waitClosed());
    HANDLE exclusive = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(exclusive, INVALID_HANDLE_VALUE) << "the editor still holds the file";
    CloseHandle(exclusive);
    EXPECT_EQ(ReadFileBytes(path).size(), 0u);

    Editor second;
    ASSERT_TRUE(second.open(path));
    SendMessageA(second.window(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(second.waitClosed());
}

TEST_F(EditorDialog, EditorWhoseDialogCannotComeUpReleasesThePackage)
{
    std::string path = folder.write("unshown.mwpack", {});
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(HeldByAnyone(path));
    EditorDialogCall = DialogThatCannotComeUp;
    ASSERT_TRUE(StartPackageEditor(handle, path.c_str()));
    EXPECT_TRUE(WaitUntil([&] { return !HeldByAnyone(path); }, 5000)) << "the package stays locked";
}

TEST_F(EditorDialog, DeletePackageDeletesTheFileAndEndsTheEditor)
{
    std::string path = folder.write("gone.mwpack", { Record("one") });
    ASSERT_TRUE(editor.open(path));
    editor.command(IDC_DELETE_PACKAGE);
    ASSERT_TRUE(editor.waitClosed());
    EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(EditorDialog, OpenPackageCanBeNeitherOpenedAgainNorLaunched)
{
    RecorderLog log;
    std::string path = folder.write("held.mwpack", { RecorderRecord("held") });
    ASSERT_TRUE(editor.open(path));

    HANDLE second = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0,
                                nullptr);
    EXPECT_EQ(second, INVALID_HANDLE_VALUE);
    if (second != INVALID_HANDLE_VALUE)
        CloseHandle(second);
    PackageFile* launch = CreatePackageFile();
    ASSERT_NE(launch, nullptr);
    launch->openAndLaunch(path.c_str());

    // Once the editor has let go, the same call launches: the one line logged is that launch.
    editor.command(IDC_EDITOR_OK);
    ASSERT_TRUE(editor.waitClosed());
    launch->openAndLaunch(path.c_str());
    DestroyPackageFile(launch);
    std::vector<Recording> seen = log.waitFor(1);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].commandLine, RecorderPath() + " held");
}

TEST_F(EditorDialog, TwoEditorsOnTwoPackagesWorkSideBySide)
{
    std::string first = folder.write("first.mwpack", {});
    std::string second = folder.write("second.mwpack", {});
    Editor other;
    ASSERT_TRUE(editor.open(first));
    ASSERT_TRUE(other.open(second));
    EXPECT_NE(GetWindowThreadProcessId(editor.window(), nullptr), GetWindowThreadProcessId(other.window(), nullptr));

    editor.setText(IDC_NAME, "in first");
    editor.command(IDC_ADD_PROFILE);
    other.setText(IDC_NAME, "in second");
    other.command(IDC_ADD_PROFILE);
    EXPECT_EQ(StoredNames(first), std::vector<std::string>({ "in first" }));
    EXPECT_EQ(StoredNames(second), std::vector<std::string>({ "in second" }));
    EXPECT_EQ(editor.entries(), std::vector<std::string>({ "in first" }));
    EXPECT_EQ(other.entries(), std::vector<std::string>({ "in second" }));
}

}  // namespace

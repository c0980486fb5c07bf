// The editor dialog as a whole: its template, set-up, title and the ways it ends.
#include <gtest/gtest.h>
#include <string.h>

#include "editor/package_editor.h"
#include "res/resource.h"
#include "store/package_file.h"
#include "tests/dialogs/editor_harness.h"
#include "tests/dialogs/template_reader.h"

using namespace editor_testing;
using namespace testing_support;

namespace {

struct ExpectedControl {
    int id;
    const char* classAtom;
    const char* text;
    DWORD style;
    short x, y, cx, cy;
};

const DWORD CHILD = WS_CHILD | WS_VISIBLE;
const DWORD PUSH = CHILD | BS_PUSHBUTTON | WS_TABSTOP;
const DWORD EDIT = CHILD | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
const DWORD COMBO = CHILD | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
const DWORD LABEL = CHILD | SS_LEFT | WS_GROUP;

const ExpectedControl CONTROLS[] = {
    { 1008, "#128", ">>", PUSH, 290, 67, 16, 14 },
    { 1016, "#128", ">>", PUSH, 290, 85, 16, 14 },
    { 1009, "#129", "", EDIT, 138, 24, 168, 12 },
    { 1004, "#133", "", COMBO, 138, 41, 78, 43 },
    { 1005, "#129", "", EDIT, 260, 41, 46, 12 },
    { 1006, "#129", "", EDIT, 138, 68, 149, 12 },
    { 1007, "#129", "", EDIT, 138, 86, 149, 12 },
    { 1010, "#129", "", EDIT, 138, 104, 149, 12 },
    { 1015, "#128", "Clean Form", PUSH, 138, 143, 50, 14 },
    { 1011, "#128", "Add Profile", PUSH, 197, 143, 50, 14 },
    { 1012, "#128", "Delete Profile", PUSH, 256, 143, 50, 14 },
    { 4, "#128", "OK", PUSH, 187, 173, 59, 14 },
    { 3, "#128", "Delete Package", PUSH, 265, 173, 59, 14 },
    { 1002, "#131", "",
      CHILD | LBS_NOTIFY | LBS_SORT | LBS_NOINTEGRALHEIGHT | LBS_WANTKEYBOARDINPUT | WS_BORDER | WS_VSCROLL |
          WS_TABSTOP,
      14, 19, 73, 142 },
    { 1013, "#128", "Static", CHILD | BS_GROUPBOX, 7, 7, 317, 160 },
    { 1014, "#128", "Profile", CHILD | BS_GROUPBOX, 94, 15, 224, 147 },
    { -1, "#130", "Name:", LABEL, 100, 26, 38, 8 },
    { -1, "#130", "Command:", CHILD | SS_RIGHT | WS_GROUP, 222, 43, 35, 8 },
    { -1, "#130", "Type:", LABEL, 100, 43, 38, 8 },
    { -1, "#130", "Object:", LABEL, 100, 70, 38, 8 },
    { -1, "#130", "Directory:", LABEL, 100, 88, 38, 8 },
    { -1, "#130", "Arguments:", LABEL, 100, 106, 38, 8 },
    { 1017, "#133", "", COMBO, 138, 122, 78, 43 },
    { -1, "#130", "Window:", LABEL, 100, 124, 29, 8 },
};

TEST(EditorTemplate, MatchesTheDialogLayoutControlForControl)
{
    TemplateReader reader(IDD_PACKAGE);
    ASSERT_TRUE(reader.found());

    EXPECT_EQ(reader.word(), 1);
    EXPECT_EQ(reader.word(), 0xFFFF);
    EXPECT_EQ(reader.dword(), 0u);                       // help id
    EXPECT_EQ(reader.dword(), (DWORD)WS_EX_ACCEPTFILES);
    EXPECT_EQ(reader.dword(), (DWORD)(DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_VISIBLE | WS_CAPTION |
                                      WS_SYSMENU | WS_MINIMIZEBOX));
    WORD count = reader.word();
    ASSERT_EQ(count, sizeof CONTROLS / sizeof CONTROLS[0]);
    EXPECT_EQ(reader.shortValue(), 0);
    EXPECT_EQ(reader.shortValue(), 0);
    EXPECT_EQ(reader.shortValue(), 331);
    EXPECT_EQ(reader.shortValue(), 194);
    EXPECT_EQ(reader.nameOrOrdinal(), "");   // no menu
    EXPECT_EQ(reader.nameOrOrdinal(), "");   // the standard dialog class
    EXPECT_EQ(reader.text(), "Package");
    EXPECT_EQ(reader.word(), 8);             // points
    EXPECT_EQ(reader.word(), 0);             // weight
    EXPECT_EQ(reader.byte(), 0);             // not italic
    EXPECT_EQ(reader.byte(), 1);             // DEFAULT_CHARSET
    EXPECT_EQ(reader.text(), "MS Sans Serif");

    for (const ExpectedControl& control : CONTROLS) {
        SCOPED_TRACE(control.text);
        reader.alignDword();
        EXPECT_EQ(reader.dword(), 0u);       // help id
        EXPECT_EQ(reader.dword(), 0u);       // extended style
        EXPECT_EQ(reader.dword(), control.style);
        EXPECT_EQ(reader.shortValue(), control.x);
        EXPECT_EQ(reader.shortValue(), control.y);
        EXPECT_EQ(reader.shortValue(), control.cx);
        EXPECT_EQ(reader.shortValue(), control.cy);
        EXPECT_EQ((int)reader.dword(), control.id);
        EXPECT_EQ(reader.nameOrOrdinal(), control.classAtom);
        EXPECT_EQ(reader.nameOrOrdinal(), control.text);
        EXPECT_EQ(reader.word(), 0);         // no creation data
    }
}

class EditorDialog : public ::testing::Test {
protected:
    PackageFolder folder;
    Editor editor;
};

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

TEST_F(EditorDialog, TitleRules)
{
    struct Case {
        const char* file;
        const char* title;
    } cases[] = { { "Work.mwpack", "Work" }, { "a.b.mwpack", "a.b" }, { "noext", "noext" }, { ".mwpack", "" } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        Editor one;
        ASSERT_TRUE(one.open(folder.path(c.file)));
        EXPECT_EQ(one.text(IDC_PACKAGE_FRAME), c.title);
    }
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
    std::string path = folder.write("held.mwpack", { Record("one") });
    ASSERT_TRUE(editor.open(path));

    HANDLE second = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0,
                                nullptr);
    EXPECT_EQ(second, INVALID_HANDLE_VALUE);
    if (second != INVALID_HANDLE_VALUE)
        CloseHandle(second);

    PackageFile* launch = CreatePackageFile();
    launch->openAndLaunch(path.c_str());
    EXPECT_EQ(launch->handle, INVALID_HANDLE_VALUE);
    DestroyPackageFile(launch);
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

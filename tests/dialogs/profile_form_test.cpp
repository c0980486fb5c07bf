// The profile form: type rules, filling from dropped and chosen files, showing a profile.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <set>
#include <string.h>

#include "launch/launch_rules.h"
#include "res/resource.h"
#include "tests/dialogs/editor_harness.h"

using namespace editor_testing;
using namespace testing_support;

namespace {

int Selection(const Editor& editor, int id)
{
    return (int)SendMessageA(editor.item(id), CB_GETCURSEL, 0, 0);
}

// Drops the files on the editor as the shell does: one block of ANSI names ended by an empty one.
void Drop(const Editor& editor, const std::vector<std::string>& paths)
{
    size_t size = sizeof(DROPFILES) + 1;
    for (const std::string& path : paths)
        size += path.size() + 1;
    HGLOBAL block = GlobalAlloc(GHND, size);
    DROPFILES* header = (DROPFILES*)GlobalLock(block);
    header->pFiles = sizeof(DROPFILES);
    header->fWide = FALSE;
    char* names = (char*)(header + 1);
    for (const std::string& path : paths) {
        memcpy(names, path.c_str(), path.size() + 1);
        names += path.size() + 1;
    }
    GlobalUnlock(block);
    SendMessageA(editor.window(), WM_DROPFILES, (WPARAM)block, 0);
}

struct Enabled {
    bool command, directory, arguments;
};

class ProfileForm : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(editor.open(folder.path("form.mwpack"))); }

    ::testing::AssertionResult fieldsEnabled(Enabled expected)
    {
        Enabled is = { editor.enabled(IDC_COMMAND), editor.enabled(IDC_DIRECTORY), editor.enabled(IDC_ARGUMENTS) };
        if (editor.enabled(IDC_DIRECTORY_BROWSE) != is.directory)
            return ::testing::AssertionFailure() << "Directory and its browse button differ";
        if (is.command != expected.command || is.directory != expected.directory ||
            is.arguments != expected.arguments)
            return ::testing::AssertionFailure() << "command " << is.command << ", directory " << is.directory
                                                 << ", arguments " << is.arguments;
        const int always[] = { IDC_NAME, IDC_OBJECT, IDC_OBJECT_BROWSE, IDC_TYPE, IDC_WINDOW, IDC_ADD_PROFILE,
                               IDC_CLEAN_FORM };
        for (int id : always)
            if (!editor.enabled(id))
                return ::testing::AssertionFailure() << "control " << id << " is disabled";
        return ::testing::AssertionSuccess();
    }

    // Runs the Browse dialog through the editor's own command and picks the path in it.
    void browseFor(const std::string& path)
    {
        PostMessageA(editor.window(), WM_COMMAND, IDC_OBJECT_BROWSE, 0);
        HWND browse = WaitForOwnedWindow(editor.window());
        ASSERT_NE(browse, nullptr);
        EXPECT_EQ(WindowText(browse), "Browse");
        if (path.empty())
            PostMessageA(browse, WM_COMMAND, IDCANCEL, 0);
        else
            AnswerFileDialog(browse, path);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(browse); }));
        SendMessageA(editor.window(), WM_NULL, 0, 0);   // the command has finished
    }

    const Enabled AUTO = { false, false, false };
    const Enabled EXECUTABLE = { false, true, true };
    const Enabled DOCUMENT = { true, false, false };

    PackageFolder folder;
    Editor editor;
};

// Which fields each type enables: ComboItemsAndTheLauncherAgree.
TEST_F(ProfileForm, DocumentTypeFillsOnlyAnEmptyVerbAndDisablingKeepsIt)
{
    editor.setText(IDC_COMMAND, "");
    editor.chooseType(1);
    EXPECT_EQ(editor.text(IDC_COMMAND), "");

    editor.chooseType(2);
    EXPECT_EQ(editor.text(IDC_COMMAND), "open");
    editor.setText(IDC_COMMAND, "print");
    editor.chooseType(2);
    EXPECT_EQ(editor.text(IDC_COMMAND), "print");

    editor.chooseType(0);
    EXPECT_EQ(editor.text(IDC_COMMAND), "print");
}

// The combo boxes offer exactly texts that the launcher knows, every way and show command can be
// chosen, the clean form's choice is what an unknown text means, and each type enables the fields
// that its launch uses: the directory and arguments to start a program, the verb for a document.
TEST_F(ProfileForm, ComboItemsAndTheLauncherAgree)
{
    auto items = [&](int id) {
        std::vector<std::string> texts;
        LRESULT count = SendMessageA(editor.item(id), CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            char text[FIELD_SIZE] = "";
            if (SendMessageA(editor.item(id), CB_GETLBTEXTLEN, i, 0) < (LRESULT)sizeof text)
                SendMessageA(editor.item(id), CB_GETLBTEXT, i, (LPARAM)text);
            texts.push_back(text);
        }
        return texts;
    };

    std::vector<std::string> types = items(IDC_TYPE);
    ASSERT_FALSE(types.empty());
    EXPECT_EQ(ResolveLaunchWay(types[0].c_str()), ResolveLaunchWay("no such type"));
    std::set<LaunchWay> ways;
    for (size_t i = 0; i < types.size(); ++i) {
        const char* text = types[i].c_str();
        EXPECT_TRUE(IsKnownType(text)) << text;
        LaunchWay way = ResolveLaunchWay(text);
        ways.insert(way);
        editor.chooseType((int)i);
        Enabled uses = { way == LAUNCH_DOCUMENT, way == LAUNCH_EXECUTABLE, way == LAUNCH_EXECUTABLE };
        EXPECT_TRUE(fieldsEnabled(uses)) << text;
    }
    EXPECT_EQ(ways, (std::set<LaunchWay>{ LAUNCH_AUTO, LAUNCH_EXECUTABLE, LAUNCH_DOCUMENT }));

    std::vector<std::string> windows = items(IDC_WINDOW);
    ASSERT_FALSE(windows.empty());
    EXPECT_EQ(ResolveShowCommand(windows[0].c_str()), ResolveShowCommand("no such window"));
    std::set<int> shows;
    for (const std::string& text : windows) {
        EXPECT_TRUE(IsKnownWindow(text.c_str())) << text;
        shows.insert(ResolveShowCommand(text.c_str()));
    }
    EXPECT_EQ(shows, (std::set<int>{ SW_SHOWNORMAL, SW_MINIMIZE, SW_SHOWMAXIMIZED }));
}

TEST_F(ProfileForm, OnlySelEndOkOfTypeAppliesRulesAndNoSelectionChangesNothing)
{
    SendMessageA(editor.item(IDC_TYPE), CB_SETCURSEL, 1, 0);
    editor.command(IDC_TYPE, CBN_SELCHANGE);
    editor.command(IDC_TYPE, CBN_CLOSEUP);
    EXPECT_TRUE(fieldsEnabled(AUTO));

    editor.chooseType(1);
    editor.chooseType(-1);
    EXPECT_EQ(Selection(editor, IDC_TYPE), CB_ERR);
    EXPECT_TRUE(fieldsEnabled(EXECUTABLE));
}

struct DropCase {
    const char* path;
    const char* name;
    const char* type;
    const char* directory;
    const char* arguments;
    const char* command;
};

// Which names count as programs is a rule of its own; here, how each kind fills the form.
TEST_F(ProfileForm, DroppedFileFillsTheFormWithTheDetectedType)
{
    const DropCase cases[] = {
        { "C:\\Tools\\Calc.EXE", "Calc.EXE", "Executable", "C:\\Tools", "", "" },
        { "C:\\Savers\\Stars.scr", "Stars.scr", "Executable", "C:\\Savers", "/S", "" },
        { "D:\\setup.exe", "setup.exe", "Executable", "D:", "", "" },
        { "C:\\Docs\\Report.doc", "Report.doc", "Document/URL", "", "", "open" },
        { "C:\\", "", "Document/URL", "", "", "open" },
        { "ab", "", "Document/URL", "", "", "open" },
    };
    for (const DropCase& c : cases) {
        SCOPED_TRACE(c.path);
        Drop(editor, { c.path });
        EXPECT_EQ(editor.text(IDC_OBJECT), c.path);
        EXPECT_EQ(editor.text(IDC_NAME), c.name);
        EXPECT_EQ(editor.text(IDC_TYPE), c.type);
        EXPECT_EQ(editor.text(IDC_DIRECTORY), c.directory);
        EXPECT_EQ(editor.text(IDC_ARGUMENTS), c.arguments);
        EXPECT_EQ(editor.text(IDC_COMMAND), c.command);
        bool executable = std::string(c.type) == "Executable";
        EXPECT_TRUE(fieldsEnabled(executable ? EXECUTABLE : DOCUMENT));
        EXPECT_EQ(editor.focus(), IDC_ADD_PROFILE);
        EXPECT_FALSE(editor.enabled(IDC_DELETE_PROFILE));
    }
}

TEST_F(ProfileForm, DropCleansTheFormFirstAndUsesOnlyTheFirstFile)
{
    editor.setText(IDC_NAME, "old name");
    editor.setText(IDC_DIRECTORY, "C:\\old");
    editor.setText(IDC_ARGUMENTS, "-x");
    editor.chooseType(2);
    SendMessageA(editor.item(IDC_WINDOW), CB_SETCURSEL, 2, 0);

    Drop(editor, { "C:\\New\\Saver.SCR", "C:\\Other\\b.doc", "C:\\Third\\c.exe" });
    EXPECT_EQ(editor.text(IDC_OBJECT), "C:\\New\\Saver.SCR");
    EXPECT_EQ(editor.text(IDC_NAME), "Saver.SCR");
    EXPECT_EQ(editor.text(IDC_DIRECTORY), "C:\\New");
    EXPECT_EQ(editor.text(IDC_ARGUMENTS), "/S");
    EXPECT_EQ(editor.text(IDC_COMMAND), "");
    EXPECT_EQ(editor.text(IDC_TYPE), "Executable");
    EXPECT_EQ(editor.text(IDC_WINDOW), "Normal");
}

TEST_F(ProfileForm, ChosenFileKeepsTheFormAndDetectsOnlyUnderAuto)
{
    std::string saver = folder.path("Stars.scr");
    std::string program = folder.path("tool.exe");
    std::string bare = folder.path("telecom");
    for (const std::string& path : { saver, program, bare })
        WriteFileBytes(path, "x");

    // Type already Executable: not taken for a screen saver.
    editor.setText(IDC_NAME, "kept");
    editor.chooseType(1);
    browseFor(saver);
    EXPECT_EQ(editor.text(IDC_OBJECT), saver);
    EXPECT_EQ(editor.text(IDC_NAME), "kept");
    EXPECT_EQ(editor.text(IDC_ARGUMENTS), "");
    EXPECT_EQ(editor.text(IDC_DIRECTORY), folder.folder());
    EXPECT_EQ(editor.focus(), IDC_ADD_PROFILE);

    // Type Document/URL stays, whatever the file.
    editor.command(IDC_CLEAN_FORM);
    editor.chooseType(2);
    editor.setText(IDC_COMMAND, "");
    browseFor(program);
    EXPECT_EQ(editor.text(IDC_TYPE), "Document/URL");
    EXPECT_EQ(editor.text(IDC_COMMAND), "open");
    EXPECT_EQ(editor.text(IDC_NAME), "tool.exe");

    // A file name without an extension comes back as it is.
    editor.command(IDC_CLEAN_FORM);
    browseFor(bare);
    EXPECT_EQ(editor.text(IDC_OBJECT), bare);
    EXPECT_EQ(editor.text(IDC_TYPE), "Executable");

    // Cancel changes nothing.
    editor.setText(IDC_OBJECT, "before");
    browseFor("");
    EXPECT_EQ(editor.text(IDC_OBJECT), "before");
}

TEST_F(ProfileForm, FolderDialogWritesTheWorkingDirectory)
{
    editor.chooseType(1);
    editor.setText(IDC_DIRECTORY, "before");

    PostMessageA(editor.window(), WM_COMMAND, IDC_DIRECTORY_BROWSE, 0);
    HWND browse = WaitForOwnedWindow(editor.window());
    ASSERT_NE(browse, nullptr);
    PostMessageA(browse, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(browse); }));
    SendMessageA(editor.window(), WM_NULL, 0, 0);
    EXPECT_EQ(editor.text(IDC_DIRECTORY), "before");

    PostMessageA(editor.window(), WM_COMMAND, IDC_DIRECTORY_BROWSE, 0);
    browse = WaitForOwnedWindow(editor.window());
    ASSERT_NE(browse, nullptr);
    EXPECT_NE(FindWindowExA(browse, nullptr, "Static", "Working directory"), nullptr);
    // The tree fills itself after the dialog shows: select until the selection holds.
    std::string last = folder.folder().substr(folder.folder().find_last_of('\\') + 1);
    HWND tree = FindWindowExA(browse, nullptr, "SysTreeView32", nullptr);
    ASSERT_TRUE(WaitUntil([&] {
        SendMessageA(browse, BFFM_SETSELECTIONA, TRUE, (LPARAM)folder.folder().c_str());
        char label[MAX_PATH] = "";
        TVITEMA item = {};
        item.mask = TVIF_TEXT;
        item.hItem = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0);
        item.pszText = label;
        item.cchTextMax = sizeof label;
        SendMessageA(tree, TVM_GETITEMA, 0, (LPARAM)&item);
        return last == label;
    }));
    PostMessageA(browse, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(browse); }));
    SendMessageA(editor.window(), WM_NULL, 0, 0);
    EXPECT_EQ(editor.text(IDC_DIRECTORY), folder.folder());
}

class ShownProfile : public ProfileForm {
protected:
    void SetUp() override
    {
        RecordSpec program = Record("program", "Executable", "C:\\p.exe");
        program.directory = "C:\\work";
        program.arguments = "-v";
        program.window = "Maximize";
        RecordSpec document = Record("document", "Document/URL", "http://example.org/");
        RecordSpec automatic = Record("automatic", "Auto", "C:\\a.txt", "print");
        automatic.directory = "C:\\dir";
        automatic.arguments = "args";
        RecordSpec loose = Record("loose", "exec", "C:\\l.exe");
        loose.window = "MIN";
        RecordSpec unknown = Record("unknown", "Program", "C:\\u.exe");
        path = folder.write("shown.mwpack", { program, document, automatic, loose, unknown });
        ASSERT_TRUE(editor.open(path));
    }

    void select(const std::string& name)
    {
        int index = editor.entryIndex(name);
        if (index < 0)
            ADD_FAILURE() << "no entry " << name;
        else
            editor.selectEntry(index);
    }

    std::string path;
};

TEST_F(ShownProfile, SelectionShowsTheProfileAndEnablesDeleteProfile)
{
    select("program");
    EXPECT_EQ(editor.text(IDC_NAME), "program");
    EXPECT_EQ(editor.text(IDC_OBJECT), "C:\\p.exe");
    EXPECT_EQ(editor.text(IDC_DIRECTORY), "C:\\work");
    EXPECT_EQ(editor.text(IDC_ARGUMENTS), "-v");
    EXPECT_EQ(editor.text(IDC_TYPE), "Executable");
    EXPECT_EQ(editor.text(IDC_WINDOW), "Maximize");
    EXPECT_TRUE(fieldsEnabled(EXECUTABLE));
    EXPECT_TRUE(editor.enabled(IDC_DELETE_PROFILE));
    editor.screenshot("editor-executable");
}

TEST_F(ShownProfile, DocumentWithoutCommandShowsOpenButTheFileKeepsIt)
{
    std::string before = ReadFileBytes(path);
    select("document");
    EXPECT_EQ(editor.text(IDC_COMMAND), "open");
    EXPECT_TRUE(fieldsEnabled(DOCUMENT));
    editor.screenshot("editor-document-url");
    EXPECT_EQ(ReadFileBytes(path), before);
}

TEST_F(ShownProfile, AutoShowsItsTextsInDisabledFields)
{
    select("program");
    select("automatic");
    EXPECT_EQ(editor.text(IDC_COMMAND), "print");
    EXPECT_EQ(editor.text(IDC_DIRECTORY), "C:\\dir");
    EXPECT_EQ(editor.text(IDC_ARGUMENTS), "args");
    EXPECT_TRUE(fieldsEnabled(AUTO));
    editor.screenshot("editor-auto");
}

TEST_F(ShownProfile, TypeAndWindowMatchAnItemByCaseInsensitivePrefix)
{
    select("loose");
    EXPECT_EQ(editor.text(IDC_TYPE), "Executable");
    EXPECT_EQ(editor.text(IDC_WINDOW), "Minimize");
    EXPECT_TRUE(fieldsEnabled(EXECUTABLE));
}

TEST_F(ShownProfile, UnknownTypeLeavesNoSelectionAndTheEnabledStatesAsTheyWere)
{
    select("document");
    select("unknown");
    EXPECT_EQ(editor.text(IDC_NAME), "unknown");
    EXPECT_EQ(Selection(editor, IDC_TYPE), CB_ERR);
    EXPECT_TRUE(fieldsEnabled(DOCUMENT));
}

TEST_F(ShownProfile, EntryWithoutProfileLeavesTheFormButEnablesDeleteProfile)
{
    SendMessageA(editor.item(IDC_PROFILE_LIST), LB_ADDSTRING, 0, (LPARAM)"ghost");
    editor.setText(IDC_NAME, "typed");
    select("ghost");
    EXPECT_EQ(editor.text(IDC_NAME), "typed");
    EXPECT_TRUE(editor.enabled(IDC_DELETE_PROFILE));
}

TEST_F(ShownProfile, CleanFormKeepsTheListSelection)
{
    select("program");
    int selected = editor.selectedEntry();
    editor.command(IDC_CLEAN_FORM);
    EXPECT_TRUE(editor.isClean());
    EXPECT_EQ(editor.selectedEntry(), selected);
}

}  // namespace

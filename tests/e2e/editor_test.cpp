// The package editor in the resident program: opened through the tray commands, driven
// through its window from this process, and its packages launched from the command line.
#include <gtest/gtest.h>
#include <string.h>

#include "res/resource.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

const int FILE_NAME_BOX = 0x47c;   // the file dialogs' "File name" box

template <typename Condition>
bool WaitUntil(Condition condition, DWORD limitMs = 10000)
{
    DWORD begin = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - begin > limitMs)
            return condition();
        Sleep(50);
    }
    return true;
}

std::string TextOf(HWND window)
{
    char text[1024] = "";
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_ABORTIFHUNG, 5000, &answer);
    return text;
}

struct WindowSearch {
    DWORD process;
    const char* caption;
    const char* frame;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM data)
{
    WindowSearch* search = (WindowSearch*)data;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search->process || !IsWindowVisible(window) || TextOf(window) != search->caption)
        return TRUE;
    if (search->frame && TextOf(GetDlgItem(window, IDC_PACKAGE_FRAME)) != search->frame)
        return TRUE;
    search->found.push_back(window);
    return TRUE;
}

// The resident copy this suite starts, reached through the window handle it publishes.
class Resident {
public:
    // Starts the resident copy once; false when it shows no Start window within a few seconds.
    static bool start()
    {
        if (tried_)
            return startWindow_ != nullptr;
        tried_ = true;
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info;
        std::string commandLine = "\"" + MarlowinPath() + "\"";
        std::vector<char> buffer(commandLine.begin(), commandLine.end());
        buffer.push_back('\0');
        if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, BinFolder().c_str(),
                            &startup, &info))
            return false;
        CloseHandle(info.hThread);
        process_ = info.hProcess;
        processId_ = info.dwProcessId;
        WaitUntil([] { return (startWindow_ = publishedWindow()) != nullptr; }, 5000);
        if (!startWindow_)
            stop();
        return startWindow_ != nullptr;
    }

    static void stop()
    {
        if (!process_)
            return;
        if (startWindow_)
            PostMessageA(startWindow_, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process_, 10000) != WAIT_OBJECT_0)
            TerminateProcess(process_, 99);   // our own child
        CloseHandle(process_);
        process_ = nullptr;
        startWindow_ = nullptr;
    }

    static void command(int id) { PostMessageA(startWindow_, WM_COMMAND, id, 0); }

    static std::vector<HWND> windows(const char* caption, const char* frame = nullptr)
    {
        WindowSearch search = { processId_, caption, frame, {} };
        EnumWindows(CollectWindow, (LPARAM)&search);
        return search.found;
    }

    static HWND waitForWindow(const char* caption, const char* frame = nullptr)
    {
        HWND found = nullptr;
        WaitUntil([&] {
            std::vector<HWND> all = windows(caption, frame);
            found = all.empty() ? nullptr : all[0];
            return found != nullptr;
        });
        return found;
    }

private:
    // The 4-byte window handle in the named mapping, when it names a window of our child.
    static HWND publishedWindow()
    {
        HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, "Marlowin");
        if (!mapping)
            return nullptr;
        HWND window = nullptr;
        if (void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 4)) {
            memcpy(&window, view, 4);
            UnmapViewOfFile(view);
        }
        CloseHandle(mapping);
        DWORD owner = 0;
        if (!window || !IsWindow(window) || (GetWindowThreadProcessId(window, &owner), owner != processId_))
            return nullptr;
        return window;
    }

    static bool tried_;
    static HANDLE process_;
    static DWORD processId_;
    static HWND startWindow_;
};
bool Resident::tried_;
HANDLE Resident::process_;
DWORD Resident::processId_;
HWND Resident::startWindow_;

// One editor window of the resident program.
class RemoteEditor {
public:
    explicit RemoteEditor(HWND window) : dialog_(window) {}
    HWND window() const { return dialog_; }
    HWND item(int id) const { return GetDlgItem(dialog_, id); }
    std::string text(int id) const { return TextOf(item(id)); }
    void setText(int id, const std::string& text) const
    {
        SendMessageA(item(id), WM_SETTEXT, 0, (LPARAM)text.c_str());
    }
    void press(int id) const { SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)item(id)); }
    void chooseType(int index) const
    {
        SendMessageA(item(IDC_TYPE), CB_SETCURSEL, index, 0);
        SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(IDC_TYPE, CBN_SELENDOK), (LPARAM)item(IDC_TYPE));
    }
    std::vector<std::string> entries() const
    {
        std::vector<std::string> names;
        int count = (int)SendMessageA(item(IDC_PROFILE_LIST), LB_GETCOUNT, 0, 0);
        // Across processes Wine carries LB_GETTEXT whole only as a wide-character message.
        for (int i = 0; i < count; ++i) {
            WCHAR wide[FIELD_SIZE] = L"";
            char name[FIELD_SIZE * 2] = "";
            if (SendMessageW(item(IDC_PROFILE_LIST), LB_GETTEXTLEN, i, 0) < FIELD_SIZE)
                SendMessageW(item(IDC_PROFILE_LIST), LB_GETTEXT, i, (LPARAM)wide);
            WideCharToMultiByte(CP_ACP, 0, wide, -1, name, sizeof name, nullptr, nullptr);
            names.push_back(name);
        }
        return names;
    }
    int entryIndex(const std::string& name) const
    {
        std::vector<std::string> all = entries();
        for (size_t i = 0; i < all.size(); ++i)
            if (all[i] == name)
                return (int)i;
        return -1;
    }
    LRESULT deleteKey(int caret) const
    {
        return SendMessageA(dialog_, WM_VKEYTOITEM, MAKEWPARAM(VK_DELETE, caret), (LPARAM)item(IDC_PROFILE_LIST));
    }
    bool waitClosed() const
    {
        return WaitUntil([&] { return !IsWindow(dialog_); });
    }

private:
    HWND dialog_;
};

std::vector<std::string> StoredNames(const std::string& path)
{
    std::string bytes = ReadFileBytes(path);
    std::vector<std::string> names;
    for (size_t at = 0; at + RECORD_SIZE <= bytes.size(); at += RECORD_SIZE)
        names.push_back(std::string(bytes.c_str() + at + 4));
    return names;
}

typedef std::vector<std::string> Names;

class EditorEndToEnd : public ::testing::Test {
protected:
    static void TearDownTestSuite() { Resident::stop(); }

    void SetUp() override
    {
        if (!Resident::start())
            GTEST_SKIP() << "no resident Start window appeared";
        folder = MakeTempFolder("e2e-editor");
    }
    void TearDown() override
    {
        for (HWND editor : Resident::windows("Package"))
            PostMessageA(editor, WM_CLOSE, 0, 0);
        WaitUntil([] { return Resident::windows("Package").empty(); });
        if (!folder.empty())
            RemoveTree(folder);
    }

    // Runs "New package..." or "Edit package..." and answers the file dialog with the path.
    HWND openThroughTray(bool create, const std::string& path)
    {
        Resident::command(create ? IDM_NEW_PACKAGE : IDM_EDIT_PACKAGE);
        HWND dialog = Resident::waitForWindow(create ? "Save package as" : "Open package");
        if (!dialog)
            return nullptr;
        SendMessageA(GetDlgItem(dialog, FILE_NAME_BOX), WM_SETTEXT, 0, (LPARAM)path.c_str());
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        WaitUntil([&] { return !IsWindow(dialog); });
        return dialog;
    }

    void addRecorderProfile(const RemoteEditor& editor, const std::string& name, const std::string& arguments)
    {
        editor.setText(IDC_NAME, name);
        editor.setText(IDC_OBJECT, RecorderPath());
        editor.chooseType(1);
        editor.setText(IDC_DIRECTORY, folder);
        editor.setText(IDC_ARGUMENTS, arguments);
        editor.press(IDC_ADD_PROFILE);
    }

    std::string folder;
    RecorderLog log;
};

TEST_F(EditorEndToEnd, NewPackageCreatesAnEmptyFileAndShowsItsEditor)
{
    std::string path = folder + "\\Fresh";
    ASSERT_NE(openThroughTray(true, path), nullptr);
    HWND window = Resident::waitForWindow("Package", "Fresh");
    ASSERT_NE(window, nullptr);
    RemoteEditor editor(window);
    EXPECT_TRUE(editor.entries().empty());
    EXPECT_EQ(ReadFileBytes(path + ".mwpack").size(), 0u);
    EXPECT_NE(GetFileAttributesA((path + ".mwpack").c_str()), INVALID_FILE_ATTRIBUTES);

    editor.press(IDC_EDITOR_OK);
    EXPECT_TRUE(editor.waitClosed());
    EXPECT_NE(GetFileAttributesA((path + ".mwpack").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(EditorEndToEnd, EditedPackageLaunchesItsProfilesInNameOrder)
{
    std::string path = folder + "\\Work.mwpack";
    ASSERT_NE(openThroughTray(true, path), nullptr);
    HWND window = Resident::waitForWindow("Package", "Work");
    ASSERT_NE(window, nullptr);
    RemoteEditor editor(window);

    addRecorderProfile(editor, "charlie", "3");
    addRecorderProfile(editor, "alpha", "1");
    addRecorderProfile(editor, "bravo", "old");
    EXPECT_EQ(StoredNames(path), Names({ "alpha", "bravo", "charlie" }));
    addRecorderProfile(editor, "bravo", "2");   // replaces
    EXPECT_EQ(StoredNames(path), Names({ "alpha", "bravo", "charlie" }));
    addRecorderProfile(editor, "delta", "4");

    int charlie = editor.entryIndex("charlie");
    ASSERT_EQ(charlie, 2);
    EXPECT_EQ(editor.deleteKey(charlie), 2);
    EXPECT_EQ(StoredNames(path), Names({ "alpha", "bravo", "delta" }));
    editor.setText(IDC_NAME, "alpha");
    editor.press(IDC_DELETE_PROFILE);
    EXPECT_EQ(StoredNames(path), Names({ "bravo", "delta" }));
    addRecorderProfile(editor, "Alpha", "1");
    EXPECT_EQ(editor.entries().size(), 3u);

    editor.press(IDC_EDITOR_OK);
    ASSERT_TRUE(editor.waitClosed());
    RunResult run = RunMarlowin("\"" + path + "\"");
    ASSERT_TRUE(run.finished);
    std::vector<Recording> seen = log.waitFor(3);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].commandLine, RecorderPath() + " 1");
    EXPECT_EQ(seen[1].commandLine, RecorderPath() + " 2");
    EXPECT_EQ(seen[2].commandLine, RecorderPath() + " 4");
    EXPECT_EQ(seen[0].directory, folder);
}

TEST_F(EditorEndToEnd, OpenPackageCanBeNeitherLaunchedNorOpenedTwice)
{
    std::string path = folder + "\\Held.mwpack";
    ASSERT_NE(openThroughTray(true, path), nullptr);
    HWND window = Resident::waitForWindow("Package", "Held");
    ASSERT_NE(window, nullptr);
    RemoteEditor editor(window);
    addRecorderProfile(editor, "one", "held");

    RunResult run = RunMarlowin("\"" + path + "\"");
    EXPECT_TRUE(run.finished);
    EXPECT_TRUE(log.settle().empty());

    ASSERT_NE(openThroughTray(false, path), nullptr);
    Sleep(1000);   // a second editor would have appeared by now
    EXPECT_EQ(Resident::windows("Package", "Held").size(), 1u);

    editor.press(IDC_EDITOR_OK);
    ASSERT_TRUE(editor.waitClosed());
    RunMarlowin("\"" + path + "\"");
    EXPECT_EQ(log.waitFor(1).size(), 1u);
}

TEST_F(EditorEndToEnd, TwoEditorsOnTwoPackagesWorkSideBySide)
{
    std::string first = folder + "\\First.mwpack";
    std::string second = folder + "\\Second.mwpack";
    ASSERT_NE(openThroughTray(true, first), nullptr);
    ASSERT_NE(openThroughTray(true, second), nullptr);
    HWND one = Resident::waitForWindow("Package", "First");
    HWND two = Resident::waitForWindow("Package", "Second");
    ASSERT_TRUE(one && two);
    addRecorderProfile(RemoteEditor(two), "in second", "2");
    addRecorderProfile(RemoteEditor(one), "in first", "1");
    EXPECT_EQ(StoredNames(first), Names({ "in first" }));
    EXPECT_EQ(StoredNames(second), Names({ "in second" }));
}

TEST_F(EditorEndToEnd, DeletePackageRemovesTheFileAndEndsTheEditor)
{
    std::string path = folder + "\\Doomed.mwpack";
    ASSERT_NE(openThroughTray(true, path), nullptr);
    HWND window = Resident::waitForWindow("Package", "Doomed");
    ASSERT_NE(window, nullptr);
    RemoteEditor editor(window);
    addRecorderProfile(editor, "one", "1");
    editor.press(IDC_DELETE_PACKAGE);
    EXPECT_TRUE(editor.waitClosed());
    EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace

// The package editor in the resident program: opened through the tray commands, driven
// through its window from this process, and its packages launched from the command line.
#include <gtest/gtest.h>

#include "res/resource.h"
#include "tests/support/editor_window.h"
#include "tests/support/resident_copy.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

// The resident copy this suite starts once, reached through the window handle it publishes.
class Resident {
public:
    // False when it shows no Start window of its own.
    static bool start()
    {
        if (!copy_) {
            copy_ = new ResidentCopy();
            startWindow_ = copy_->waitForWindow();
            if (!copy_->owns(startWindow_))
                startWindow_ = nullptr;
        }
        return startWindow_ != nullptr;
    }
    static void stop()
    {
        delete copy_;
        copy_ = nullptr;
    }
    static ResidentCopy* copy() { return copy_; }
    static void command(int id) { PostMessageA(startWindow_, WM_COMMAND, id, 0); }

    static std::vector<HWND> windows(const char* caption, const char* frame = nullptr)
    {
        std::vector<HWND> visible;
        if (!copy_)
            return visible;
        for (HWND window : WindowsOf(copy_->processId(), caption, frame))
            if (IsWindowVisible(window))
                visible.push_back(window);
        return visible;
    }
    static HWND waitForWindow(const char* caption, const char* frame = nullptr)
    {
        std::vector<HWND> found;
        WaitUntil([&] { return !(found = windows(caption, frame)).empty(); });
        return found.empty() ? nullptr : found[0];
    }

private:
    static ResidentCopy* copy_;
    static HWND startWindow_;
};
ResidentCopy* Resident::copy_;
HWND Resident::startWindow_;

typedef std::vector<std::string> Names;

class EditorEndToEnd : public ::testing::Test {
protected:
    static void TearDownTestSuite() { Resident::stop(); }

    void SetUp() override
    {
        ASSERT_TRUE(Resident::start()) << "no resident Start window appeared";
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

    // "New package..." with the path given to its file dialog; gives the editor that shows the package.
    EditorWindow createThroughTray(const std::string& path, const char* title)
    {
        Resident::command(IDM_NEW_PACKAGE);
        HWND dialog = Resident::waitForWindow("Save package as");
        EXPECT_NE(dialog, nullptr) << "no file dialog for " << title;
        if (!dialog)
            return EditorWindow(nullptr);
        AnswerFileDialog(dialog, path);
        WaitUntil([&] { return !IsWindow(dialog); });
        return EditorWindow(Resident::waitForWindow("Package", title));
    }

    void addRecorderProfile(const EditorWindow& editor, const std::string& name, const std::string& arguments)
    {
        editor.setText(IDC_NAME, name);
        editor.setText(IDC_OBJECT, RecorderPath());
        editor.chooseType(1);
        editor.setText(IDC_DIRECTORY, folder);
        editor.setText(IDC_ARGUMENTS, arguments);
        editor.command(IDC_ADD_PROFILE);
    }

    std::string folder;
    RecorderLog log;
};

TEST_F(EditorEndToEnd, EditedPackageLaunchesItsProfilesInNameOrder)
{
    std::string path = folder + "\\Work.mwpack";
    EditorWindow editor = createThroughTray(path, "Work");
    ASSERT_NE(editor.window(), nullptr);

    // Adding, replacing and deleting are the in-process editor tests'; here the path through the exe.
    addRecorderProfile(editor, "charlie", "3");
    addRecorderProfile(editor, "alpha", "1");
    addRecorderProfile(editor, "bravo", "2");

    editor.command(IDC_EDITOR_OK);
    ASSERT_TRUE(editor.waitClosed());
    RunResult run = RunMarlowin("\"" + path + "\"");
    ASSERT_TRUE(run.finished);
    std::vector<Recording> seen = log.waitFor(3);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].commandLine, RecorderPath() + " 1");
    EXPECT_EQ(seen[1].commandLine, RecorderPath() + " 2");
    EXPECT_EQ(seen[2].commandLine, RecorderPath() + " 3");
    EXPECT_EQ(seen[0].directory, folder);
}

// Last: it ends the suite's resident copy.
TEST_F(EditorEndToEnd, UnloadWithAnEditorOpenEndsTheProgramAndKeepsThePackageWhole)
{
    std::string path = folder + "\\Open.mwpack";
    EditorWindow editor = createThroughTray(path, "Open");
    ASSERT_NE(editor.window(), nullptr);
    addRecorderProfile(editor, "one", "1");
    addRecorderProfile(editor, "two", "2");
    ASSERT_EQ(StoredNames(path), Names({ "one", "two" }));

    RunResult unload = RunMarlowin("U");
    EXPECT_EQ(unload.exitCode, 0u);
    ASSERT_TRUE(Resident::copy()->endsWithin(10000));
    EXPECT_EQ(Resident::copy()->exitCode(), 0u);
    EXPECT_EQ(StoredNames(path), Names({ "one", "two" }));
    Resident::stop();
}

}  // namespace

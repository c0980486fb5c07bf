// The resident Marlowin.exe when others meddle: a package made read-only, deleted or renamed
// while its editor holds it, and a Packages folder that is missing, not a folder, or holds a
// folder named like a package.
#include <gtest/gtest.h>

#include <memory>

#include "res/resource.h"
#include "tests/support/editor_window.h"
#include "tests/support/resident_copy.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

typedef std::vector<std::string> Names;

class Meddling : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (PublishedWindow())
            RunMarlowin("U");
        copy.reset(new ResidentCopy());
        start = copy->waitForWindow();
        ASSERT_TRUE(start && copy->owns(start)) << "no resident Start window";
        DWORD_PTR answer = 0;
        ASSERT_NE(SendMessageTimeoutA(start, WM_NULL, 0, 0, SMTO_NORMAL, 15000, &answer), 0);
    }
    void TearDown() override
    {
        if (HWND popup = popupMenu())
            PressKeys(popup, { VK_ESCAPE, VK_ESCAPE });
        copy.reset();
    }

    HWND find(const char* caption, const char* frame = nullptr, DWORD timeoutMs = 0) const
    {
        HWND found = nullptr;
        WaitUntil([&] {
            std::vector<HWND> all = WindowsOf(copy->processId(), caption, frame);
            for (HWND window : all)
                if (IsWindowVisible(window))
                    found = window;
            return found != nullptr;
        }, timeoutMs);
        return found;
    }
    HWND popupMenu() const
    {
        for (HWND w = FindWindowExA(nullptr, nullptr, "#32768", nullptr); w; w = FindWindowExA(nullptr, w, "#32768", nullptr))
            if (copy->owns(w) && IsWindowVisible(w))
                return w;
        return nullptr;
    }
    // Left click on the tray icon, then the package reached with that many down keys.
    void choosePackage(int downs)
    {
        PostMessageA(start, WM_TRAYNOTIFY, TRAY_ICON_ID, WM_LBUTTONUP);
        HWND menu = nullptr;
        WaitUntil([&] { return (menu = popupMenu()) != nullptr; });
        ASSERT_NE(menu, nullptr);
        std::vector<WORD> keys(downs, VK_DOWN);
        keys.push_back(VK_RETURN);
        PressKeys(menu, keys);
        WaitUntil([&] { return popupMenu() == nullptr; });
    }
    // An empty popup may not show at all; if it does, it is closed.
    void clickEmptyMenu()
    {
        PostMessageA(start, WM_TRAYNOTIFY, TRAY_ICON_ID, WM_LBUTTONUP);
        HWND menu = nullptr;
        if (WaitUntil([&] { return (menu = popupMenu()) != nullptr; }, 1500)) {
            PressKeys(menu, { VK_ESCAPE });
            WaitUntil([&] { return popupMenu() == nullptr; });
        }
    }
    EditorWindow openEditor(const std::string& path, const char* title)
    {
        PostMessageA(start, WM_COMMAND, IDM_EDIT_PACKAGE, 0);
        HWND dialog = find("Open package", nullptr, 10000);
        if (dialog)
            AnswerFileDialog(dialog, path);
        return EditorWindow(find("Package", title, 10000));
    }

    PackagesFolder packages;
    RecorderLog log;   // before the start, so that the resident copy inherits its log
    std::unique_ptr<ResidentCopy> copy;
    HWND start = nullptr;
};

TEST_F(Meddling, HeldPackageMadeReadOnlyDeletedOrRenamedStaysWholeAndEditable)
{
    std::string folder = MakeTempFolder("held");
    std::string path = folder + "\\Held.mwpack";
    WriteFileBytes(path, EncodePackage({ RecorderRecord("a", "a"), RecorderRecord("c", "c") }));
    EditorWindow editor = openEditor(path, "Held");
    ASSERT_NE(editor.window(), nullptr);

    // Read-only from now on: the editor's handle was opened for writing before.
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    editor.setText(IDC_NAME, "b");
    editor.command(IDC_ADD_PROFILE);
    EXPECT_EQ(StoredNames(path), Names({ "a", "b", "c" }));
    editor.setText(IDC_NAME, "a");
    editor.command(IDC_DELETE_PROFILE);
    EXPECT_EQ(StoredNames(path), Names({ "b", "c" }));
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);

    // Another process may neither delete nor rename a package that its editor holds.
    EXPECT_FALSE(DeleteFileA(path.c_str()));
    EXPECT_FALSE(MoveFileA(path.c_str(), (folder + "\\Moved.mwpack").c_str()));
    editor.setText(IDC_NAME, "d");
    editor.command(IDC_ADD_PROFILE);
    editor.setText(IDC_NAME, "c");
    editor.command(IDC_DELETE_PROFILE);
    EXPECT_EQ(StoredNames(path), Names({ "b", "d" }));
    EXPECT_EQ(editor.entries(), Names({ "b", "d" }));
    EXPECT_EQ(GetFileAttributesA((path + "~").c_str()), INVALID_FILE_ATTRIBUTES);

    editor.command(IDC_EDITOR_OK);
    EXPECT_TRUE(editor.waitClosed());
    RemoveTree(folder);
}

TEST_F(Meddling, PackagesFolderMissingOrAFileLeavesTheMenuWorking)
{
    std::string folder = packages.path();
    RemoveTree(folder);
    clickEmptyMenu();
    WriteFileBytes(folder, "not a folder");
    clickEmptyMenu();
    DeleteFileA(folder.c_str());

    CreateDirectoryA(folder.c_str(), nullptr);
    packages.addPackage("Later", "after-missing-folder");
    choosePackage(1);
    EXPECT_EQ(log.waitFor(1).size(), 1u);
}

// A folder named like a package is no package: the menu lists the one real package alone, so a
// second step down comes round to it again.
TEST_F(Meddling, FolderNamedLikeAPackageIsNotListed)
{
    CreateDirectoryA((packages.path() + "\\x.mwpack").c_str(), nullptr);
    packages.addPackage("Work", "real-package");
    choosePackage(1);
    choosePackage(2);
    std::vector<Recording> seen = log.waitFor(2);
    ASSERT_EQ(seen.size(), 2u);
    for (const Recording& launch : seen)
        EXPECT_EQ(launch.commandLine, RecorderPath() + " real-package");
    EXPECT_TRUE(copy->running());
}

}  // namespace

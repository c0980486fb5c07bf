// DispatchCommand for every command id: launches, web pages, the About box, the editor and Exit.
#include <gtest/gtest.h>

#include "app/app_state.h"
#include "tests/dialogs/tray_fixture.h"
#include "tray/tray_icon.h"
#include "tray/tray_menu.h"

using namespace testing_support;
using namespace tray_testing;

namespace {

class DispatchTest : public CommandWindowTest {
protected:

    // Lists the Packages folder as a click would, and gives the index of the named package.
    UINT Listed(const std::string& name)
    {
        HMENU menu = CreatePopupMenu();
        UINT count = FillPackageMenu(menu);
        DestroyMenu(menu);
        for (UINT i = 0; i < count; ++i)
            if (PackageNames[i] && name == PackageNames[i])
                return i;
        ADD_FAILURE() << name << " is not listed";
        return MAX_PACKAGES;
    }

    std::vector<std::string> Launched(size_t count)
    {
        std::vector<std::string> lines;
        for (const Recording& r : log.waitFor(count))
            lines.push_back(r.commandLine);
        return lines;
    }
};

TEST_F(DispatchTest, PackageCommandLaunchesTheListedPackageAfterItsMenuIsGone)
{
    packages.addPackage("Alpha", "alpha");
    packages.addPackage("Work", "work");
    UINT work = Listed("Work");
    UINT alpha = Listed("Alpha");
    ASSERT_LT(work, (UINT)MAX_PACKAGES);
    ASSERT_LT(alpha, (UINT)MAX_PACKAGES);

    EXPECT_EQ(DispatchCommand(window, IDM_PACKAGE_FIRST + work), 0);
    EXPECT_EQ(Launched(1), std::vector<std::string>{ RecorderPath() + " work" });
    EXPECT_EQ(DispatchCommand(window, IDM_PACKAGE_FIRST + alpha), 0);
    EXPECT_EQ(Launched(2), (std::vector<std::string>{ RecorderPath() + " work", RecorderPath() + " alpha" }));
}

TEST_F(DispatchTest, FileNamedOnlyTheSuffixStillLaunches)
{
    packages.addPackage("", "nameless");
    UINT index = Listed("");
    DispatchCommand(window, IDM_PACKAGE_FIRST + index);
    EXPECT_EQ(Launched(1), std::vector<std::string>{ RecorderPath() + " nameless" });
}

TEST_F(DispatchTest, VanishedOrWriteLockedPackageLaunchesNothing)
{
    std::string gone = packages.addPackage("Gone", "vanished");
    std::string held = packages.addPackage("Held", "held-by-editor");
    UINT goneIndex = Listed("Gone");
    UINT heldIndex = Listed("Held");
    ASSERT_TRUE(DeleteFileA(gone.c_str()));
    // An editor holds its package for reading and writing and shares it for reading only.
    HANDLE editor = CreateFileA(held.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(editor, INVALID_HANDLE_VALUE);

    EXPECT_EQ(DispatchCommand(window, IDM_PACKAGE_FIRST + goneIndex), 0);
    EXPECT_EQ(DispatchCommand(window, IDM_PACKAGE_FIRST + heldIndex), 0);
    EXPECT_TRUE(log.settle().empty());

    CloseHandle(editor);
    DispatchCommand(window, IDM_PACKAGE_FIRST + heldIndex);
    EXPECT_EQ(Launched(1), std::vector<std::string>{ RecorderPath() + " held-by-editor" });
}

TEST_F(DispatchTest, PackagePathLongerThan259IsSkippedNotCut)
{
    // Names whose package path is exactly 259 characters (fits) and 260 (does not).
    size_t fixed = (packages.path() + "\\" + ".mwpack").size();
    ASSERT_LT(fixed + 2, 259u);
    std::string fits(259 - fixed, 'f');
    std::string tooLong(260 - fixed, 't');
    packages.addPackage(fits, "fits");
    std::string bytes = ReadFileBytes(packages.path() + "\\" + fits + ".mwpack");
    // The same package under the name that cutting the long path to 259 characters would give.
    packages.addFile(tooLong + ".mwpac", bytes);
    ASSERT_TRUE(packages.addLongNamedFile(tooLong + ".mwpack", bytes));

    UINT fitsIndex = Listed(fits);
    UINT longIndex = Listed(tooLong);
    DispatchCommand(window, IDM_PACKAGE_FIRST + longIndex);
    EXPECT_TRUE(log.settle().empty());
    DispatchCommand(window, IDM_PACKAGE_FIRST + fitsIndex);
    EXPECT_EQ(Launched(1), std::vector<std::string>{ RecorderPath() + " fits" });
}

TEST_F(DispatchTest, OtherIdsAndWholeWordsOutsideTheRangeDoNothing)
{
    packages.addPackage("Work", "must-not-start");
    ASSERT_EQ(Listed("Work"), 0u);
    HttpRecorder http;
    const WPARAM others[] = {
        0, IDOK, IDCANCEL, 2024, 2031, IDM_PACKAGE_FIRST - 1, IDM_PACKAGE_FIRST + MAX_PACKAGES,
        MAKEWPARAM(IDM_PACKAGE_FIRST, 1),      // the package range is tested on the whole word
        IDM_PACKAGE_LAST,                      // never listed: no name behind it
    };
    for (WPARAM wParam : others)
        EXPECT_EQ(DispatchCommand(window, wParam), 0) << wParam;
    EXPECT_TRUE(IsWindow(window));
    EXPECT_TRUE(log.settle().empty());
}

TEST_F(DispatchTest, WebsiteCommandsOpenTheHomePage)
{
    HttpRecorder http;
    EXPECT_EQ(DispatchCommand(window, IDM_VISIT_WEBSITE), 0);
    EXPECT_EQ(Launched(1).size(), 1u);
    EXPECT_EQ(DispatchCommand(window, MAKEWPARAM(IDM_WEBSITE, 1)), 0);   // by the low word
    std::vector<std::string> lines = Launched(2);
    ASSERT_EQ(lines.size(), 2u);
    for (const std::string& line : lines)
        EXPECT_EQ(line, "\"" + RecorderPath() + "\" \"" MARLOWIN_WEB_SITE "\"");
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(DispatchTest, ExitDestroysTheWindow)
{
    EXPECT_EQ(DispatchCommand(window, IDM_EXIT), 0);
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(DispatchTest, AboutShowsTheBoxModalAndWithoutOwner)
{
    HWND box = nullptr;
    HWND owner = window;
    UiScript script;
    script.then([&] {
        box = OwnWindow("#32770", "About");
        if (!box)
            return false;
        owner = GetWindow(box, GW_OWNER);
        PostMessageA(box, WM_COMMAND, IDC_ABOUT_OK, 0);
        return true;
    });
    INT_PTR result = -1;
    script.run([&] { result = DispatchCommand(window, IDM_ABOUT); });
    EXPECT_TRUE(script.completed());
    EXPECT_EQ(result, 0);
    EXPECT_EQ(owner, nullptr);
    EXPECT_FALSE(IsWindow(box));
}

TEST_F(DispatchTest, EditorCommandsReturnAndLeaveTheWindow)
{
    // Whatever dialog the editor opens is cancelled, so the command comes back here.
    UiScript cancelDialogs;
    cancelDialogs.then([] {
        for (HWND box : OwnWindows("#32770"))
            PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
        return false;
    });
    cancelDialogs.run([&] {
        EXPECT_EQ(DispatchCommand(window, IDM_NEW_PACKAGE), 0);
        EXPECT_EQ(DispatchCommand(window, IDM_EDIT_PACKAGE), 0);
    }, 5000);
    EXPECT_TRUE(IsWindow(window));
}

}  // namespace

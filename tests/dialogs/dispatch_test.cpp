// DispatchCommand for every command id: launches, web pages, the About box, the editor and Exit.
#include <gtest/gtest.h>

#include <algorithm>

#include "base/app_state.h"
#include "res/resource.h"
#include "tests/dialogs/tray_fixture.h"
#include "tray/commands.h"
#include "tray/package_menu.h"
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

    // A script step that notes the caption of each box shown and cancels it, so that the command comes back.
    static UiScript::Step CancelEachBox(std::vector<std::string>* captions)
    {
        return [captions] {
            for (HWND box : OwnWindows("#32770")) {
                captions->push_back(WindowText(box));
                PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
            }
            return false;
        };
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

    DispatchCommand(window, IDM_PACKAGE_FIRST + work);
    EXPECT_EQ(Launched(1), std::vector<std::string>{ RecorderPath() + " work" });
    DispatchCommand(window, IDM_PACKAGE_FIRST + alpha);
    EXPECT_EQ(Launched(2), (std::vector<std::string>{ RecorderPath() + " work", RecorderPath() + " alpha" }));
}

TEST_F(DispatchTest, FileNamedOnlyTheSuffixStillLaunches)
{
    packages.addPackage("", "nameless");
    UINT index = Listed("");
    DispatchCommand(window, IDM_PACKAGE_FIRST + index);
    EXPECT_EQ(Launched(1), std::vector<std::string>{ RecorderPath() + " nameless" });
}

// Each test below ends with a launch that must happen, unlike any wrong one; a wrong launch made
// before it is logged by the time it is, so a log holding that line alone shows that nothing else started.
TEST_F(DispatchTest, VanishedPackageLaunchesNothing)
{
    std::string gone = packages.addPackage("Gone", "vanished");
    packages.addPackage("Kept", "kept");
    UINT goneIndex = Listed("Gone");
    UINT keptIndex = Listed("Kept");
    ASSERT_TRUE(DeleteFileA(gone.c_str()));

    DispatchCommand(window, IDM_PACKAGE_FIRST + goneIndex);
    DispatchCommand(window, IDM_PACKAGE_FIRST + keptIndex);
    EXPECT_EQ(PumpUntilLaunched(log, RecorderPath() + " kept"), std::vector<std::string>{ RecorderPath() + " kept" });
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
    ASSERT_TRUE(packages.addFile(tooLong + ".mwpack", bytes));

    UINT fitsIndex = Listed(fits);
    UINT longIndex = Listed(tooLong);
    DispatchCommand(window, IDM_PACKAGE_FIRST + longIndex);
    DispatchCommand(window, IDM_PACKAGE_FIRST + fitsIndex);
    EXPECT_EQ(PumpUntilLaunched(log, RecorderPath() + " fits"), std::vector<std::string>{ RecorderPath() + " fits" });
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
    // A box opened by mistake is noted, and closed at the latest when the script's time is up.
    std::vector<std::string> opened;
    UiScript noteBoxes;
    noteBoxes.then(CancelEachBox(&opened));
    noteBoxes.run([&] {
        for (WPARAM wParam : others)
            DispatchCommand(window, wParam);
    }, 5000);
    EXPECT_TRUE(opened.empty()) << (opened.empty() ? "" : opened.front());
    EXPECT_TRUE(IsWindow(window));
    DispatchCommand(window, IDM_VISIT_WEBSITE);
    EXPECT_EQ(PumpUntilLaunched(log, HomePageLaunch()), std::vector<std::string>{ HomePageLaunch() });
}

TEST_F(DispatchTest, WebsiteCommandsOpenTheHomePage)
{
    HttpRecorder http;
    DispatchCommand(window, IDM_VISIT_WEBSITE);
    EXPECT_EQ(Launched(1).size(), 1u);
    DispatchCommand(window, MAKEWPARAM(IDM_WEBSITE, 1));   // by the low word
    std::vector<std::string> lines = Launched(2);
    ASSERT_EQ(lines.size(), 2u);
    for (const std::string& line : lines)
        EXPECT_EQ(line, HomePageLaunch());
    EXPECT_TRUE(IsWindow(window));
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
    // The box is found and closed while the command is still running: it is modal.
    script.run([&] { DispatchCommand(window, IDM_ABOUT); });
    EXPECT_TRUE(script.completed());
    EXPECT_EQ(owner, nullptr);
    EXPECT_FALSE(IsWindow(box));
}

TEST_F(DispatchTest, EditorCommandsAskForTheFileAndComeBackWhenCancelled)
{
    std::vector<std::string> asked;
    UiScript cancelDialogs;
    cancelDialogs.then(CancelEachBox(&asked));
    cancelDialogs.run([&] {
        DispatchCommand(window, IDM_NEW_PACKAGE);
        asked.push_back("--");
        DispatchCommand(window, IDM_EDIT_PACKAGE);
    }, 10000);
    EXPECT_FALSE(cancelDialogs.timedOut());
    // A dialog may be seen on more than one tick before the cancel arrives.
    asked.erase(std::unique(asked.begin(), asked.end()), asked.end());
    EXPECT_EQ(asked, (std::vector<std::string>{ "Save package as", "--", "Open package" }));
    EXPECT_TRUE(IsWindow(window));
}

}  // namespace

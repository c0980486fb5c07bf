// Clicks on the tray icon, delivered as the shell delivers them, with the menus tracked for real.
#include <gtest/gtest.h>

#include "base/app_state.h"
#include "res/resource.h"
#include "tests/dialogs/tray_fixture.h"
#include "tray/tray_icon.h"
#include "tray/tray_menu.h"

using namespace testing_support;
using namespace tray_testing;

namespace {

// Dispatches this thread's messages until the log holds at least count lines or the time is up; gives them.
std::vector<Recording> PumpUntilLogged(const RecorderLog& log, size_t count, DWORD timeoutMs = 10000)
{
    std::vector<Recording> lines;
    WaitUntil([&] {
        PumpMessages(0);
        lines = log.waitFor(count, 0);
        return lines.size() >= count;
    }, timeoutMs);
    return lines;
}

// The menu opens with its bottom left corner at the click.
void ExpectShownAt(const RECT& shown, POINT click)
{
    EXPECT_EQ(shown.left, click.x);
    EXPECT_EQ(shown.bottom, click.y);
}

TEST_F(TrayClickTest, LeftClickShowsThePackagesAtTheClickAndLaunchesTheChoice)
{
    packages.addPackage("Work", "chosen-in-menu");
    std::vector<HWND> popups = Click(WM_LBUTTONUP, { VK_DOWN, VK_RETURN }, "package-menu-en");
    ASSERT_EQ(popups.size(), 1u);
    ExpectShownAt(shownAt, CLICK);
    EXPECT_EQ(shownItems, std::vector<std::wstring>{ L"Work" });
    EXPECT_EQ(MainMenu, nullptr);
    EXPECT_EQ(PackageMenu, nullptr);

    // The chosen command arrives as WM_COMMAND after the menu loop.
    std::vector<Recording> seen = PumpUntilLogged(log, 1);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].commandLine, RecorderPath() + " chosen-in-menu");
}

TEST_F(TrayClickTest, RightClickShowsTheMainMenuAtTheClickAndEscapeChoosesNothing)
{
    packages.addPackage("Work", "must-not-start");
    HttpRecorder http;
    std::vector<HWND> popups = Click(WM_RBUTTONUP, { VK_ESCAPE }, "main-menu-en");
    ASSERT_EQ(popups.size(), 1u);
    ExpectShownAt(shownAt, CLICK);
    EXPECT_EQ(shownItems.size(), 8u);
    EXPECT_EQ(MainMenu, nullptr);
    EXPECT_EQ(PackageMenu, nullptr);

    // A command chosen by the menu would be queued ahead of this one and launch first.
    PostMessageA(window, WM_COMMAND, IDM_VISIT_WEBSITE, 0);
    EXPECT_EQ(PumpUntilLaunched(log, HomePageLaunch()), std::vector<std::string>{ HomePageLaunch() });
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(TrayClickTest, RightClickMenuOpensThePackageSubmenu)
{
    packages.addPackage("Work", "from-submenu");
    // Visit Website, About..., New package..., Edit package..., Programs packages: open it, take Work.
    Click(WM_RBUTTONUP, { VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_RETURN }, nullptr);
    std::vector<Recording> seen = PumpUntilLogged(log, 1);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].commandLine, RecorderPath() + " from-submenu");
}

TEST_F(TrayClickTest, EmptyPackageMenuIsTornDownAndTheNextClickWorks)
{
    UiScript closeAnyMenu;
    closeAnyMenu.then([] {
        for (HWND popup : OwnWindows("#32768"))
            PressKeys(popup, { VK_ESCAPE });
        return false;
    });
    closeAnyMenu.run([&] { OnTrayNotify(window, TRAY_ICON_ID, WM_LBUTTONUP); }, 1500);
    EXPECT_EQ(MainMenu, nullptr);
    EXPECT_EQ(PackageMenu, nullptr);

    packages.addPackage("Later", "after-empty-menu");
    Click(WM_LBUTTONUP, { VK_DOWN, VK_RETURN }, nullptr);
    EXPECT_EQ(PumpUntilLogged(log, 1).size(), 1u);
}

}  // namespace

// Clicks on the tray icon, delivered as the shell delivers them, with the menus tracked for real.
#include <gtest/gtest.h>

#include "app/app_state.h"
#include "tests/dialogs/tray_fixture.h"
#include "tray/tray_icon.h"
#include "tray/tray_menu.h"

using namespace testing_support;
using namespace tray_testing;

namespace {

// Where the menu's bottom-left corner belongs: the notification area, or the mouse pointer.
POINT ExpectedAnchor()
{
    POINT anchor;
    HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
    HWND area = taskbar ? FindWindowExA(taskbar, nullptr, "TrayNotifyWnd", nullptr) : nullptr;
    RECT rect;
    if (area && GetWindowRect(area, &rect)) {
        anchor.x = rect.left;
        anchor.y = rect.top;
    } else {
        GetCursorPos(&anchor);
    }
    return anchor;
}

class TrayClickTest : public CommandWindowTest {
protected:
    void SetUp() override
    {
        CommandWindowTest::SetUp();
        SetCursorPos(300, 420);
    }

    // Clicks the icon and plays the keys on the menu once it shows; gives the popups seen.
    std::vector<HWND> Click(LPARAM mouseMessage, const std::vector<WORD>& keys, const char* screenshot)
    {
        std::vector<HWND> seen;
        UiScript script;
        script.then([&] {
                  seen = OwnWindows("#32768");
                  return !seen.empty();
              })
            .then([&] {
                  RECT rect;
                  GetWindowRect(seen.front(), &rect);
                  shownAt = rect;
                  if (screenshot)
                      SaveScreenshot(seen.front(), screenshot);
                  PressKeys(seen.front(), keys);
                  return true;
              });
        script.run([&] { OnTrayNotify(window, TRAY_ICON_ID, mouseMessage); });
        EXPECT_TRUE(script.completed());
        EXPECT_FALSE(script.timedOut());
        return seen;
    }

    RECT shownAt = { 0, 0, 0, 0 };
};

TEST_F(TrayClickTest, LeftClickShowsThePackagesAtTheAnchorAndLaunchesTheChoice)
{
    packages.addPackage("Work", "chosen-in-menu");
    POINT anchor = ExpectedAnchor();
    std::vector<HWND> popups = Click(WM_LBUTTONUP, { VK_DOWN, VK_RETURN }, "package-menu-en");
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(shownAt.left, anchor.x);
    EXPECT_EQ(shownAt.bottom, anchor.y);
    EXPECT_EQ(MainMenu, nullptr);
    EXPECT_EQ(PackageMenu, nullptr);

    PumpMessages(200);   // the chosen command arrives as WM_COMMAND after the menu loop
    std::vector<Recording> seen = log.waitFor(1);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].commandLine, RecorderPath() + " chosen-in-menu");
}

TEST_F(TrayClickTest, RightClickShowsTheMainMenuAndEscapeChoosesNothing)
{
    packages.addPackage("Work", "must-not-start");
    std::vector<HWND> popups = Click(WM_RBUTTONUP, { VK_ESCAPE }, "main-menu-en");
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(MainMenu, nullptr);
    EXPECT_EQ(PackageMenu, nullptr);
    PumpMessages(200);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_TRUE(log.settle().empty());
}

TEST_F(TrayClickTest, RightClickMenuOpensThePackageSubmenu)
{
    packages.addPackage("Work", "from-submenu");
    // Visit Website, About..., New package..., Edit package..., Programs packages: open it, take Work.
    Click(WM_RBUTTONUP, { VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_RETURN }, nullptr);
    PumpMessages(200);
    std::vector<Recording> seen = log.waitFor(1);
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
    PumpMessages(200);
    EXPECT_EQ(log.waitFor(1).size(), 1u);
}

TEST_F(TrayClickTest, RussianMainMenuScreenshot)
{
    ASSERT_EQ(GetSystemDefaultLangID(), 1049);
    packages.addPackage("\xD0\xE0\xE1\xEE\xF2\xE0", "x");   // "Rabota" in code page 1251
    ASSERT_EQ(Click(WM_RBUTTONUP, { VK_ESCAPE }, "main-menu-ru").size(), 1u);
    ASSERT_EQ(Click(WM_LBUTTONUP, { VK_ESCAPE }, "package-menu-ru").size(), 1u);
}

}  // namespace

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

// Where the test clicks. Without a notification area to open at (Wine has none), the menu opens here.
const POINT CLICK = { 300, 420 };

class TrayClickTest : public CommandWindowTest {
protected:
    void SetUp() override
    {
        CommandWindowTest::SetUp();
        SetCursorPos(CLICK.x, CLICK.y);
        POINT pointer = { 0, 0 };
        ASSERT_TRUE(WaitUntil([&] { return GetCursorPos(&pointer) && pointer.x == CLICK.x && pointer.y == CLICK.y; },
                              2000))
            << "the pointer stays at " << pointer.x << "," << pointer.y;
    }

    // Clicks the icon and plays the keys on the menu once it shows; gives the popups seen and
    // keeps the items of the first one as they read in Unicode.
    std::vector<HWND> Click(LPARAM mouseMessage, const std::vector<WORD>& keys, const char* screenshot)
    {
        std::vector<HWND> seen;
        UiScript script;
        script.then([&] {
                  seen = OwnWindows("#32768");
                  return !seen.empty();
              })
            .then([&] {
                  GetWindowRect(seen.front(), &shownAt);
                  shownItems.clear();
                  HMENU shown = (HMENU)SendMessageA(seen.front(), MN_GETHMENU, 0, 0);
                  for (int i = 0; i < GetMenuItemCount(shown); ++i) {
                      wchar_t text[128] = L"";
                      GetMenuStringW(shown, i, text, 128, MF_BYPOSITION);
                      shownItems.push_back(text);
                  }
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

    void ExpectShownAtTheClick()
    {
        EXPECT_EQ(shownAt.left, CLICK.x);
        EXPECT_EQ(shownAt.bottom, CLICK.y);
    }

    RECT shownAt = { 0, 0, 0, 0 };
    std::vector<std::wstring> shownItems;
};

TEST_F(TrayClickTest, LeftClickShowsThePackagesAtTheClickAndLaunchesTheChoice)
{
    packages.addPackage("Work", "chosen-in-menu");
    std::vector<HWND> popups = Click(WM_LBUTTONUP, { VK_DOWN, VK_RETURN }, "package-menu-en");
    ASSERT_EQ(popups.size(), 1u);
    ExpectShownAtTheClick();
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
    ExpectShownAtTheClick();
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

TEST_F(TrayClickTest, RussianSystemShowsRussianMenusAndCyrillicPackageNames)
{
    ASSERT_EQ(GetSystemDefaultLangID(), 1049);
    ASSERT_EQ(GetACP(), 1251u);
    packages.addPackage("\xD0\xE0\xE1\xEE\xF2\xE0", "x");   // "Rabota" in code page 1251
    ASSERT_EQ(Click(WM_RBUTTONUP, { VK_ESCAPE }, "main-menu-ru").size(), 1u);
    // The items as the user reads them: code page 1251 texts shown as the Cyrillic words.
    EXPECT_EQ(shownItems, (std::vector<std::wstring>{
                              L"\u041F\u043E\u0441\u0435\u0442\u0438\u0442\u044C \u0441\u0430\u0439\u0442",
                              L"\u041E \u043F\u0440\u043E\u0433\u0440\u0430\u043C\u043C\u0435...",
                              L"",
                              L"\u0421\u043E\u0437\u0434\u0430\u0442\u044C \u043F\u0430\u043A\u0435\u0442...",
                              L"\u0418\u0437\u043C\u0435\u043D\u0438\u0442\u044C \u043F\u0430\u043A\u0435\u0442...",
                              L"\u041F\u0430\u043A\u0435\u0442\u044B \u043F\u0440\u043E\u0433\u0440\u0430\u043C\u043C",
                              L"",
                              L"\u0412\u044B\u0445\u043E\u0434",
                          }));
    ASSERT_EQ(Click(WM_LBUTTONUP, { VK_ESCAPE }, "package-menu-ru").size(), 1u);
    EXPECT_EQ(shownItems, std::vector<std::wstring>{ L"\u0420\u0430\u0431\u043E\u0442\u0430" });
}

}  // namespace

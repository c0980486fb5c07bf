// The About box: what it shows, and how it ends.
#include <gtest/gtest.h>

#include "base/app_state.h"
#include "res/resource.h"
#include "tests/dialogs/tray_fixture.h"
#include "tray/about_box.h"
#include "tray/tray_menu.h"
#include "tray/web_pages.h"

using namespace testing_support;
using namespace tray_testing;

namespace {

TEST_F(AboutBoxTest, CreatedBoxShowsItsTextsAndButtonsUnderThePointer)
{
    SetCursorPos(600, 350);
    PumpMessages(100);   // the host may keep the pointer elsewhere; only where it is counts
    HWND box = CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(IDD_ABOUT), nullptr, AboutDialogProc, 0);
    ASSERT_NE(box, nullptr);
    ExpectTheBoxAsShown(box);

    // Windows centres the box on the pointer; Wine puts its corner there. Either way it is under it.
    RECT rect;
    GetWindowRect(box, &rect);
    POINT pointer;
    GetCursorPos(&pointer);
    EXPECT_TRUE(PtInRect(&rect, pointer)) << rect.left << "," << rect.top << " " << rect.right << "," << rect.bottom;
    DestroyWindow(box);
}

TEST_F(AboutBoxTest, ShowsTheMwIconAtItsSize)
{
    HWND box = CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(IDD_ABOUT), nullptr, AboutDialogProc, 0);
    ASSERT_NE(box, nullptr);
    HWND icon = nullptr;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            icon = child;
    ASSERT_NE(icon, nullptr);
    SIZE shown = IconSize((HICON)SendMessageA(icon, STM_GETICON, 0, 0));
    EXPECT_EQ(shown.cx, 32);
    EXPECT_EQ(shown.cy, 32);
    SIZE big = IconSize((HICON)SendMessageA(box, WM_GETICON, ICON_BIG, 0));
    EXPECT_EQ(big.cx, GetSystemMetrics(SM_CXICON));
    EXPECT_NE(SendMessageA(box, WM_GETICON, ICON_SMALL, 0), 0);
    DestroyWindow(box);
}

TEST_F(AboutBoxTest, EscapeDoesNothingAndOkEndsWithOne)
{
    EscapeThenOk("about-en");
}

TEST_F(AboutBoxTest, CloseBoxEndsWithOne)
{
    HttpRecorder http;
    RecorderLog log;
    EXPECT_EQ(RunBox([](HWND box) { return PostMessageA(box, WM_CLOSE, 0, 0) != FALSE; }), 1);
    // A page opened by the close would be logged ahead of this one.
    OpenWebPage(WebPageAddress(WEB_HOME));
    EXPECT_EQ(PumpUntilLaunched(log, HomePageLaunch()), std::vector<std::string>{ HomePageLaunch() });
}

TEST_F(AboutPagesTest, DonateAndHelpOpenTheEnglishPages)
{
    ASSERT_NE(GetSystemDefaultLangID(), 1049);
    EXPECT_EQ(PageOf(IDC_DONATE, 1), MARLOWIN_WEB_SITE "/marlowin/donate.html");
    EXPECT_EQ(PageOf(IDC_HELP, 2), MARLOWIN_WEB_SITE "/marlowin/help.html");
}

}  // namespace

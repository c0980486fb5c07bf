// The About box: what it shows, and how it ends.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include "base/app_state.h"
#include "res/resource.h"
#include "res/version.h"
#include "tests/dialogs/tray_fixture.h"
#include "tray/about_box.h"
#include "tray/tray_menu.h"
#include "tray/web_pages.h"

using namespace testing_support;
using namespace tray_testing;

namespace {

// The box's own rectangle of a child, in the box's client coordinates.
RECT ChildRect(HWND box, HWND child)
{
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, box, (POINT*)&rect, 2);
    return rect;
}

std::string ClassOf(HWND window)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

// What the user sees of the box, whatever the system language: the caption, the version and the
// maker's notice, the icon at the left, and Help, Donate and OK in a row from left to right, all of
// them usable and none covering another.
void ExpectTheBoxAsShown(HWND box)
{
    EXPECT_EQ(WindowText(box), "About");
    RECT client;
    GetClientRect(box, &client);
    std::vector<HWND> children;
    std::vector<std::string> texts;
    HWND icon = nullptr;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
        EXPECT_TRUE((GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE) && IsWindowEnabled(child)) << WindowText(child);
        RECT rect = ChildRect(box, child), inside;
        EXPECT_TRUE(IntersectRect(&inside, &rect, &client) && EqualRect(&inside, &rect)) << WindowText(child);
        if (lstrcmpiA(ClassOf(child).c_str(), "Static") != 0)
            continue;
        if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            icon = child;
        else
            texts.push_back(WindowText(child));
    }
    for (size_t i = 0; i < children.size(); ++i)
        for (size_t j = i + 1; j < children.size(); ++j) {
            RECT a = ChildRect(box, children[i]), b = ChildRect(box, children[j]), both;
            EXPECT_FALSE(IntersectRect(&both, &a, &b)) << WindowText(children[i]) << " / " << WindowText(children[j]);
        }
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], "Marlowin v" MARLOWIN_VERSION_TEXT);
    EXPECT_FALSE(texts[1].empty());

    const int row[] = { IDC_HELP, IDC_DONATE, IDC_ABOUT_OK };
    const char* labels[] = { "Help", "Donate", "OK" };
    for (int i = 0; i < 3; ++i) {
        HWND button = GetDlgItem(box, row[i]);
        ASSERT_NE(button, nullptr) << labels[i];
        EXPECT_EQ(WindowText(button), labels[i]);
        EXPECT_EQ(SendMessageA(button, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON, 0) << labels[i];
        if (i > 0) {
            RECT left = ChildRect(box, GetDlgItem(box, row[i - 1])), right = ChildRect(box, button);
            EXPECT_LT(left.right, right.left) << labels[i];
            EXPECT_EQ(left.top, right.top) << labels[i];
        }
    }
    ASSERT_NE(icon, nullptr);
    RECT iconRect = ChildRect(box, icon), help = ChildRect(box, GetDlgItem(box, IDC_HELP));
    EXPECT_LE(iconRect.left, help.left);
    EXPECT_LT(iconRect.bottom, help.top);
}

class AboutBoxTest : public ::testing::Test {
protected:
    void SetUp() override { AppInstance = GetModuleHandleA(nullptr); }

    // Runs the box modally; the step is given the box once it shows.
    INT_PTR RunBox(const std::function<bool(HWND)>& step)
    {
        UiScript script;
        script.then([&] {
            HWND box = OwnWindow("#32770", "About");
            return box && step(box);
        });
        INT_PTR result = -1;
        script.run([&] {
            result = DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_ABOUT), nullptr, AboutDialogProc, 0);
        });
        EXPECT_TRUE(script.completed());
        EXPECT_FALSE(script.timedOut());
        return result;
    }

    static void Press(HWND box, int id)
    {
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(box, id));
    }

    // Escape and IDCANCEL leave the box open with the focus on OK; OK then ends it with 1.
    void EscapeThenOk(const char* screenshot)
    {
        int ticks = 0;
        bool openAfterEscape = false;
        int focusedId = 0;
        INT_PTR result = RunBox([&](HWND box) {
            if (ticks == 0) {
                SaveScreenshot(box, screenshot);
                PressKeys(GetFocus() ? GetFocus() : box, { VK_ESCAPE });
                PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
            }
            if (ticks == 5)
                focusedId = GetDlgCtrlID(GetFocus());
            if (++ticks < 10)
                return false;
            openAfterEscape = IsWindowVisible(box) != FALSE;
            Press(box, IDC_ABOUT_OK);
            return true;
        });
        EXPECT_TRUE(openAfterEscape);
        EXPECT_EQ(focusedId, IDC_ABOUT_OK);
        EXPECT_EQ(result, 1);
    }
};

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

class AboutPagesTest : public AboutBoxTest {
protected:
    // Presses the button and gives the address that the http handler was started with, the count-th launch.
    std::string PageOf(int button, size_t count)
    {
        EXPECT_EQ(RunBox([button](HWND box) { return Press(box, button), true; }), 1);
        return log.waitForPage(count);
    }

    HttpRecorder http;
    RecorderLog log;
};

TEST_F(AboutPagesTest, DonateAndHelpOpenTheEnglishPages)
{
    ASSERT_NE(GetSystemDefaultLangID(), 1049);
    EXPECT_EQ(PageOf(IDC_DONATE, 1), MARLOWIN_WEB_SITE "/marlowin/donate.html");
    EXPECT_EQ(PageOf(IDC_HELP, 2), MARLOWIN_WEB_SITE "/marlowin/help.html");
}

TEST_F(AboutPagesTest, DonateAndHelpOpenTheRussianPages)
{
    ASSERT_EQ(GetSystemDefaultLangID(), 1049);
    EXPECT_EQ(PageOf(IDC_DONATE, 1), MARLOWIN_WEB_SITE "/marlowin/donate[ru].html");
    EXPECT_EQ(PageOf(IDC_HELP, 2), MARLOWIN_WEB_SITE "/marlowin/help[ru].html");
}

TEST_F(AboutPagesTest, HomePageIsTheSameInRussian)
{
    ASSERT_EQ(GetSystemDefaultLangID(), 1049);
    OpenWebPage(WebPageAddress(WEB_HOME));
    EXPECT_EQ(PumpUntilLaunched(log, HomePageLaunch()), std::vector<std::string>{ HomePageLaunch() });
}

TEST_F(AboutBoxTest, RussianSystemShowsTheSameBox)
{
    ASSERT_EQ(GetSystemDefaultLangID(), 1049);
    HWND box = CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(IDD_ABOUT), nullptr, AboutDialogProc, 0);
    ASSERT_NE(box, nullptr);
    ExpectTheBoxAsShown(box);
    DestroyWindow(box);
    EscapeThenOk("about-ru");
}

}  // namespace

// The About box: its template as linked into the program, and how it ends.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include "app/app_state.h"
#include "tests/dialogs/template_reader.h"
#include "tests/dialogs/tray_fixture.h"
#include "tray/tray_menu.h"

using namespace testing_support;
using namespace tray_testing;

namespace {

struct TemplateItem {
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    WORD id = 0;
    std::string className;
    std::string text;
};

struct DialogTemplate {
    bool extended = false;
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::string caption;
    WORD pointSize = 0;
    std::string font;
    std::vector<TemplateItem> items;
};

DialogTemplate ReadAboutTemplate()
{
    DialogTemplate result;
    TemplateReader reader(IDD_ABOUT);
    if (!reader.found())
        return result;
    WORD first = reader.word();
    WORD second = reader.word();
    result.extended = first == 1 && second == 0xFFFF;
    if (result.extended)
        return result;
    reader.restart();
    result.style = reader.dword();
    reader.dword();   // extended style
    WORD count = reader.word();
    result.x = reader.shortValue();
    result.y = reader.shortValue();
    result.cx = reader.shortValue();
    result.cy = reader.shortValue();
    reader.nameOrOrdinal();   // menu
    reader.nameOrOrdinal();   // class
    result.caption = reader.nameOrOrdinal();
    if (result.style & DS_SETFONT) {
        result.pointSize = reader.word();
        result.font = reader.nameOrOrdinal();
    }
    for (WORD i = 0; i < count; ++i) {
        reader.alignDword();
        TemplateItem item;
        item.style = reader.dword();
        reader.dword();
        item.x = reader.shortValue();
        item.y = reader.shortValue();
        item.cx = reader.shortValue();
        item.cy = reader.shortValue();
        item.id = reader.word();
        item.className = reader.nameOrOrdinal();
        item.text = reader.nameOrOrdinal();
        WORD extra = reader.word();
        for (WORD b = 0; b < extra; b += 2)
            reader.word();
        result.items.push_back(item);
    }
    return result;
}

// The predefined class by its ordinal ("#128" a button, "#130" a static) or by its name.
bool IsClass(const TemplateItem& item, const char* ordinal, const char* name)
{
    return item.className == ordinal || lstrcmpiA(item.className.c_str(), name) == 0;
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

TEST_F(AboutBoxTest, TemplateIsTheOldFormWithTheControlsInOrder)
{
    DialogTemplate about = ReadAboutTemplate();
    ASSERT_FALSE(about.extended);
    EXPECT_EQ(about.style, (DWORD)(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTERMOUSE | DS_SETFONT));
    EXPECT_EQ(about.cx, 176);
    EXPECT_EQ(about.cy, 54);
    EXPECT_EQ(about.caption, "About");
    EXPECT_EQ(about.pointSize, 8);
    EXPECT_EQ(about.font, "MS Sans Serif");
    ASSERT_EQ(about.items.size(), 6u);

    const WORD none = 0xFFFF;
    const struct {
        WORD id;
        bool button;
        const char* text;
        DWORD style;
        short x, y, cx, cy;
    } expected[] = {
        { none, false, "Marlowin v1.0.0.1", SS_RIGHT | WS_GROUP, 62, 8, 106, 8 },
        { IDC_ABOUT_OK, true, "OK", BS_PUSHBUTTON | WS_TABSTOP, 118, 36, 50, 14 },
        { none, false, nullptr, SS_RIGHT | WS_GROUP, 42, 18, 126, 8 },
        { IDC_DONATE, true, "Donate", BS_PUSHBUTTON | WS_TABSTOP, 63, 36, 50, 14 },
        { IDC_HELP, true, "Help", BS_PUSHBUTTON | WS_TABSTOP, 8, 36, 50, 14 },
        { none, false, "MW", SS_ICON | SS_REALSIZEIMAGE, 8, 8, 20, 20 },
    };
    for (size_t i = 0; i < 6; ++i) {
        const TemplateItem& item = about.items[i];
        EXPECT_EQ(item.id, expected[i].id) << i;
        EXPECT_TRUE(expected[i].button ? IsClass(item, "#128", "Button") : IsClass(item, "#130", "Static")) << i;
        if (expected[i].text)
            EXPECT_EQ(item.text, expected[i].text) << i;
        else
            EXPECT_FALSE(item.text.empty()) << i;
        EXPECT_EQ(item.style, WS_CHILD | WS_VISIBLE | expected[i].style) << i;
        EXPECT_EQ(item.x, expected[i].x) << i;
        EXPECT_EQ(item.y, expected[i].y) << i;
        EXPECT_EQ(item.cx, expected[i].cx) << i;
        EXPECT_EQ(item.cy, expected[i].cy) << i;
    }
}

TEST_F(AboutBoxTest, CreatedBoxShowsItsTextsCentredOnThePointer)
{
    SetCursorPos(600, 350);
    PumpMessages(100);   // the host may keep the pointer elsewhere; only where it is counts
    HWND box = CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(IDD_ABOUT), nullptr, AboutDialogProc, 0);
    ASSERT_NE(box, nullptr);
    char text[128];
    GetWindowTextA(box, text, sizeof text);
    EXPECT_STREQ(text, "About");
    EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);

    const struct { int id; const char* text; } buttons[] = {
        { IDC_ABOUT_OK, "OK" }, { IDC_DONATE, "Donate" }, { IDC_HELP, "Help" } };
    for (const auto& b : buttons) {
        HWND button = GetDlgItem(box, b.id);
        ASSERT_NE(button, nullptr) << b.text;
        GetWindowTextA(button, text, sizeof text);
        EXPECT_STREQ(text, b.text);
        EXPECT_EQ(SendMessageA(button, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON, 0) << b.text;
    }
    std::vector<std::string> statics;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        GetClassNameA(child, text, sizeof text);
        if (lstrcmpiA(text, "Static") == 0 && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) {
            GetWindowTextA(child, text, sizeof text);
            statics.push_back(text);
        }
    }
    ASSERT_EQ(statics.size(), 2u);
    EXPECT_EQ(statics[0], "Marlowin v1.0.0.1");
    EXPECT_FALSE(statics[1].empty());

    // Windows centres the box on the pointer; Wine puts its corner there. Either way it is under it.
    RECT rect;
    GetWindowRect(box, &rect);
    POINT pointer;
    GetCursorPos(&pointer);
    EXPECT_TRUE(PtInRect(&rect, pointer)) << rect.left << "," << rect.top << " " << rect.right << "," << rect.bottom;
    DestroyWindow(box);
}

TEST_F(AboutBoxTest, ShowsTheMwIcon)
{
    if (!FindResourceA(nullptr, "MW", (LPCSTR)RT_GROUP_ICON))
        GTEST_SKIP() << "the MW icon group is not linked into this build";
    HWND box = CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(IDD_ABOUT), nullptr, AboutDialogProc, 0);
    ASSERT_NE(box, nullptr);
    EXPECT_NE(SendMessageA(box, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(SendMessageA(box, WM_GETICON, ICON_SMALL, 0), 0);
    HWND icon = nullptr;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            icon = child;
    ASSERT_NE(icon, nullptr);
    EXPECT_NE(SendMessageA(icon, STM_GETICON, 0, 0), 0);
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
    EXPECT_TRUE(log.settle().empty());
}

class AboutPagesTest : public AboutBoxTest {
protected:
    // Presses the button and gives the address that the http handler was started with.
    std::string PageOf(int button)
    {
        EXPECT_EQ(RunBox([button](HWND box) { return Press(box, button), true; }), 1);
        return log.waitForPage(1);
    }

    HttpRecorder http;
    RecorderLog log;
};

TEST_F(AboutPagesTest, DonateOpensTheEnglishPage)
{
    ASSERT_NE(GetSystemDefaultLangID(), 1049);
    EXPECT_EQ(PageOf(IDC_DONATE), MARLOWIN_WEB_SITE "/marlowin/donate.html");
}

TEST_F(AboutPagesTest, HelpOpensTheEnglishPage)
{
    ASSERT_NE(GetSystemDefaultLangID(), 1049);
    EXPECT_EQ(PageOf(IDC_HELP), MARLOWIN_WEB_SITE "/marlowin/help.html");
}

TEST_F(AboutPagesTest, DonateOpensTheRussianPage)
{
    ASSERT_EQ(GetSystemDefaultLangID(), 1049);
    EXPECT_EQ(PageOf(IDC_DONATE), MARLOWIN_WEB_SITE "/marlowin/donate[ru].html");
}

TEST_F(AboutPagesTest, HelpOpensTheRussianPage)
{
    ASSERT_EQ(GetSystemDefaultLangID(), 1049);
    EXPECT_EQ(PageOf(IDC_HELP), MARLOWIN_WEB_SITE "/marlowin/help[ru].html");
}

TEST_F(AboutPagesTest, HomePageIsTheSameInRussian)
{
    ASSERT_EQ(GetSystemDefaultLangID(), 1049);
    OpenWebPage(WebPageAddress(WEB_HOME));
    std::vector<Recording> seen = log.waitFor(1);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].commandLine, "\"" + RecorderPath() + "\" \"" MARLOWIN_WEB_SITE "\"");
}

TEST_F(AboutBoxTest, RussianSystemShowsTheSameBox)
{
    ASSERT_EQ(GetSystemDefaultLangID(), 1049);
    EscapeThenOk("about-ru");
}

}  // namespace

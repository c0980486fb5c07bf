// The dialogs on a Russian system (code page 1251, Russian system language): their own program,
// run under a Russian locale.
#include <gtest/gtest.h>

#include "res/resource.h"
#include "tests/dialogs/editor_harness.h"
#include "tests/dialogs/tray_fixture.h"
#include "tray/web_pages.h"

using namespace editor_testing;
using namespace testing_support;
using namespace tray_testing;

namespace {

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

TEST_F(ProfileEdit, RussianNamesAreStoredInTheSystemCodePageAfterLatinNames)
{
    ASSERT_EQ(GetACP(), 1251u);
    const std::string profile = "\xEF\xF0\xEE\xF4\xE8\xEB\xFC";   // lower-case, code page 1251
    const std::string abc = "\xC0\xE1\xE2";
    start({});
    add(profile, "C:\\" + profile + ".txt");
    add("_x");
    add(abc);
    add("Zeta");
    EXPECT_EQ(StoredNames(path), Names({ "Zeta", "_x", abc, profile }));
    EXPECT_EQ(stored()[3].fields[2], "C:\\" + profile + ".txt");
    editor.selectEntry(editor.entryIndex(profile));
    EXPECT_EQ(editor.text(IDC_NAME), profile);
}

}  // namespace

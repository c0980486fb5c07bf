// The package menu and the main menu, built in this process from <bin>\Packages.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/app_state.h"
#include "tests/dialogs/tray_fixture.h"
#include "tray/tray_icon.h"
#include "tray/tray_menu.h"

using namespace testing_support;
using namespace tray_testing;

namespace {

std::string ItemText(HMENU menu, UINT position)
{
    char text[512] = "";
    GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
}

std::wstring ItemTextW(HMENU menu, UINT position)
{
    wchar_t text[512] = L"";
    GetMenuStringW(menu, position, text, 512, MF_BYPOSITION);
    return text;
}

// The package names in the order in which the file system gives them.
std::vector<std::string> ListedByFileSystem(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*.mwpack").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = found.cFileName;
        names.push_back(name.substr(0, name.size() - 7));
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

class PackageMenuTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        AppInstance = GetModuleHandleA(nullptr);
        menu = CreatePopupMenu();
    }
    void TearDown() override { DestroyMenu(menu); }

    // Checks item i against PackageNames[i] and the expected name.
    void ExpectItem(UINT i, const std::string& name)
    {
        EXPECT_EQ(ItemText(menu, i), name) << "item " << i;
        EXPECT_EQ(GetMenuItemID(menu, (int)i), IDM_PACKAGE_FIRST + i) << "item " << i;
        ASSERT_NE(PackageNames[i], nullptr) << "item " << i;
        EXPECT_EQ(std::string(PackageNames[i]), name) << "item " << i;
    }

    PackagesFolder packages;
    HMENU menu = nullptr;
};

TEST_F(PackageMenuTest, NoFolderOrNoPackageFileAppendsNothing)
{
    packages.addFile("notes.txt", "x");
    packages.addFile("old.mwpack.bak", "x");
    EXPECT_EQ(FillPackageMenu(menu), 0u);
    EXPECT_EQ(GetMenuItemCount(menu), 0);

    RemoveTree(packages.path());
    EXPECT_EQ(FillPackageMenu(menu), 0u);
    EXPECT_EQ(GetMenuItemCount(menu), 0);
}

TEST_F(PackageMenuTest, OnePackageIsListedWithoutItsExtension)
{
    packages.addPackage("Work", "w");
    ASSERT_EQ(FillPackageMenu(menu), 1u);
    ASSERT_EQ(GetMenuItemCount(menu), 1);
    ExpectItem(0, "Work");
}

TEST_F(PackageMenuTest, SeveralPackagesKeepTheFileSystemOrder)
{
    for (const char* name : { "zeta", "Alpha", "mid dle", "B&W", "10", "9" })
        packages.addPackage(name, name);
    packages.addFile("readme.txt", "not a package");

    std::vector<std::string> expected = ListedByFileSystem(packages.path());
    ASSERT_EQ(expected.size(), 6u);
    ASSERT_EQ(FillPackageMenu(menu), 6u);
    ASSERT_EQ(GetMenuItemCount(menu), 6);
    for (UINT i = 0; i < 6; ++i)
        ExpectItem(i, expected[i]);
}

TEST_F(PackageMenuTest, FileNamedOnlyTheSuffixGivesAnEmptyName)
{
    packages.addFile(".mwpack", "");
    ASSERT_EQ(FillPackageMenu(menu), 1u);
    ASSERT_NE(PackageNames[0], nullptr);
    EXPECT_STREQ(PackageNames[0], "");
    EXPECT_EQ(GetMenuItemID(menu, 0), (UINT)IDM_PACKAGE_FIRST);
}

TEST_F(PackageMenuTest, NameOf250CharactersIsListedWhole)
{
    std::string name(250, 'n');
    name[0] = 'L';
    if (!packages.addLongNamedFile(name + ".mwpack", "")) {
        // Host file systems under Wine hold at most 255 bytes per name, suffix included.
        name.resize(255 - 7);
        RecordProperty("name_length", (int)name.size());
        ASSERT_TRUE(packages.addLongNamedFile(name + ".mwpack", ""));
    }
    ASSERT_EQ(FillPackageMenu(menu), 1u);
    ExpectItem(0, name);
}

TEST_F(PackageMenuTest, RefillReplacesTheFirstNamesAndKeepsTheRest)
{
    packages.addPackage("one", "1");
    packages.addPackage("two", "2");
    packages.addPackage("three", "3");
    ASSERT_EQ(FillPackageMenu(menu), 3u);
    std::vector<std::string> before = { PackageNames[0], PackageNames[1], PackageNames[2] };

    DeleteFileA((packages.path() + "\\" + before[0] + ".mwpack").c_str());
    DeleteFileA((packages.path() + "\\" + before[1] + ".mwpack").c_str());
    HMENU second = CreatePopupMenu();
    ASSERT_EQ(FillPackageMenu(second), 1u);
    EXPECT_STREQ(PackageNames[0], before[2].c_str());
    EXPECT_STREQ(PackageNames[1], before[1].c_str());
    EXPECT_STREQ(PackageNames[2], before[2].c_str());
    EXPECT_EQ(GetMenuItemCount(second), 1);
    DestroyMenu(second);
}

class MainMenuTest : public ::testing::Test {
protected:
    void SetUp() override { AppInstance = GetModuleHandleA(nullptr); }
    void TearDown() override { DestroyTrayMenus(); }

    // The main menu's items from top to bottom: text (empty for separators) and id.
    void ExpectMainMenu(const std::vector<std::string>& texts)
    {
        const UINT ids[] = { IDM_VISIT_WEBSITE, IDM_ABOUT, 0, IDM_NEW_PACKAGE, IDM_EDIT_PACKAGE, 0, 0, IDM_EXIT };
        HMENU built = BuildMainMenu();
        ASSERT_NE(built, nullptr);
        ASSERT_EQ(built, MainMenu);
        ASSERT_EQ(GetMenuItemCount(built), 8);
        for (UINT i = 0; i < 8; ++i) {
            UINT state = GetMenuState(built, i, MF_BYPOSITION);
            if (i == 2 || i == 6) {
                EXPECT_TRUE(state & MF_SEPARATOR) << i;
                continue;
            }
            EXPECT_FALSE(state & (MF_SEPARATOR | MF_GRAYED | MF_DISABLED)) << i;
            EXPECT_EQ(ItemText(built, i), texts[i]) << i;
            if (i == 5)
                EXPECT_EQ(GetSubMenu(built, 5), PackageMenu);
            else
                EXPECT_EQ(GetMenuItemID(built, (int)i), ids[i]) << i;
        }
    }

    PackagesFolder packages;
};

TEST_F(MainMenuTest, EnglishTextsIdsAndPackageSubmenu)
{
    ASSERT_NE(GetSystemDefaultLangID(), 1049);
    packages.addPackage("Work", "w");
    ExpectMainMenu({ "Visit Website", "About...", "", "New package...", "Edit package...", "Programs packages", "",
                     "Exit" });
    ASSERT_NE(PackageMenu, nullptr);
    ASSERT_EQ(GetMenuItemCount(PackageMenu), 1);
    EXPECT_EQ(ItemText(PackageMenu, 0), "Work");
    EXPECT_EQ(GetMenuItemID(PackageMenu, 0), (UINT)IDM_PACKAGE_FIRST);
}

TEST_F(MainMenuTest, WithoutPackagesTheSubmenuIsEmpty)
{
    RemoveTree(packages.path());
    HMENU built = BuildMainMenu();
    ASSERT_NE(built, nullptr);
    HMENU submenu = GetSubMenu(built, 5);
    ASSERT_NE(submenu, nullptr);
    EXPECT_EQ(GetMenuItemCount(submenu), 0);
}

TEST_F(MainMenuTest, TeardownDestroysBothMenus)
{
    HMENU built = BuildMainMenu();
    HMENU submenu = PackageMenu;
    ASSERT_TRUE(IsMenu(built));
    ASSERT_TRUE(IsMenu(submenu));
    DestroyTrayMenus();
    EXPECT_EQ(MainMenu, nullptr);
    EXPECT_EQ(PackageMenu, nullptr);
    EXPECT_FALSE(IsMenu(built));
    EXPECT_FALSE(IsMenu(submenu));

    built = BuildPackageMenu();
    ASSERT_TRUE(IsMenu(built));
    EXPECT_EQ(MainMenu, nullptr);
    DestroyTrayMenus();
    EXPECT_EQ(PackageMenu, nullptr);
    EXPECT_FALSE(IsMenu(built));
}

TEST_F(MainMenuTest, RussianTextsInCodePage1251)
{
    ASSERT_EQ(GetSystemDefaultLangID(), 1049);
    ASSERT_EQ(GetACP(), 1251u);
    ExpectMainMenu({ "\xCF\xEE\xF1\xE5\xF2\xE8\xF2\xFC \xF1\xE0\xE9\xF2",
                     "\xCE \xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xE5...",
                     "",
                     "\xD1\xEE\xE7\xE4\xE0\xF2\xFC \xEF\xE0\xEA\xE5\xF2...",
                     "\xC8\xE7\xEC\xE5\xED\xE8\xF2\xFC \xEF\xE0\xEA\xE5\xF2...",
                     "\xCF\xE0\xEA\xE5\xF2\xFB \xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC",
                     "",
                     "\xC2\xFB\xF5\xEE\xE4" });
    // The same items read as Unicode are the Cyrillic words themselves.
    const wchar_t* expected[] = {
        L"\u041F\u043E\u0441\u0435\u0442\u0438\u0442\u044C \u0441\u0430\u0439\u0442",
        L"\u041E \u043F\u0440\u043E\u0433\u0440\u0430\u043C\u043C\u0435...",
        L"",
        L"\u0421\u043E\u0437\u0434\u0430\u0442\u044C \u043F\u0430\u043A\u0435\u0442...",
        L"\u0418\u0437\u043C\u0435\u043D\u0438\u0442\u044C \u043F\u0430\u043A\u0435\u0442...",
        L"\u041F\u0430\u043A\u0435\u0442\u044B \u043F\u0440\u043E\u0433\u0440\u0430\u043C\u043C",
        L"",
        L"\u0412\u044B\u0445\u043E\u0434",
    };
    for (UINT i = 0; i < 8; ++i)
        EXPECT_TRUE(ItemTextW(MainMenu, i) == expected[i]) << i;
}

}  // namespace

// The package menu and the main menu, built in this process from <bin>\Packages.
#include <gtest/gtest.h>

#include <algorithm>

#include "base/app_state.h"
#include "res/resource.h"
#include "tests/dialogs/tray_fixture.h"
#include "tray/package_menu.h"
#include "tray/tray_icon.h"
#include "tray/tray_menu.h"

using namespace testing_support;
using namespace tray_testing;

namespace {

// The item's text as the menu shows it: "&&" is one '&', a single '&' only underlines.
std::string ItemText(HMENU menu, UINT position)
{
    char text[512] = "";
    GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    std::string shown;
    for (const char* at = text; *at; ++at) {
        if (*at == '&' && *++at == '\0')
            break;
        shown += *at;
    }
    return shown;
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

TEST_F(PackageMenuTest, ListsExactlyThePackageFilesEachBehindItsOwnCommand)
{
    std::vector<std::string> put = { "zeta", "Alpha", "mid dle", "B&W", "10", "9" };
    for (const std::string& name : put)
        packages.addPackage(name, name);
    packages.addFile("readme.txt", "not a package");

    ASSERT_EQ(FillPackageMenu(menu), 6u);
    ASSERT_EQ(GetMenuItemCount(menu), 6);
    // Whatever order the file system gives, the item the user picks names the package it launches.
    std::vector<std::string> shown;
    for (UINT i = 0; i < 6; ++i) {
        shown.push_back(ItemText(menu, i));
        ExpectItem(i, shown.back());
    }
    std::sort(shown.begin(), shown.end());
    std::sort(put.begin(), put.end());
    EXPECT_EQ(shown, put);
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
    if (!packages.addFile(name + ".mwpack", "")) {
        // Host file systems under Wine hold at most 255 bytes per name, suffix included.
        name.resize(255 - 7);
        RecordProperty("name_length", (int)name.size());
        ASSERT_TRUE(packages.addFile(name + ".mwpack", ""));
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

// Refuses to attach a submenu and remembers which one it was given.
HMENU RefusedSubmenu;
BOOL WINAPI RefuseSubmenu(HMENU menu, UINT flags, UINT_PTR id, LPCSTR text)
{
    if (flags & MF_POPUP) {
        RefusedSubmenu = (HMENU)id;
        return FALSE;
    }
    return AppendMenuA(menu, flags, id, text);
}

class MainMenuTest : public ::testing::Test {
protected:
    void SetUp() override { AppInstance = GetModuleHandleA(nullptr); }
    void TearDown() override
    {
        AppendMenuCall = AppendMenuA;
        DestroyTrayMenus();
    }

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

TEST_F(MainMenuTest, PackageMenuThatCannotBeAttachedIsDestroyedAndTheRestIsShown)
{
    packages.addPackage("Work", "w");
    RefusedSubmenu = nullptr;
    AppendMenuCall = RefuseSubmenu;
    HMENU built = BuildMainMenu();
    ASSERT_NE(built, nullptr);
    ASSERT_NE(RefusedSubmenu, nullptr);
    EXPECT_FALSE(IsMenu(RefusedSubmenu)) << "the package menu outlives the main menu";
    EXPECT_EQ(PackageMenu, nullptr);
    EXPECT_EQ(GetMenuItemCount(built), 7);
    EXPECT_EQ(GetMenuItemID(built, 6), (UINT)IDM_EXIT);
}

}  // namespace

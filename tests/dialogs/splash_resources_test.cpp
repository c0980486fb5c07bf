// The splash decoder and the resources that the resident start relies on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/app_state.h"
#include "base/dynamic_library.h"
#include "app/splash.h"
#include "res/resource.h"
#include "tests/dialogs/tray_fixture.h"
#include "tests/support/test_support.h"

using testing_support::BitmapPixels;

namespace {

std::string ResourceBytes(const char* name, const char* type)
{
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, name, type);
    if (!found)
        return std::string();
    HGLOBAL loaded = LoadResource(module, found);
    const char* bytes = (const char*)LockResource(loaded);
    return std::string(bytes, SizeofResource(module, found));
}

TEST(SplashResources, LogoDecodesToItsOwnSizeWithSeeThroughBlackAround)
{
    std::string gif = ResourceBytes("LOGO", "JPG");
    ASSERT_FALSE(gif.empty());
    HBITMAP logo = LoadBitmapFromMemory(gif.data(), (DWORD)gif.size());
    ASSERT_NE(logo, nullptr);
    LONG width = 0, height = 0;
    std::vector<DWORD> pixels = BitmapPixels(logo, &width, &height);
    DeleteObject(logo);
    ASSERT_EQ(width, 162);
    ASSERT_EQ(height, 90);
    size_t drawn = 0;
    for (DWORD pixel : pixels)
        drawn += (pixel & 0xFFFFFF) != 0;
    EXPECT_GT(drawn, pixels.size() / 10);
    EXPECT_LT(drawn, pixels.size() / 2);
    for (LONG corner : { 0L, 161L, 89L * 162, 89L * 162 + 161 })
        EXPECT_EQ(pixels[corner] & 0xFFFFFF, 0u) << corner;
}

TEST(SplashResources, UndecodableBytesGiveNoBitmap)
{
    const char garbage[] = "this is no picture at all";
    EXPECT_EQ(LoadBitmapFromMemory(garbage, sizeof garbage), nullptr);
    IPicture* picture = reinterpret_cast<IPicture*>(1);
    HBITMAP bitmap = reinterpret_cast<HBITMAP>(1);
    EXPECT_FALSE(LoadPictureFromMemory(garbage, sizeof garbage, &picture, &bitmap));
    EXPECT_EQ(picture, nullptr);
    EXPECT_EQ(bitmap, nullptr);
}

INT_PTR CALLBACK QuietDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

TEST(SplashResources, ColorKeyMakesTheWindowExactlyLayeredAndToolWindow)
{
    AppInstance = GetModuleHandleA(nullptr);
    HWND window = CreateDialogParamA(AppInstance, START_TEMPLATE_NAME, nullptr, QuietDialogProc, 0);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE) & (WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT | WS_EX_LAYERED),
              WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT);
    EXPECT_NE(SetLayeredColorKey(window, RGB(0, 0, 0), 220, LWA_COLORKEY), 0);
    EXPECT_EQ((DWORD)GetWindowLongA(window, GWL_EXSTYLE), 0x80080u);
    COLORREF key = 1;
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(window, &key, &alpha, &flags));
    EXPECT_EQ(key, RGB(0, 0, 0));
    EXPECT_EQ(flags, (DWORD)LWA_COLORKEY);
    DestroyWindow(window);
}

TEST(SplashResources, StartWindowIsBornHiddenWithoutCaptionOrControls)
{
    AppInstance = GetModuleHandleA(nullptr);
    HWND window = CreateDialogParamA(AppInstance, START_TEMPLATE_NAME, nullptr, QuietDialogProc, 0);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(GetWindow(window, GW_CHILD), nullptr);
    LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_NE(style & WS_CAPTION, WS_CAPTION);
    EXPECT_EQ(GetWindowTextLengthA(window), 0);
    DestroyWindow(window);
}

// The icon group's image at its own size, as the shell would get it from the file.
SIZE OwnIconSize(const char* name)
{
    std::string group = ResourceBytes(name, MAKEINTRESOURCEA(14));
    if (group.empty())
        return SIZE{ 0, 0 };
    int id = LookupIconIdFromDirectoryEx((PBYTE)&group[0], TRUE, 0, 0, LR_DEFAULTCOLOR);
    std::string image = ResourceBytes(MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(3));
    if (image.empty())
        return SIZE{ 0, 0 };
    HICON icon = CreateIconFromResourceEx((PBYTE)&image[0], (DWORD)image.size(), TRUE, 0x00030000, 0, 0,
                                          LR_DEFAULTCOLOR);
    SIZE size = tray_testing::IconSize(icon);
    DestroyIcon(icon);
    return size;
}

// The program's icon is 32 pixels; the animation's frames, made for the tray, 16.
TEST(SplashResources, IconsHaveTheirSizes)
{
    SIZE plain = OwnIconSize("MW");
    EXPECT_EQ(plain.cx, 32);
    EXPECT_EQ(plain.cy, 32);
    for (int frame = 1; frame <= 8; ++frame) {
        std::string name = "MW" + std::to_string(frame);
        SIZE size = OwnIconSize(name.c_str());
        EXPECT_EQ(size.cx, 16) << name;
        EXPECT_EQ(size.cy, 16) << name;
    }
}

// The manifest asks for the version-6 controls of the build's own architecture: a manifest naming
// another architecture leaves the program without comctl32, and every dialog silently unopened.
TEST(SplashResources, CommonControlsAreTheVersionTheManifestAsksFor)
{
    std::string manifest = ResourceBytes(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    const std::string tag = "name=\"Microsoft.Windows.Common-Controls\" version=\"";
    size_t controls = manifest.find(tag);
    ASSERT_NE(controls, std::string::npos);
    std::string major = manifest.substr(controls + tag.size(), manifest.find('.', controls + tag.size()) - controls - tag.size());

    // The side-by-side copy is named by architecture, assembly and version (Wine's reports 5.x
    // through DllGetVersion whatever it is, so the name is what tells).
    UseCommonControls();
    HMODULE library = GetModuleHandleA("comctl32.dll");
    ASSERT_NE(library, nullptr) << "comctl32 did not load";
    char file[MAX_PATH] = "";
    ASSERT_GT(GetModuleFileNameA(library, file, sizeof file), 0u);
    std::string wanted = std::string(sizeof(void*) == 8 ? "amd64" : "x86") +
                         "_microsoft.windows.common-controls_6595b64144ccf1df_" + major + ".";
    CharLowerA(file);
    EXPECT_NE(std::string(file).find(wanted), std::string::npos) << file;
}

}  // namespace

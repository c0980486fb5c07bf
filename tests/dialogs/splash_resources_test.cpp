// The splash decoder and the resources that the resident start relies on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/splash.h"
#include "res/resource.h"
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

unsigned Word(const std::string& bytes, size_t at)
{
    return (unsigned char)bytes[at] | (unsigned char)bytes[at + 1] << 8;
}

unsigned long Long(const std::string& bytes, size_t at)
{
    return Word(bytes, at) | (unsigned long)Word(bytes, at + 2) << 16;
}

// Walks the GIF's blocks after the header and colour table; counts the frames.
int CountGifFrames(const std::string& gif, size_t at)
{
    int frames = 0;
    while (at < gif.size()) {
        unsigned char kind = gif[at];
        if (kind == 0x3b)
            return at + 1 == gif.size() ? frames : -1;
        if (kind == 0x21) {
            at += 2;
        } else if (kind == 0x2c) {
            ++frames;
            unsigned char packed = gif[at + 9];
            at += 10;
            if (packed & 0x80)
                at += 3u << ((packed & 7) + 1);
            ++at;  // LZW minimum code size
        } else {
            return -1;
        }
        while (at < gif.size() && gif[at] != 0)
            at += (unsigned char)gif[at] + 1;
        ++at;
    }
    return -1;
}

TEST(SplashResources, LogoIsAOneFrameGifWithABlackFirstColour)
{
    std::string gif = ResourceBytes("LOGO", "JPG");
    ASSERT_EQ(gif.size(), 4157u);
    EXPECT_EQ(gif.substr(0, 6), "GIF89a");
    EXPECT_EQ(Word(gif, 6), 162u);
    EXPECT_EQ(Word(gif, 8), 90u);
    unsigned char packed = gif[10];
    ASSERT_TRUE(packed & 0x80) << "a global colour table";
    EXPECT_EQ(2u << (packed & 7), 64u);
    EXPECT_EQ(gif.substr(13, 3), std::string(3, '\0'));
    EXPECT_EQ(CountGifFrames(gif, 13 + 3 * 64), 1);
}

TEST(SplashResources, LogoDecodesToItsOwnSizeWithSeeThroughBlackAround)
{
    std::string gif = ResourceBytes("LOGO", "JPG");
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

TEST(SplashResources, StartTemplateIsAnEmptyExtendedDialog)
{
    std::string dialog = ResourceBytes(START_TEMPLATE_NAME, MAKEINTRESOURCEA(5));
    ASSERT_GE(dialog.size(), 26u);
    EXPECT_EQ(Word(dialog, 0), 1u);          // version
    EXPECT_EQ(Word(dialog, 2), 0xFFFFu);     // extended template
    EXPECT_EQ(Long(dialog, 8), (unsigned long)(WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT));
    EXPECT_EQ(Long(dialog, 12),
              (unsigned long)(WS_POPUP | WS_BORDER | DS_CENTER | DS_SETFOREGROUND | DS_SETFONT));
    EXPECT_EQ(Word(dialog, 16), 0u);         // no controls
    EXPECT_EQ(Word(dialog, 22), 148u);
    EXPECT_EQ(Word(dialog, 24), 38u);
    // Menu, class and caption are empty; then the font.
    EXPECT_EQ(Word(dialog, 26), 0u);
    EXPECT_EQ(Word(dialog, 28), 0u);
    EXPECT_EQ(Word(dialog, 30), 0u);
    EXPECT_EQ(Word(dialog, 32), 8u);
    std::string face;
    for (size_t at = 38; at + 1 < dialog.size() && Word(dialog, at) != 0; at += 2)
        face += (char)Word(dialog, at);
    EXPECT_EQ(face, "MS Sans Serif");
}

struct IconGroupEntry {
    unsigned width, height, bits;
};

std::vector<IconGroupEntry> IconGroup(const char* name)
{
    std::string group = ResourceBytes(name, MAKEINTRESOURCEA(14));
    std::vector<IconGroupEntry> entries;
    if (group.size() < 6)
        return entries;
    for (unsigned i = 0; i < Word(group, 4) && 6 + 14 * (i + 1) <= group.size(); ++i) {
        size_t at = 6 + 14 * i;
        entries.push_back({ (unsigned char)group[at] ? (unsigned char)group[at] : 256u,
                            (unsigned char)group[at + 1] ? (unsigned char)group[at + 1] : 256u,
                            Word(group, at + 6) });
    }
    return entries;
}

TEST(SplashResources, IconGroupsHaveOneImageOfTheirSizeAndDepth)
{
    std::vector<IconGroupEntry> plain = IconGroup("MW");
    ASSERT_EQ(plain.size(), 1u);
    EXPECT_EQ(plain[0].width, 32u);
    EXPECT_EQ(plain[0].height, 32u);
    EXPECT_EQ(plain[0].bits, 4u);
    for (int frame = 1; frame <= 8; ++frame) {
        std::string name = "MW" + std::to_string(frame);
        std::vector<IconGroupEntry> entries = IconGroup(name.c_str());
        ASSERT_EQ(entries.size(), 1u) << name;
        EXPECT_EQ(entries[0].width, 16u) << name;
        EXPECT_EQ(entries[0].height, 16u) << name;
        EXPECT_EQ(entries[0].bits, 8u) << name;
    }
}

TEST(SplashResources, ManifestAndVersionNameTheProgram)
{
    std::string manifest = ResourceBytes(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    EXPECT_NE(manifest.find("name=\"Marlowin\" version=\"1.0.0.0\" processorArchitecture=\"X86\" type=\"win32\""),
              std::string::npos);
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);

    typedef DWORD(WINAPI * SizeProc)(LPCSTR, LPDWORD);
    typedef BOOL(WINAPI * InfoProc)(LPCSTR, DWORD, DWORD, LPVOID);
    typedef BOOL(WINAPI * QueryProc)(LPCVOID, LPCSTR, LPVOID*, PUINT);
    HMODULE version = LoadLibraryA("version.dll");
    ASSERT_NE(version, nullptr);
    SizeProc infoSize = (SizeProc)(void*)GetProcAddress(version, "GetFileVersionInfoSizeA");
    InfoProc info = (InfoProc)(void*)GetProcAddress(version, "GetFileVersionInfoA");
    QueryProc query = (QueryProc)(void*)GetProcAddress(version, "VerQueryValueA");
    std::string exe = testing_support::MarlowinPath();
    DWORD size = infoSize(exe.c_str(), nullptr);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(info(exe.c_str(), 0, size, block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(query(block.data(), "\\", (LPVOID*)&fixed, &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);
    for (const char* key : { "FileDescription", "InternalName", "ProductName" }) {
        char* text = nullptr;
        std::string path = std::string("\\StringFileInfo\\040904b0\\") + key;
        ASSERT_TRUE(query(block.data(), path.c_str(), (LPVOID*)&text, &length)) << key;
        EXPECT_STREQ(text, "Marlowin") << key;
    }
    FreeLibrary(version);
}

}  // namespace

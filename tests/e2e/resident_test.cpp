// The resident Marlowin.exe under Wine: single copy, splash, tray icon, and the ways it ends.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/resident_copy.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

const int SPLASH_WIDTH = 162;
const int SPLASH_HEIGHT = 90;

// Wine shows tray icons as child windows of its "Wine System Tray" windows.
std::vector<HWND> TrayIconWindows()
{
    std::vector<HWND> icons;
    for (HWND tray = FindWindowExA(nullptr, nullptr, nullptr, "Wine System Tray"); tray;
         tray = FindWindowExA(nullptr, tray, nullptr, "Wine System Tray")) {
        if (!IsWindowVisible(tray))
            continue;
        for (HWND icon = GetWindow(tray, GW_CHILD); icon; icon = GetWindow(icon, GW_HWNDNEXT))
            if (IsWindowVisible(icon))
                icons.push_back(icon);
    }
    return icons;
}

// Colours of a picture that the function paints into a screen-compatible memory context.
template <typename Paint>
std::vector<DWORD> Painted(int width, int height, Paint paint)
{
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    paint(memory, screen);
    SelectObject(memory, previous);
    std::vector<DWORD> pixels = BitmapPixels(bitmap);
    for (DWORD& pixel : pixels)
        pixel &= 0xFFFFFF;
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

std::vector<DWORD> CaptureScreen(const RECT& area)
{
    int width = area.right - area.left, height = area.bottom - area.top;
    return Painted(width, height, [&](HDC memory, HDC screen) {
        BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    });
}

// One of the program's icons as a 16 x 16 tray would draw it on white.
std::vector<DWORD> DrawnIcon(const char* name)
{
    HMODULE program = LoadLibraryExA(MarlowinPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HICON icon = program ? (HICON)LoadImageA(program, name, IMAGE_ICON, 16, 16, 0) : nullptr;
    std::vector<DWORD> pixels = Painted(16, 16, [icon](HDC memory, HDC) {
        RECT all = { 0, 0, 16, 16 };
        FillRect(memory, &all, (HBRUSH)GetStockObject(WHITE_BRUSH));
        if (icon)
            DrawIconEx(memory, 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL);
    });
    if (icon)
        DestroyIcon(icon);
    if (program)
        FreeLibrary(program);
    return pixels;
}

// Names the program icon that the tray icon window shows: the closest of "MW" and "MW1" to "MW8".
std::string ShownIcon(HWND iconWindow)
{
    RECT area;
    if (!GetWindowRect(iconWindow, &area))
        return "no window";
    int width = area.right - area.left, height = area.bottom - area.top;
    std::vector<DWORD> shown = CaptureScreen(area);
    std::string best = "?";
    size_t fewest = 16 * 16 / 4;  // more differing pixels than this is no match at all
    for (const char* name : { "MW", "MW1", "MW2", "MW3", "MW4", "MW5", "MW6", "MW7", "MW8" }) {
        std::vector<DWORD> reference = DrawnIcon(name);
        for (int dy = 0; dy + 16 <= height; ++dy) {
            for (int dx = 0; dx + 16 <= width; ++dx) {
                size_t differing = 0;
                for (int y = 0; y < 16; ++y)
                    for (int x = 0; x < 16; ++x)
                        differing += shown[(size_t)(y + dy) * width + x + dx] != reference[(size_t)y * 16 + x];
                if (differing < fewest) {
                    fewest = differing;
                    best = name;
                }
            }
        }
    }
    return best;
}

// A patterned panel behind the splash, so that its see-through parts show in the screenshot.
class Backdrop {
public:
    explicit Backdrop(const RECT& area) : area_(area)
    {
        ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
        WaitForSingleObject(ready_, 10000);
    }
    ~Backdrop()
    {
        if (window_)
            PostMessageA(window_, WM_CLOSE, 0, 0);
        WaitForSingleObject(thread_, 10000);
        CloseHandle(thread_);
        CloseHandle(ready_);
    }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_PAINT) {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            HBRUSH light = CreateSolidBrush(RGB(58, 110, 165)), dark = CreateSolidBrush(RGB(40, 80, 125));
            for (int y = 0; y < 800; y += 24)
                for (int x = 0; x < 1200; x += 24) {
                    RECT square = { x, y, x + 24, y + 24 };
                    FillRect(dc, &square, ((x + y) / 24) % 2 ? dark : light);
                }
            DeleteObject(light);
            DeleteObject(dark);
            EndPaint(window, &paint);
            return 0;
        }
        if (message == WM_DESTROY)
            PostQuitMessage(0);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    static DWORD WINAPI Run(LPVOID parameter)
    {
        Backdrop* self = (Backdrop*)parameter;
        WNDCLASSA type;
        ZeroMemory(&type, sizeof type);
        type.lpfnWndProc = Procedure;
        type.hInstance = GetModuleHandleA(nullptr);
        type.lpszClassName = "MarlowinTestBackdrop";
        RegisterClassA(&type);
        self->window_ = CreateWindowExA(WS_EX_TOOLWINDOW, type.lpszClassName, "", WS_POPUP | WS_VISIBLE,
                                        self->area_.left, self->area_.top, self->area_.right - self->area_.left,
                                        self->area_.bottom - self->area_.top, nullptr, nullptr, type.hInstance,
                                        nullptr);
        UpdateWindow(self->window_);
        SetEvent(self->ready_);
        MSG message;
        while (GetMessageA(&message, nullptr, 0, 0) > 0)
            DispatchMessageA(&message);
        return 0;
    }

    RECT area_;
    HANDLE ready_ = nullptr;
    HANDLE thread_ = nullptr;
    HWND window_ = nullptr;
};

// Sets the system version that Wine reports to Marlowin.exe alone, for as long as it lives.
class ProgramVersion {
public:
    explicit ProgramVersion(const char* version)
    {
        HKEY key;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, KEY_PATH, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) ==
            ERROR_SUCCESS) {
            RegSetValueExA(key, "Version", 0, REG_SZ, (const BYTE*)version, (DWORD)strlen(version) + 1);
            RegCloseKey(key);
        }
    }
    ~ProgramVersion() { RegDeleteKeyA(HKEY_CURRENT_USER, KEY_PATH); }

private:
    static constexpr const char* KEY_PATH = "Software\\Wine\\AppDefaults\\Marlowin.exe";
};

class Resident : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(MappingExists()) << "a resident copy from elsewhere is still running";
        iconsBefore = TrayIconWindows().size();
    }
    void TearDown() override { EXPECT_FALSE(MappingExists()); }

    static bool WaitPastSplash(ResidentCopy& copy)
    {
        return copy.waitPastSplash() && WaitUntil([] { return TrayIconWindows().size() > 0; }, 5000);
    }

    // The icon window that the copy added, after waiting for it to be drawn as expected.
    void ExpectTrayIcon(const char* expected)
    {
        std::vector<HWND> icons;
        ASSERT_TRUE(WaitUntil([&] { return (icons = TrayIconWindows()).size() == iconsBefore + 1; }, 5000))
            << icons.size() << " tray icons";
        HWND icon = icons.back();
        std::string shown;
        EXPECT_TRUE(WaitUntil([&] { return (shown = ShownIcon(icon)) == expected; }, 5000))
            << "the tray shows " << shown;
    }
    void ExpectNoTrayIcon()
    {
        EXPECT_TRUE(WaitUntil([this] { return TrayIconWindows().size() == iconsBefore; }, 5000))
            << TrayIconWindows().size() << " tray icons";
    }
    void ExpectSplashAt(HWND window, DWORD exStyle)
    {
        ASSERT_TRUE(WaitUntil([window] { return IsWindowVisible(window) != FALSE; }, 10000));
        RECT place;
        GetWindowRect(window, &place);
        int x = GetSystemMetrics(SM_CXSCREEN) / 2 - 81, y = GetSystemMetrics(SM_CYSCREEN) / 2 - 145;
        EXPECT_EQ(place.left, x);
        EXPECT_EQ(place.top, y);
        EXPECT_EQ(place.right - place.left, SPLASH_WIDTH);
        EXPECT_EQ(place.bottom - place.top, SPLASH_HEIGHT);
        EXPECT_EQ((DWORD)GetWindowLongA(window, GWL_EXSTYLE), exStyle);
    }

    size_t iconsBefore = 0;
};

TEST_F(Resident, PlainStartShowsTheSplashThenStaysInTheTrayUntilUnloaded)
{
    int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    RECT panel = { cx / 2 - 160, cy / 2 - 200, cx / 2 + 160, cy / 2 - 20 };
    Backdrop backdrop(panel);

    ResidentCopy copy;
    ASSERT_TRUE(copy.started());
    HWND window = copy.waitForWindow();
    ASSERT_NE(window, nullptr);
    char type[64] = "";
    GetClassNameA(window, type, sizeof type);
    EXPECT_STREQ(type, "#32770");
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    EXPECT_EQ(owner, copy.processId());

    ExpectSplashAt(window, 0x80080);
    CaptureDisplay("splash.png");

    ASSERT_TRUE(WaitUntil([window] { return IsHiddenForGood(window); }, 10000)) << "the splash stays";
    EXPECT_EQ(PublishedWindow(), window);
    ExpectTrayIcon("MW8");
    CaptureDisplay("tray.png");

    RunResult unload = RunMarlowin("U");
    ASSERT_TRUE(unload.finished);
    EXPECT_EQ(unload.exitCode, 0u);
    ASSERT_TRUE(copy.endsWithin(10000));
    EXPECT_EQ(copy.exitCode(), 0u);
    ExpectNoTrayIcon();
    EXPECT_FALSE(MappingExists());
}

TEST_F(Resident, SecondPlainStartEndsAndLeavesTheFirstAlone)
{
    ResidentCopy copy;
    ASSERT_TRUE(WaitPastSplash(copy));
    HWND window = copy.waitForWindow();

    RunResult second = RunMarlowin("");
    ASSERT_TRUE(second.finished);
    EXPECT_EQ(second.exitCode, 0u);
    EXPECT_TRUE(copy.running());
    EXPECT_EQ(PublishedWindow(), window);
    EXPECT_FALSE(IsWindowVisible(window));
    ExpectTrayIcon("MW8");

    // WM_CLOSE ends the copy just as the unload letter does.
    SendMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(copy.endsWithin(10000));
    EXPECT_EQ(copy.exitCode(), 0u);
    ExpectNoTrayIcon();
    EXPECT_FALSE(MappingExists());

    // With no copy left, the next plain start is resident again.
    ResidentCopy next;
    ASSERT_TRUE(WaitPastSplash(next));
    EXPECT_NE(next.waitForWindow(), nullptr);
    EXPECT_TRUE(next.running());
    RunResult unload = RunMarlowin("u");
    EXPECT_EQ(unload.exitCode, 0u);
    ASSERT_TRUE(next.endsWithin(10000));
    EXPECT_EQ(next.exitCode(), 0u);
}

TEST_F(Resident, CloseRequestDuringTheSplashEndsTheProgramAfterIt)
{
    ResidentCopy copy;
    HWND window = copy.waitForWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitUntil([window] { return IsWindowVisible(window) != FALSE; }, 10000));
    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(copy.endsWithin(15000));
    EXPECT_EQ(copy.exitCode(), 0u);
    ExpectNoTrayIcon();
    EXPECT_FALSE(MappingExists());
}

TEST_F(Resident, UnloadWithNoCopyRunningStartsNothing)
{
    RunResult unload = RunMarlowin("/U");
    ASSERT_TRUE(unload.finished);
    EXPECT_EQ(unload.exitCode, 0u);
    EXPECT_FALSE(MappingExists());
    EXPECT_EQ(TrayIconWindows().size(), iconsBefore);
}

TEST_F(Resident, WaitLetterWaitsFiveSecondsFirst)
{
    ResidentCopy copy;
    ASSERT_TRUE(WaitPastSplash(copy));

    // The wait comes before the letters take effect: the copy is still there after it.
    RunResult waitThenUnload = RunMarlowin("au");
    ASSERT_TRUE(waitThenUnload.finished);
    EXPECT_EQ(waitThenUnload.exitCode, 0u);
    EXPECT_GE(waitThenUnload.elapsedMs, 5000u);
    ASSERT_TRUE(copy.endsWithin(10000));
    EXPECT_EQ(copy.exitCode(), 0u);
    ExpectNoTrayIcon();
}

TEST_F(Resident, Windows2000GetsThePlainIconAndALayeredSplash)
{
    ProgramVersion version("win2k");
    ResidentCopy copy;
    HWND window = copy.waitForWindow();
    ASSERT_NE(window, nullptr);
    ExpectSplashAt(window, 0x80080);
    ASSERT_TRUE(WaitPastSplash(copy));
    ExpectTrayIcon("MW");
}

TEST_F(Resident, WindowsNt4GetsThePlainIconAndABorderedSplash)
{
    ProgramVersion version("nt40");
    ResidentCopy copy;
    HWND window = copy.waitForWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitUntil([window] { return IsWindowVisible(window) != FALSE; }, 10000));
    DWORD exStyle = (DWORD)GetWindowLongA(window, GWL_EXSTYLE);
    EXPECT_EQ(exStyle & WS_EX_LAYERED, 0u);
    EXPECT_EQ(exStyle & (WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT), (DWORD)(WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT));
    EXPECT_TRUE(GetWindowLongA(window, GWL_STYLE) & WS_BORDER);
    ASSERT_TRUE(WaitPastSplash(copy));
    ExpectTrayIcon("MW");
}

}  // namespace

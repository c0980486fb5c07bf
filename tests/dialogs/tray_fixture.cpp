#include "base/app_state.h"
#include "res/resource.h"
#include "res/version.h"
#include "tests/dialogs/tray_fixture.h"
#include "tray/commands.h"
#include "tray/tray_icon.h"
#include "tray/tray_menu.h"
#include "tray/web_pages.h"

#include <algorithm>

using namespace testing_support;

namespace tray_testing {

namespace {

LRESULT CALLBACK CommandWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        return DispatchCommand(window, wParam) == 0 ? 1 : 0;
    case WM_EXITMENULOOP:
        DestroyTrayMenus();
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

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

// A hidden window that treats commands and the menu loop's end as the Start window does.
HWND CreateCommandWindow()
{
    static ATOM registered = 0;
    if (!registered) {
        WNDCLASSA windowClass;
        ZeroMemory(&windowClass, sizeof windowClass);
        windowClass.lpfnWndProc = CommandWindowProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "MarlowinTestCommands";
        registered = RegisterClassA(&windowClass);
    }
    return CreateWindowExA(0, "MarlowinTestCommands", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

bool ScreenshotsWanted()
{
    char value[8] = "";
    return GetEnvironmentVariableA("MARLOWIN_SCREENSHOTS", value, sizeof value) > 0 && value[0] != '0';
}

}  // namespace

void CommandWindowTest::SetUp()
{
    AppInstance = GetModuleHandleA(nullptr);
    window = CreateCommandWindow();
    ASSERT_NE(window, nullptr);
}

void CommandWindowTest::TearDown()
{
    if (IsWindow(window))
        DestroyWindow(window);
    PumpMessages(50);
}

std::vector<HWND> OwnWindows(const char* className, const char* title)
{
    std::vector<HWND> windows;
    for (HWND window = FindWindowExA(nullptr, nullptr, className, title); window;
         window = FindWindowExA(nullptr, window, className, title)) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process == GetCurrentProcessId() && IsWindowVisible(window))
            windows.push_back(window);
    }
    return windows;
}

HWND OwnWindow(const char* className, const char* title)
{
    std::vector<HWND> windows = OwnWindows(className, title);
    return windows.empty() ? nullptr : windows.front();
}

namespace {

UiScript* runningScript = nullptr;

}  // namespace

UiScript& UiScript::then(Step step)
{
    steps_.push_back(step);
    return *this;
}

void UiScript::run(const std::function<void()>& action, DWORD timeoutMs)
{
    UiScript* outer = runningScript;
    runningScript = this;
    started_ = GetTickCount();
    timeout_ = timeoutMs;
    UINT_PTR timer = SetTimer(nullptr, 0, 40, Tick);
    action();
    KillTimer(nullptr, timer);
    runningScript = outer;
}

void CALLBACK UiScript::Tick(HWND, UINT, UINT_PTR, DWORD)
{
    if (runningScript)
        runningScript->tick();
}

void UiScript::tick()
{
    if (next_ < steps_.size() && steps_[next_]())
        ++next_;
    if (next_ < steps_.size() && !timedOut_ && GetTickCount() - started_ > timeout_) {
        timedOut_ = true;
        EndMenu();
        for (HWND box : OwnWindows("#32770"))
            PostMessageA(box, WM_CLOSE, 0, 0);
    }
}

void PumpMessages(DWORD ms)
{
    DWORD begin = GetTickCount();
    do {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(10);
    } while (GetTickCount() - begin < ms);
}

std::vector<std::string> PumpUntilLaunched(const RecorderLog& log, const std::string& commandLine, DWORD timeoutMs)
{
    std::vector<std::string> lines;
    WaitUntil([&] {
        PumpMessages(0);
        lines.clear();
        for (const Recording& r : log.waitFor(1, 0))
            lines.push_back(r.commandLine);
        return std::find(lines.begin(), lines.end(), commandLine) != lines.end();
    }, timeoutMs);
    return lines;
}

std::string HomePageLaunch()
{
    return "\"" + RecorderPath() + "\" \"" MARLOWIN_WEB_SITE "\"";
}

SIZE IconSize(HICON icon)
{
    SIZE size = { 0, 0 };
    ICONINFO info;
    if (!icon || !GetIconInfo(icon, &info))
        return size;
    BITMAP bitmap;
    // A monochrome icon keeps its image and its mask one above the other in one bitmap.
    if (GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap)) {
        size.cx = bitmap.bmWidth;
        size.cy = info.hbmColor ? bitmap.bmHeight : bitmap.bmHeight / 2;
    }
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return size;
}

void SaveScreenshot(HWND window, const char* name)
{
    RECT rect;
    if (!ScreenshotsWanted() || !GetWindowRect(window, &rect))
        return;
    UpdateWindow(window);
    CaptureDisplay((std::string(name) + ".png").c_str(), &rect);
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


}  // namespace tray_testing

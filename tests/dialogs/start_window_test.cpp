// The Start window in-process: its brush, its tray icon calls, its menus and the icon animation.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/app_state.h"
#include "res/resource.h"
#include "tests/support/test_support.h"
#include "tray/commands.h"
#include "tray/package_menu.h"
#include "tray/start_window.h"
#include "tray/tray_icon.h"
#include "tray/tray_menu.h"

using testing_support::WaitUntil;

namespace {

// The tray record of the first shell version: 88 bytes, 104 where pointers take 8.
const DWORD FIRST_RECORD_SIZE = sizeof(void*) == 4 ? 88 : 104;

struct NotifyCall {
    DWORD message = 0;
    DWORD size = 0;
    HWND window = nullptr;
    UINT id = 0;
    UINT flags = 0;
    UINT callback = 0;
    std::string tip;
    std::string icon;     // the resource name whose image was handed over
    DWORD thread = 0;
};

std::vector<DWORD> IconPixels(HICON icon)
{
    ICONINFO info;
    if (!icon || !GetIconInfo(icon, &info))
        return std::vector<DWORD>();
    std::vector<DWORD> pixels = testing_support::BitmapPixels(info.hbmColor);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return pixels;
}

// Records every tray call with the fields it carried; the icon is named by comparing its image.
class NotifyRecorder {
public:
    static void Install()
    {
        static bool ready = false;
        if (!ready) {
            InitializeCriticalSection(&lock_);
            const char* names[] = { "MW", "MW1", "MW2", "MW3", "MW4", "MW5", "MW6", "MW7", "MW8" };
            for (const char* name : names)
                references_.push_back({ name, IconPixels(LoadIconA(AppInstance, name)) });
            ready = true;
        }
        Clear();
        NotifyIconCall = Record;
    }
    static void Clear()
    {
        EnterCriticalSection(&lock_);
        calls_.clear();
        LeaveCriticalSection(&lock_);
    }
    static std::vector<NotifyCall> Calls()
    {
        EnterCriticalSection(&lock_);
        std::vector<NotifyCall> copy = calls_;
        LeaveCriticalSection(&lock_);
        return copy;
    }
    static size_t Count(DWORD message)
    {
        size_t count = 0;
        for (const NotifyCall& call : Calls())
            count += call.message == message;
        return count;
    }

private:
    static BOOL WINAPI Record(DWORD message, PNOTIFYICONDATAA data)
    {
        NotifyCall call;
        call.message = message;
        call.size = data->cbSize;
        call.window = data->hWnd;
        call.id = data->uID;
        call.flags = data->uFlags;
        call.callback = data->uCallbackMessage;
        if (data->uFlags & NIF_TIP)
            call.tip.assign(data->szTip, strnlen(data->szTip, sizeof data->szTip));
        if (data->uFlags & NIF_ICON) {
            std::vector<DWORD> pixels = IconPixels(data->hIcon);
            call.icon = "?";
            for (const auto& reference : references_)
                if (!pixels.empty() && reference.second == pixels)
                    call.icon = reference.first;
        }
        call.thread = GetCurrentThreadId();
        EnterCriticalSection(&lock_);
        calls_.push_back(call);
        LeaveCriticalSection(&lock_);
        return TRUE;
    }

    static CRITICAL_SECTION lock_;
    static std::vector<NotifyCall> calls_;
    static std::vector<std::pair<std::string, std::vector<DWORD>>> references_;
};

CRITICAL_SECTION NotifyRecorder::lock_;
std::vector<NotifyCall> NotifyRecorder::calls_;
std::vector<std::pair<std::string, std::vector<DWORD>>> NotifyRecorder::references_;

HANDLE WINAPI FailingCreateThread(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE, LPVOID, DWORD, LPDWORD)
{
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
}

void SetVersion(DWORD major, DWORD minor)
{
    ZeroMemory(&OsVersion, sizeof OsVersion);
    OsVersion.dwOSVersionInfoSize = sizeof OsVersion;
    OsVersion.dwMajorVersion = major;
    OsVersion.dwMinorVersion = minor;
}

class StartWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        AppInstance = GetModuleHandleA(nullptr);
        SetVersion(5, 1);
        NotifyRecorder::Install();
        AnimationPauseCall = NoPause;   // only the test that times the animation waits for it
    }
    void TearDown() override
    {
        if (!WaitForAnimationEnd()) {
            ADD_FAILURE() << "the animation count never came back to 0";
            AnimationCount = 0;  // so that the next tests do not inherit it
        }
        if (window && IsWindow(window))
            DestroyWindow(window);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
        NotifyIconCall = Shell_NotifyIconA;
        CreateThreadCall = CreateThread;
        AnimationPauseCall = Sleep;
    }
    static void WINAPI NoPause(DWORD) {}

    void Create()
    {
        window = CreateDialogParamA(AppInstance, START_TEMPLATE_NAME, nullptr, StartWindowProc, 0);
        ASSERT_NE(window, nullptr);
    }
    static bool WaitForAnimationEnd() { return WaitUntil([] { return AnimationCount == 0; }, 15000); }

    void ExpectIconAdded(const NotifyCall& call, const char* icon)
    {
        EXPECT_EQ(call.message, (DWORD)NIM_ADD);
        EXPECT_EQ(call.size, FIRST_RECORD_SIZE);
        EXPECT_EQ(call.window, window);
        EXPECT_EQ(call.id, 333u);
        EXPECT_EQ(call.flags, (UINT)(NIF_MESSAGE | NIF_ICON | NIF_TIP));
        EXPECT_EQ(call.callback, 16000u);
        EXPECT_EQ(call.tip, "Marlowin");
        EXPECT_EQ(call.icon, icon);
        EXPECT_EQ(call.thread, GetCurrentThreadId());
    }

    HWND window = nullptr;
};

TEST_F(StartWindow, AddsTheRestingIconWhileItIsCreatedAndPaintsBlack)
{
    Create();
    std::vector<NotifyCall> calls = NotifyRecorder::Calls();
    ASSERT_EQ(calls.size(), 1u);
    ExpectIconAdded(calls[0], "MW8");
    EXPECT_FALSE(IsWindowVisible(window));

    HDC dc = GetDC(window);
    LRESULT brush = SendMessageA(window, WM_CTLCOLORDLG, (WPARAM)dc, (LPARAM)window);
    ReleaseDC(window, dc);
    EXPECT_EQ((HGDIOBJ)brush, GetStockObject(BLACK_BRUSH));
}

TEST_F(StartWindow, CloseRemovesTheIconAndEndsTheMessageLoop)
{
    Create();
    NotifyRecorder::Clear();
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));

    std::vector<NotifyCall> calls = NotifyRecorder::Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].message, (DWORD)NIM_DELETE);
    EXPECT_EQ(calls[0].size, FIRST_RECORD_SIZE);
    EXPECT_EQ(calls[0].window, window);
    EXPECT_EQ(calls[0].id, 333u);

    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 0u);
}

TEST_F(StartWindow, TaskbarCreatedAddsTheIconAgain)
{
    Create();
    NotifyRecorder::Clear();
    SendMessageA(window, RegisterWindowMessageA("MarlowinSomethingElse"), 0, 0);
    EXPECT_TRUE(NotifyRecorder::Calls().empty());

    SendMessageA(window, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    SendMessageA(window, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    std::vector<NotifyCall> calls = NotifyRecorder::Calls();
    ASSERT_EQ(calls.size(), 2u);
    ExpectIconAdded(calls[0], "MW8");
    ExpectIconAdded(calls[1], "MW8");
}

TEST_F(StartWindow, MenuLoopEndDestroysBothMenus)
{
    Create();
    MainMenu = CreatePopupMenu();
    PackageMenu = CreatePopupMenu();
    AppendMenuA(PackageMenu, MF_STRING, IDM_PACKAGE_FIRST, "Work");
    AppendMenuA(MainMenu, MF_POPUP, (UINT_PTR)PackageMenu, "Programs packages");
    HMENU main = MainMenu, package = PackageMenu;
    SendMessageA(window, WM_EXITMENULOOP, TRUE, 0);
    EXPECT_EQ(MainMenu, nullptr);
    EXPECT_EQ(PackageMenu, nullptr);
    EXPECT_FALSE(IsMenu(main));
    EXPECT_FALSE(IsMenu(package));

    // After a left click the package menu stands alone.
    PackageMenu = package = CreatePopupMenu();
    SendMessageA(window, WM_EXITMENULOOP, TRUE, 0);
    EXPECT_EQ(PackageMenu, nullptr);
    EXPECT_FALSE(IsMenu(package));

    SendMessageA(window, WM_EXITMENULOOP, TRUE, 0);  // nothing left to destroy
    EXPECT_EQ(MainMenu, nullptr);
}

TEST_F(StartWindow, AnimationPlaysEightFramesThreeTimesOnceAtATime)
{
    AnimationPauseCall = Sleep;
    Create();
    NotifyRecorder::Clear();
    StartIconAnimation(window);
    ASSERT_TRUE(WaitUntil([] { return NotifyRecorder::Count(NIM_MODIFY) > 0; }, 5000));
    StartIconAnimation(window);  // a second mouse move during the run
    StartIconAnimation(window);
    EXPECT_EQ(AnimationCount, 1);
    ASSERT_TRUE(WaitForAnimationEnd());

    std::vector<NotifyCall> calls = NotifyRecorder::Calls();
    ASSERT_EQ(calls.size(), 24u);
    for (size_t i = 0; i < calls.size(); ++i) {
        SCOPED_TRACE("frame " + std::to_string(i));
        EXPECT_EQ(calls[i].message, (DWORD)NIM_MODIFY);
        EXPECT_EQ(calls[i].icon, "MW" + std::to_string(i % 8 + 1));
        EXPECT_EQ(calls[i].flags, (UINT)(NIF_MESSAGE | NIF_ICON));
        EXPECT_EQ(calls[i].size, FIRST_RECORD_SIZE);
        EXPECT_EQ(calls[i].window, window);
        EXPECT_EQ(calls[i].id, 333u);
        EXPECT_EQ(calls[i].callback, 16000u);
        EXPECT_EQ(calls[i].thread, calls[0].thread);
    }
    EXPECT_NE(calls[0].thread, GetCurrentThreadId());
    EXPECT_EQ(calls.back().icon, "MW8");
}

TEST_F(StartWindow, OldShellAnimatesThePlainIconOnly)
{
    SetVersion(5, 0);
    Create();
    StartIconAnimation(window);
    ASSERT_TRUE(WaitUntil([] { return NotifyRecorder::Count(NIM_MODIFY) > 0; }, 5000));
    // A taskbar re-created during the run: the main thread's record keeps its own fields.
    SendMessageA(window, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    ASSERT_TRUE(WaitForAnimationEnd());

    std::vector<NotifyCall> calls = NotifyRecorder::Calls();
    ASSERT_EQ(calls.size(), 26u);
    ExpectIconAdded(calls[0], "MW");
    size_t modifies = 0;
    for (size_t i = 1; i < calls.size(); ++i) {
        if (calls[i].message == (DWORD)NIM_ADD) {
            ExpectIconAdded(calls[i], "MW");
            continue;
        }
        ++modifies;
        EXPECT_EQ(calls[i].icon, "MW") << i;
        EXPECT_EQ(calls[i].flags, (UINT)(NIF_MESSAGE | NIF_ICON)) << i;
    }
    EXPECT_EQ(modifies, 24u);
}

TEST_F(StartWindow, ThreadThatCannotStartGivesTheCountBack)
{
    Create();
    NotifyRecorder::Clear();
    CreateThreadCall = FailingCreateThread;
    StartIconAnimation(window);
    EXPECT_EQ(AnimationCount, 0);
    EXPECT_TRUE(NotifyRecorder::Calls().empty());

    // The next mouse move animates; the window may go away meanwhile.
    CreateThreadCall = CreateThread;
    StartIconAnimation(window);
    EXPECT_TRUE(WaitUntil([] { return NotifyRecorder::Count(NIM_MODIFY) > 0; }, 5000));
    DestroyWindow(window);
    EXPECT_TRUE(WaitForAnimationEnd());
    EXPECT_EQ(NotifyRecorder::Count(NIM_MODIFY), 24u);
    EXPECT_EQ(NotifyRecorder::Count(NIM_DELETE), 1u);
}

struct VersionCase {
    DWORD major, minor;
    bool old;
};

class ShellAge : public StartWindow, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(ShellAge, DecidesBetweenThePlainAndTheRestingIcon)
{
    SetVersion(GetParam().major, GetParam().minor);
    EXPECT_EQ(IsOldShell(), GetParam().old);
    Create();
    std::vector<NotifyCall> calls = NotifyRecorder::Calls();
    ASSERT_EQ(calls.size(), 1u);
    ExpectIconAdded(calls[0], GetParam().old ? "MW" : "MW8");
}

INSTANTIATE_TEST_SUITE_P(Versions, ShellAge,
                         ::testing::Values(VersionCase{ 3, 51, true }, VersionCase{ 4, 0, true },
                                           VersionCase{ 4, 90, true }, VersionCase{ 5, 0, true },
                                           VersionCase{ 5, 1, false }, VersionCase{ 5, 2, false },
                                           VersionCase{ 6, 0, false }, VersionCase{ 10, 0, false },
                                           VersionCase{ 0x80000000u, 0, false }));

}  // namespace

namespace {

// Chosen from the tray, a package whose profiles cannot start starts the others and tells
// nothing: the tray icon is not touched after the launch.
TEST_F(StartWindow, PackageChosenFromTheTrayMakesNoTrayCallWhenProfilesCannotStart)
{
    Create();
    testing_support::PackagesFolder packages;
    testing_support::RecorderLog log;
    testing_support::RecordSpec missingDocument = testing_support::RecorderRecord("", "Missing");
    missingDocument.type = "Auto";
    missingDocument.object = packages.path() + "\\no such document.txt";
    packages.addFile("Work.mwpack",
                     testing_support::EncodePackage({ testing_support::RecorderRecord("started", "Works"),
                                                      testing_support::RecorderRecord("never", "Broken", "C:\\no such folder"),
                                                      missingDocument }));
    HMENU menu = CreatePopupMenu();
    ASSERT_EQ(FillPackageMenu(menu), 1u);
    DestroyMenu(menu);
    NotifyRecorder::Clear();

    DispatchCommand(window, IDM_PACKAGE_FIRST);
    EXPECT_EQ(log.waitFor(1).size(), 1u);
    // Whatever the launch posted has been handled too.
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_TRUE(NotifyRecorder::Calls().empty());
}

}  // namespace

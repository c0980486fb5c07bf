// Long-run stability of one resident Marlowin.exe: its tray menus, About box, editor and package
// launches used many times over, driven from this process as the shell and a user would. After a
// warm-up round, its private memory, handles and GUI objects may not grow beyond a small bound.
// Usage: soak.exe [scale [part]]; scale divides every count (1: the full run, which takes minutes); part,
// one of package-menu, main-menu and editor, runs that alone, to find which one leaks.
// Exit code 0 within the bound, 1 beyond it, 2 when a step could not be driven.
#include <windows.h>
#include <tlhelp32.h>
#include <stdio.h>
#include <stdlib.h>

#include <wchar.h>
#include <winternl.h>

#include <memory>
#include <vector>

#include "res/resource.h"
#include "tests/bench/bench_figures.h"
#include "tests/support/editor_window.h"
#include "tests/support/resident_copy.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

struct HandleFigures {
    long total;   // -1 when they cannot be counted
    long named;   // of those, the ones whose object's name ends with the text asked for
};

// Open handles of the process (which this one may duplicate handles from).
HandleFigures CountHandles(HANDLE process, const wchar_t* nameEnd)
{
    // Wine's GetProcessHandleCount answers 0 for another process; its table of all handles has them.
    HandleFigures figures = { -1, 0 };
    typedef NTSTATUS(WINAPI * QuerySystemProc)(SYSTEM_INFORMATION_CLASS, PVOID, ULONG, PULONG);
    typedef NTSTATUS(WINAPI * QueryObjectProc)(HANDLE, OBJECT_INFORMATION_CLASS, PVOID, ULONG, PULONG);
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    QuerySystemProc querySystem = (QuerySystemProc)(void*)GetProcAddress(ntdll, "NtQuerySystemInformation");
    QueryObjectProc queryObject = (QueryObjectProc)(void*)GetProcAddress(ntdll, "NtQueryObject");
    if (!querySystem || !queryObject)
        return figures;
    std::vector<char> table(1 << 16);
    ULONG needed = 0;
    NTSTATUS status;
    while ((status = querySystem(SystemHandleInformation, table.data(), (ULONG)table.size(), &needed)) ==
               (NTSTATUS)0xC0000004L &&  // STATUS_INFO_LENGTH_MISMATCH
           table.size() < (1u << 26))
        table.resize(needed > table.size() ? needed + 4096 : table.size() * 2);
    if (status != 0)
        return figures;
    const SYSTEM_HANDLE_INFORMATION* handles = (const SYSTEM_HANDLE_INFORMATION*)table.data();
    DWORD id = GetProcessId(process);
    size_t endLength = wcslen(nameEnd);
    figures.total = 0;
    for (ULONG i = 0; i < handles->Count; ++i) {
        if (handles->Handle[i].OwnerPid != id)
            continue;
        ++figures.total;
        HANDLE copy = nullptr;
        if (!DuplicateHandle(process, (HANDLE)(ULONG_PTR)handles->Handle[i].HandleValue, GetCurrentProcess(), &copy,
                             0, FALSE, DUPLICATE_SAME_ACCESS))
            continue;
        union {
            UNICODE_STRING name;
            char bytes[4096];
        } answer;
        ULONG length = 0;
        if (queryObject(copy, (OBJECT_INFORMATION_CLASS)1 /* ObjectNameInformation */, &answer, sizeof answer,
                        &length) == 0) {
            size_t characters = answer.name.Length / sizeof(wchar_t);
            figures.named += characters >= endLength &&
                             wcsncmp(answer.name.Buffer + characters - endLength, nameEnd, endLength) == 0;
        }
        CloseHandle(copy);
    }
    return figures;
}

const unsigned long MEMORY_BOUND_KIB = 64;
const long HANDLE_BOUND = 10;
const long GUI_OBJECT_BOUND = 10;
const int EDITOR_PROFILES = 100;

struct Figures {
    unsigned long privateKiB;      // as the host counts it; committed private bytes where it cannot
    long handles, gdiObjects, userObjects;
    long fileDialogKeys;           // counted apart from the handles, see below
};

// Wine's file dialog opens this key of its recent-folders list for every file chosen and never
// closes it; the program cannot release it, so it is counted apart.
const wchar_t FILE_DIALOG_KEY[] = L"\\ComDlg32\\LastVisitedMRU";

struct Counts {
    int packageMenus, mainMenus, aboutBoxes, editors, launches;
};

// Every how many menu openings one ends with a choice instead of Escape.
const int CHOICE_EVERY = 5;

class Soak {
public:
    Soak(const std::string& editorPackage) : editorPackage_(editorPackage) {}

    bool start()
    {
        copy_.reset(new ResidentCopy());
        if (!copy_->waitPastSplash())
            return false;
        start_ = PublishedWindow();
        return copy_->owns(start_);
    }
    void stop() { copy_.reset(); }

    // Each step waits for what it caused; false names the step that could not be driven.
    bool run(const Counts& counts)
    {
        // Launches and About boxes are the choices made, spread over the menus' openings.
        for (int i = 0, launches = 0; i < counts.packageMenus; ++i) {
            bool choose = i % CHOICE_EVERY == 0 && launches < counts.launches;
            if (!packageMenu(choose))
                return fail("package menu", i);
            launches += choose;
        }
        for (int i = 0, abouts = 0; i < counts.mainMenus; ++i) {
            bool choose = i % CHOICE_EVERY == 0 && abouts < counts.aboutBoxes;
            if (!mainMenu(choose))
                return fail("main menu", i);
            abouts += choose;
        }
        for (int i = 0; i < counts.editors; ++i)
            if (!editor())
                return fail("editor", i);
        return true;
    }

    Figures figures()
    {
        // Sent, so that every message posted before has been handled and the copy is idle.
        DWORD_PTR answer = 0;
        SendMessageTimeoutA(start_, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer);
        Figures figures;
        figures.privateKiB = HostPrivateKiB("Marlowin.exe", "Marlowin.exe");
        if (!figures.privateKiB)
            figures.privateKiB = (unsigned long)(CommittedPrivateBytes(copy_->handle()) / 1024);
        HandleFigures handles = CountHandles(copy_->handle(), FILE_DIALOG_KEY);
        figures.handles = handles.total < 0 ? -1 : handles.total - handles.named;
        figures.fileDialogKeys = handles.named;
        figures.gdiObjects = (long)GetGuiResources(copy_->handle(), GR_GDIOBJECTS);
        figures.userObjects = (long)GetGuiResources(copy_->handle(), GR_USEROBJECTS);
        return figures;
    }

private:
    bool fail(const char* what, int cycle)
    {
        printf("could not drive the %s, cycle %d\n", what, cycle);
        return false;
    }

    // A visible top-level window of the copy with the class (and title, if given), or null.
    HWND shownWindow(const char* className, const char* title)
    {
        for (HWND window = FindWindowExA(nullptr, nullptr, className, title); window;
             window = FindWindowExA(nullptr, window, className, title))
            if (copy_->owns(window) && IsWindowVisible(window))
                return window;
        return nullptr;
    }

    HWND waitForWindow(const char* className, const char* title)
    {
        HWND found = nullptr;
        WaitUntil([&] { return (found = shownWindow(className, title)) != nullptr; });
        return found;
    }

    bool menuClosed()
    {
        return WaitUntil([this] { return !shownWindow("#32768", nullptr); });
    }

    HWND openMenu(LPARAM click)
    {
        PostMessageA(start_, WM_TRAYNOTIFY, TRAY_ICON_ID, click);
        return waitForWindow("#32768", nullptr);
    }

    // The launched witness has logged its line and ended, so launches never pile up.
    bool launchedOnce()
    {
        ++launched_;
        return log_.waitFor((size_t)launched_).size() == (size_t)launched_ && WaitUntil([] {
            HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
            PROCESSENTRY32 entry;
            entry.dwSize = sizeof entry;
            bool running = false;
            for (BOOL more = Process32First(snapshot, &entry); more && !running; more = Process32Next(snapshot, &entry))
                running = lstrcmpiA(entry.szExeFile, "recorder.exe") == 0;
            CloseHandle(snapshot);
            return !running;
        });
    }

    // Opens the menu with the click, then presses the keys of a choice, or Escape without one.
    bool useMenu(LPARAM click, const std::vector<WORD>& choice)
    {
        HWND menu = openMenu(click);
        if (!menu)
            return false;
        PressKeys(menu, choice.empty() ? std::vector<WORD>{ VK_ESCAPE } : choice);
        return menuClosed();
    }

    bool packageMenu(bool launch)
    {
        if (!launch)
            return useMenu(WM_LBUTTONUP, {});
        return useMenu(WM_LBUTTONUP, { VK_DOWN, VK_RETURN }) && launchedOnce();
    }

    // The choice is About..., whose box is then closed with its OK button.
    bool mainMenu(bool about)
    {
        if (!about)
            return useMenu(WM_RBUTTONUP, {});
        HWND box = useMenu(WM_RBUTTONUP, { VK_DOWN, VK_DOWN, VK_RETURN }) ? waitForWindow("#32770", "About") : nullptr;
        if (!box)
            return false;
        PostMessageA(box, WM_COMMAND, IDC_ABOUT_OK, 0);
        return WaitUntil([box] { return !IsWindow(box); });
    }

    // Edit package..., the file dialog answered, one profile added and deleted again, the editor closed.
    bool editor()
    {
        PostMessageA(start_, WM_COMMAND, IDM_EDIT_PACKAGE, 0);
        HWND dialog = waitForWindow("#32770", "Open package");
        if (!dialog)
            return false;
        AnswerFileDialog(dialog, editorPackage_);
        EditorWindow editor(waitForWindow("#32770", "Package"));
        if (!editor.window())
            return false;
        HWND list = editor.item(IDC_PROFILE_LIST);
        auto count = [list] { return (int)SendMessageA(list, LB_GETCOUNT, 0, 0); };
        editor.setText(IDC_NAME, "Soak");
        editor.setText(IDC_OBJECT, RecorderPath());
        editor.command(IDC_ADD_PROFILE);
        if (!WaitUntil([&] { return count() == EDITOR_PROFILES + 1; }))
            return false;
        SendMessageA(list, LB_SETCURSEL, (WPARAM)editor.entryIndex("Soak"), 0);
        editor.command(IDC_PROFILE_LIST, LBN_SELCHANGE);
        editor.command(IDC_DELETE_PROFILE);
        if (!WaitUntil([&] { return count() == EDITOR_PROFILES; }))
            return false;
        editor.command(IDC_EDITOR_OK);
        return editor.waitClosed();
    }

    std::string editorPackage_;
    RecorderLog log_;   // made before the copy starts, which inherits it
    std::unique_ptr<ResidentCopy> copy_;
    HWND start_ = nullptr;
    int launched_ = 0;   // lines the log holds
};

void PrintFigures(const char* when, const Figures& figures)
{
    printf("%-28s %10lu %9ld %12ld %13ld\n", when, figures.privateKiB, figures.handles, figures.gdiObjects,
           figures.userObjects);
}

}  // namespace

int main(int argc, char** argv)
{
    int scale = argc > 1 ? atoi(argv[1]) : 1;
    if (scale < 1)
        scale = 1;
    if (PublishedWindow()) {
        printf("a resident Marlowin is already running; end it first (Marlowin.exe U)\n");
        return 2;
    }
    PackagesFolder packages;
    packages.addPackage("Cheap", "soak");
    std::string folder = MakeTempFolder("soak");
    std::vector<RecordSpec> profiles;
    for (int i = 0; i < EDITOR_PROFILES; ++i)
        profiles.push_back(RecorderRecord("profile", "Profile " + std::to_string(1000 + i)));
    std::string editorPackage = folder + "\\Hundred.mwpack";
    WriteFileBytes(editorPackage, EncodePackage(profiles));

    Counts full = { 1000 / scale, 1000 / scale, 200 / scale, 200 / scale, 200 / scale };
    // A tenth of the run, at least two of each: Wine's caches (the file dialog's above all) fill over
    // the first few dozen uses, and that is not growth.
    auto tenth = [](int count) { return count / 10 > 2 ? count / 10 : 2; };
    Counts warmUp = { CHOICE_EVERY * tenth(full.launches), CHOICE_EVERY * tenth(full.aboutBoxes),
                      tenth(full.aboutBoxes), tenth(full.editors), tenth(full.launches) };
    if (argc > 2) {
        std::string part = argv[2];
        for (Counts* counts : { &full, &warmUp }) {
            if (part != "package-menu")
                counts->packageMenus = counts->launches = 0;
            if (part != "main-menu")
                counts->mainMenus = counts->aboutBoxes = 0;
            if (part != "editor")
                counts->editors = 0;
        }
    }
    Soak soak(editorPackage);
    int status = 2;
    if (soak.start() && soak.run(warmUp)) {
        Figures before = soak.figures();
        double began = MillisecondsNow();
        if (soak.run(full)) {
            Figures after = soak.figures();
            printf("%d package menus (%d launches), %d main menus (%d About boxes), %d editors with an Add and a "
                   "Delete on %d profiles, in %.0f s\n\n",
                   full.packageMenus, full.launches, full.mainMenus, full.aboutBoxes,
                   full.editors, EDITOR_PROFILES, (MillisecondsNow() - began) / 1000);
            printf("%-28s %10s %9s %12s %13s\n", "", "private KiB", "handles", "GDI objects", "USER objects");
            PrintFigures("after the warm-up round", before);
            PrintFigures("after the soak", after);
            long memory = (long)after.privateKiB - (long)before.privateKiB;
            long handles = after.handles - before.handles;
            long gdi = after.gdiObjects - before.gdiObjects;
            long user = after.userObjects - before.userObjects;
            printf("%-28s %10ld %9ld %12ld %13ld\n", "growth", memory, handles, gdi, user);
            printf("%-28s %10lu %9ld %12ld %13ld\n", "bound", MEMORY_BOUND_KIB, HANDLE_BOUND, GUI_OBJECT_BOUND,
                   GUI_OBJECT_BOUND);
            if (after.fileDialogKeys != before.fileDialogKeys)
                printf("(not counted among the handles: %ld more keys %ls left open by Wine's file dialog)\n",
                       after.fileDialogKeys - before.fileDialogKeys, FILE_DIALOG_KEY);
            if (!before.gdiObjects && !after.gdiObjects)
                printf("(GDI and USER objects read 0: Wine does not count them; handles and memory stand in)\n");
            bool within = memory <= (long)MEMORY_BOUND_KIB && handles <= HANDLE_BOUND && gdi <= GUI_OBJECT_BOUND &&
                          user <= GUI_OBJECT_BOUND;
            printf("%s\n", within ? "no growth beyond the bound" : "GROWTH BEYOND THE BOUND");
            status = within ? 0 : 1;
        }
    } else {
        printf("the resident copy could not be started or warmed up\n");
    }
    soak.stop();
    RemoveTree(folder);
    return status;
}

#include "tests/dialogs/editor_harness.h"

#include "editor/package_editor.h"
#include "editor/profile_edit.h"
#include "res/resource.h"
#include "tests/dialogs/tray_fixture.h"

using namespace testing_support;

namespace editor_testing {

namespace {

struct OwnedSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK MatchOwned(HWND window, LPARAM data)
{
    OwnedSearch* search = (OwnedSearch*)data;
    if (GetWindow(window, GW_OWNER) != search->owner || !IsWindowVisible(window))
        return TRUE;
    search->found = window;
    return FALSE;
}

int FocusedControlId(HWND window)
{
    GUITHREADINFO info;
    ZeroMemory(&info, sizeof info);
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) || !info.hwndFocus)
        return 0;
    return GetDlgCtrlID(info.hwndFocus);
}

}  // namespace

HWND WaitForOwnedWindow(HWND owner)
{
    OwnedSearch search = { owner, nullptr };
    WaitUntil([&] {
        EnumWindows(MatchOwned, (LPARAM)&search);
        return search.found != nullptr;
    });
    return search.found;
}

HWND FindOwnWindow(const char* caption, const char* frameText)
{
    std::vector<HWND> found = WindowsOf(GetCurrentProcessId(), caption, frameText);
    return found.empty() ? nullptr : found.front();
}

Editor::~Editor()
{
    if (dialog_ && IsWindow(dialog_)) {
        SendMessageA(dialog_, WM_CLOSE, 0, 0);
        waitClosed();
    }
}

bool Editor::open(const std::string& path, DWORD access)
{
    HANDLE handle = CreateFileA(path.c_str(), access, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE || !StartPackageEditor(handle, path.c_str()))
        return false;
    std::string title = path.substr(path.find_last_of('\\') + 1);
    title = title.substr(0, title.find_last_of('.'));
    WaitUntil([&] { return (dialog_ = FindOwnWindow("Package", title.c_str())) != nullptr; });
    // The set-up has ended once the window is shown.
    WaitUntil([&] { return dialog_ && IsWindowVisible(dialog_); });
    return dialog_ != nullptr;
}

bool Editor::enabled(int id) const
{
    return IsWindowEnabled(item(id)) != FALSE;
}

int Editor::focus() const
{
    return FocusedControlId(dialog_);
}

void Editor::selectEntry(int index) const
{
    SendMessageA(item(IDC_PROFILE_LIST), LB_SETCURSEL, index, 0);
    command(IDC_PROFILE_LIST, LBN_SELCHANGE);
}

int Editor::selectedEntry() const
{
    return (int)SendMessageA(item(IDC_PROFILE_LIST), LB_GETCURSEL, 0, 0);
}

::testing::AssertionResult Editor::isClean() const
{
    const int disabled[] = { IDC_DELETE_PROFILE, IDC_COMMAND, IDC_DIRECTORY, IDC_DIRECTORY_BROWSE, IDC_ARGUMENTS };
    for (int id : disabled)
        if (enabled(id))
            return ::testing::AssertionFailure() << "control " << id << " is enabled";
    const int fields[] = { IDC_NAME, IDC_COMMAND, IDC_OBJECT, IDC_DIRECTORY, IDC_ARGUMENTS };
    for (int id : fields)
        if (!text(id).empty())
            return ::testing::AssertionFailure() << "control " << id << " holds \"" << text(id) << "\"";
    if (text(IDC_TYPE) != "Auto" || text(IDC_WINDOW) != "Normal")
        return ::testing::AssertionFailure() << "combo boxes show " << text(IDC_TYPE) << ", "
                                             << text(IDC_WINDOW);
    if (focus() != IDC_OBJECT_BROWSE)
        return ::testing::AssertionFailure() << "focus on " << focus();
    return ::testing::AssertionSuccess();
}

void Editor::screenshot(const char* name) const
{
    // The editor paints on its own thread: a message sent there returns once that thread has painted.
    RedrawWindow(dialog_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    SendMessageA(dialog_, WM_NULL, 0, 0);
    tray_testing::SaveScreenshot(dialog_, name);
}

std::string PackageFolder::write(const std::string& name, const std::vector<RecordSpec>& records) const
{
    std::string file = path(name);
    WriteFileBytes(file, EncodePackage(records));
    return file;
}

LONG SaveBoxes::shown;
std::string SaveBoxes::lastText;

static int WINAPI AnswerSaveBox(HWND, LPCSTR text, LPCSTR, UINT)
{
    SaveBoxes::lastText = text;
    InterlockedIncrement(&SaveBoxes::shown);
    return IDOK;
}

SaveBoxes::SaveBoxes()
{
    shown = 0;
    lastText.clear();
    SaveFailedBoxCall = AnswerSaveBox;
}

SaveBoxes::~SaveBoxes()
{
    SaveFailedBoxCall = MessageBoxA;
}

RecordSpec Record(const std::string& name, const std::string& type, const std::string& object,
                const std::string& command)
{
    RecordSpec record;
    record.name = name;
    record.type = type;
    record.object = object;
    record.command = command;
    record.window = "Normal";
    return record;
}

}  // namespace editor_testing

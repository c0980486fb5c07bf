#include "tests/support/editor_window.h"

#include "res/resource.h"
#include "store/profile.h"
#include "tests/support/test_support.h"

namespace testing_support {

namespace {

const int FILE_NAME_BOX = 0x47c;   // the file dialogs' "File name" box

}  // namespace

void AnswerFileDialog(HWND dialog, const std::string& path)
{
    SendMessageA(GetDlgItem(dialog, FILE_NAME_BOX), WM_SETTEXT, 0, (LPARAM)path.c_str());
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

namespace {

struct WindowSearch {
    DWORD process;
    const char* caption;
    const char* frameText;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM data)
{
    WindowSearch* search = (WindowSearch*)data;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == search->process && WindowText(window) == search->caption &&
        (!search->frameText || WindowText(GetDlgItem(window, IDC_PACKAGE_FRAME)) == search->frameText))
        search->found.push_back(window);
    return TRUE;
}

}  // namespace

std::vector<HWND> WindowsOf(DWORD processId, const char* caption, const char* frameText)
{
    WindowSearch search = { processId, caption, frameText, {} };
    EnumWindows(CollectWindow, (LPARAM)&search);
    return search.found;
}

std::string EditorWindow::text(int id) const
{
    return WindowText(item(id));
}

void EditorWindow::setText(int id, const std::string& text) const
{
    SendMessageA(item(id), WM_SETTEXT, 0, (LPARAM)text.c_str());
}

LRESULT EditorWindow::command(int id, WORD code) const
{
    return SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(id, code), (LPARAM)item(id));
}

void EditorWindow::chooseType(int index) const
{
    SendMessageA(item(IDC_TYPE), CB_SETCURSEL, index, 0);
    command(IDC_TYPE, CBN_SELENDOK);
}

std::vector<std::string> EditorWindow::entries() const
{
    std::vector<std::string> names;
    HWND list = item(IDC_PROFILE_LIST);
    DWORD owner = 0;
    GetWindowThreadProcessId(list, &owner);
    bool remote = owner != GetCurrentProcessId();
    int count = (int)SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (int i = 0; i < count; ++i) {
        char name[FIELD_SIZE * 2] = "";
        if (!remote) {
            if (SendMessageA(list, LB_GETTEXTLEN, i, 0) < FIELD_SIZE)
                SendMessageA(list, LB_GETTEXT, i, (LPARAM)name);
        } else {
            // Across processes Wine carries LB_GETTEXT whole only as a wide-character message.
            WCHAR wide[FIELD_SIZE] = L"";
            if (SendMessageW(list, LB_GETTEXTLEN, i, 0) < FIELD_SIZE)
                SendMessageW(list, LB_GETTEXT, i, (LPARAM)wide);
            WideCharToMultiByte(CP_ACP, 0, wide, -1, name, sizeof name, nullptr, nullptr);
        }
        names.push_back(name);
    }
    return names;
}

int EditorWindow::entryIndex(const std::string& name) const
{
    std::vector<std::string> all = entries();
    for (size_t i = 0; i < all.size(); ++i)
        if (all[i] == name)
            return (int)i;
    return -1;
}

bool EditorWindow::waitClosed(DWORD limitMs)
{
    bool closed = WaitUntil([&] { return !IsWindow(dialog_); }, limitMs);
    if (closed)
        dialog_ = nullptr;
    return closed;
}

}  // namespace testing_support

// The form's behaviour: which fields a type uses, and what a chosen or dropped file puts into it.
#include "editor/profile_form.h"

#include <string.h>

#include "editor/form_rules.h"
#include "res/resource.h"

namespace {

const int EDIT_FIELDS[] = { IDC_NAME, IDC_COMMAND, IDC_OBJECT, IDC_DIRECTORY, IDC_ARGUMENTS };

bool IsEmpty(HWND dialog, int id)
{
    return GetWindowTextLengthA(GetDlgItem(dialog, id)) == 0;
}

int TypeSelection(HWND dialog)
{
    return (int)SendDlgItemMessageA(dialog, IDC_TYPE, CB_GETCURSEL, 0, 0);
}

// The enabled states of a rule: a Command that goes on goes on last, one that goes off
// with every other field goes off first.
void ApplyRule(HWND dialog, const TypeRule& rule)
{
    bool allOff = !rule.command && !rule.directory && !rule.arguments;
    if (allOff)
        SetControlEnabled(dialog, IDC_COMMAND, false);
    SetControlEnabled(dialog, IDC_DIRECTORY, rule.directory);
    SetControlEnabled(dialog, IDC_DIRECTORY_BROWSE, rule.directory);
    SetControlEnabled(dialog, IDC_ARGUMENTS, rule.arguments);
    if (!allOff)
        SetControlEnabled(dialog, IDC_COMMAND, rule.command);
    if (rule.proposeOpen && IsEmpty(dialog, IDC_COMMAND))
        SetDlgItemTextA(dialog, IDC_COMMAND, "open");
}

void SelectByPrefix(HWND dialog, int id, const char* text)
{
    LRESULT found = SendDlgItemMessageA(dialog, id, CB_FINDSTRING, 0, (LPARAM)text);
    SendDlgItemMessageA(dialog, id, CB_SETCURSEL, (WPARAM)found, 0);
}

}  // namespace

void SetControlEnabled(HWND dialog, int id, bool enabled)
{
    HWND control = GetDlgItem(dialog, id);
    if ((IsWindowEnabled(control) != FALSE) != enabled)
        EnableWindow(control, enabled);
}

void ApplyTypeRules(HWND dialog)
{
    const TypeRule* rule = RuleForType(TypeSelection(dialog));
    if (rule)
        ApplyRule(dialog, *rule);
}

void FillFormFromPath(HWND dialog, const char* path)
{
    // The path may live in a buffer that the next dialog reuses.
    char copy[FIELD_SIZE];
    lstrcpynA(copy, path, sizeof copy);
    PathParts parts = SplitPath(copy);

    SetDlgItemTextA(dialog, IDC_OBJECT, copy);
    if (IsEmpty(dialog, IDC_NAME) && parts.present)
        SetDlgItemTextA(dialog, IDC_NAME, parts.file);

    int item = TypeSelection(dialog);
    bool screenSaver = false;
    if (item == TYPE_AUTO) {
        DetectedType detected = DetectType(copy);
        item = detected.item;
        screenSaver = detected.screenSaver;
        SendDlgItemMessageA(dialog, IDC_TYPE, CB_SETCURSEL, (WPARAM)item, 0);
    }

    if (item == TYPE_EXECUTABLE || item == TYPE_DOCUMENT) {
        ApplyRule(dialog, *RuleForType(item));
        if (item == TYPE_EXECUTABLE) {
            if (IsEmpty(dialog, IDC_DIRECTORY) && parts.present) {
                copy[parts.folderLength] = '\0';
                SetDlgItemTextA(dialog, IDC_DIRECTORY, copy);
            }
            if (screenSaver && IsEmpty(dialog, IDC_ARGUMENTS))
                SetDlgItemTextA(dialog, IDC_ARGUMENTS, "/S");
        }
    }
    SetFocus(GetDlgItem(dialog, IDC_ADD_PROFILE));
}

void ShowProfile(const ProfileList& list, HWND dialog, const char* text)
{
    const ProfileBase* found = list.first;
    while (found && CompareBytes(found->name(), text) != 0)
        found = found->next;
    if (!found)
        return;
    SetDlgItemTextA(dialog, IDC_NAME, found->name());
    SetDlgItemTextA(dialog, IDC_COMMAND, found->command());
    SetDlgItemTextA(dialog, IDC_OBJECT, found->object());
    SetDlgItemTextA(dialog, IDC_DIRECTORY, found->directory());
    SetDlgItemTextA(dialog, IDC_ARGUMENTS, found->arguments());
    SelectByPrefix(dialog, IDC_TYPE, found->type());
    SelectByPrefix(dialog, IDC_WINDOW, found->window());
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_TYPE, CBN_SELENDOK), 0);
}

void ShowSelectedProfile(HWND dialog, const ProfileList& list)
{
    HWND listBox = GetDlgItem(dialog, IDC_PROFILE_LIST);
    LRESULT index = SendMessageA(listBox, LB_GETCURSEL, 0, 0);
    LRESULT length = index == LB_ERR ? LB_ERR : SendMessageA(listBox, LB_GETTEXTLEN, (WPARAM)index, 0);
    // A text longer than a field cannot be a profile's name.
    if (length != LB_ERR && length < FIELD_SIZE) {
        char text[FIELD_SIZE] = "";
        SendMessageA(listBox, LB_GETTEXT, (WPARAM)index, (LPARAM)text);
        ShowProfile(list, dialog, text);
    }
    SetControlEnabled(dialog, IDC_DELETE_PROFILE, true);
}

void CleanForm(HWND dialog)
{
    EnableWindow(GetDlgItem(dialog, IDC_DELETE_PROFILE), FALSE);
    EnableWindow(GetDlgItem(dialog, IDC_COMMAND), FALSE);
    EnableWindow(GetDlgItem(dialog, IDC_DIRECTORY), FALSE);
    EnableWindow(GetDlgItem(dialog, IDC_DIRECTORY_BROWSE), FALSE);
    EnableWindow(GetDlgItem(dialog, IDC_ARGUMENTS), FALSE);
    SetFocus(GetDlgItem(dialog, IDC_OBJECT_BROWSE));
    SendDlgItemMessageA(dialog, IDC_TYPE, CB_SETCURSEL, 0, 0);
    SendDlgItemMessageA(dialog, IDC_WINDOW, CB_SETCURSEL, 0, 0);
    for (int id : EDIT_FIELDS)
        SetDlgItemTextA(dialog, id, "");
}

void RequestCleanForm(HWND dialog)
{
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_CLEAN_FORM, 0), 0);
}

void FillFormFromDrop(HWND dialog, HDROP drop)
{
    // A path that does not fit would be cut into some other path: such a drop is ignored.
    char path[FIELD_SIZE] = "";
    UINT length = DragQueryFileA(drop, 0, nullptr, 0);
    if (length > 0 && length < sizeof path && DragQueryFileA(drop, 0, path, sizeof path) == length) {
        RequestCleanForm(dialog);
        FillFormFromPath(dialog, path);
    }
    DragFinish(drop);
}

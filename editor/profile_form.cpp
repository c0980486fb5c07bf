// The form's behaviour: which fields a type uses, and what a chosen or dropped file puts into it.
#include "editor/profile_form.h"

#include <string.h>

#include "editor/form_rules.h"
#include "res/resource.h"

namespace {

// The form's control of each field. Type and Window are combo boxes whose items are the rows of
// the vocabulary tables; the others are edit boxes.
struct FieldControl {
    ProfileField field;
    int id;
    bool choice;
};

constexpr FieldControl FORM[FIELD_COUNT] = {
    { FIELD_NAME, IDC_NAME, false },           { FIELD_COMMAND, IDC_COMMAND, false },
    { FIELD_OBJECT, IDC_OBJECT, false },       { FIELD_DIRECTORY, IDC_DIRECTORY, false },
    { FIELD_ARGUMENTS, IDC_ARGUMENTS, false }, { FIELD_TYPE, IDC_TYPE, true },
    { FIELD_WINDOW, IDC_WINDOW, true },
};

constexpr bool InFieldOrder()
{
    for (int i = 0; i < FIELD_COUNT; ++i)
        if (FORM[i].field != i)
            return false;
    return true;
}
static_assert(InFieldOrder(), "FORM is indexed by field number");

// The controls that only some types use; a clean form has them off.
const int TYPE_DEPENDENT[] = { IDC_COMMAND, IDC_DIRECTORY, IDC_DIRECTORY_BROWSE, IDC_ARGUMENTS };

template <typename Row, size_t N>
void AddChoices(HWND dialog, int id, const Row (&rows)[N])
{
    for (const Row& row : rows)
        SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, (LPARAM)row.text);
    SendDlgItemMessageA(dialog, id, CB_SETCURSEL, 0, 0);
}

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
void ApplyRule(HWND dialog, const FormRule& rule)
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
    const FormRule* rule = RuleForType(TypeSelection(dialog));
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
    const FormRule* rule = RuleForType(item);
    LaunchWay way = rule ? PROFILE_TYPES[item].way : LAUNCH_AUTO;
    bool screenSaver = false;
    if (rule && way == LAUNCH_AUTO) {
        DetectedType detected = DetectType(copy);
        way = detected.way;
        screenSaver = detected.screenSaver;
        item = ProfileTypeOf(way);
        rule = RuleForType(item);
        SendDlgItemMessageA(dialog, IDC_TYPE, CB_SETCURSEL, (WPARAM)item, 0);
    }

    if (rule && way != LAUNCH_AUTO) {
        ApplyRule(dialog, *rule);
        if (way == LAUNCH_EXECUTABLE) {
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
    for (const FieldControl& control : FORM) {
        if (control.choice)
            SelectByPrefix(dialog, control.id, found->field(control.field));
        else
            SetDlgItemTextA(dialog, control.id, found->field(control.field));
    }
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

void FillChoices(HWND dialog)
{
    AddChoices(dialog, IDC_TYPE, PROFILE_TYPES);
    AddChoices(dialog, IDC_WINDOW, WINDOW_CHOICES);
}

void ReadForm(HWND dialog, char texts[FIELD_COUNT][FIELD_SIZE])
{
    for (const FieldControl& control : FORM)
        GetDlgItemTextA(dialog, control.id, texts[control.field], FIELD_SIZE);
}

void CleanForm(HWND dialog)
{
    EnableWindow(GetDlgItem(dialog, IDC_DELETE_PROFILE), FALSE);
    for (int id : TYPE_DEPENDENT)
        EnableWindow(GetDlgItem(dialog, id), FALSE);
    SetFocus(GetDlgItem(dialog, IDC_OBJECT_BROWSE));
    for (const FieldControl& control : FORM) {
        if (control.choice)
            SendDlgItemMessageA(dialog, control.id, CB_SETCURSEL, 0, 0);
        else
            SetDlgItemTextA(dialog, control.id, "");
    }
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

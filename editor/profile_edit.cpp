// Every change rewrites the whole package in name order and reads it back, then cleans the form.
#include "editor/profile_edit.h"

#include "base/bounded_format.h"
#include "base/message_text.h"
#include "editor/profile_form.h"
#include "res/resource.h"
#include "store/package_file.h"

int(WINAPI* SaveFailedBoxCall)(HWND, LPCSTR, LPCSTR, UINT) = MessageBoxA;

namespace {

// Writes the list as it stands; a write that did not take is told once, with the package and
// the cause. Owned by the editor, the box keeps the user in it until it is read.
bool Save(HWND dialog, PackageFile& package)
{
    // A package read only in part is refused before any write, for the cause of that read.
    const char* sentence = package.whole ? "could not be saved."
                                         : "could not be saved: only part of it could be read.";
    if (package.rewritePackage(dialog))
        return true;
    char title[QUOTE_LIMIT + 1], cause[256], text[600];
    ShortenValue(package.title ? package.title : "", QUOTE_LIMIT, title, sizeof title);
    DescribeError(package.saveError, cause, sizeof cause);
    FormatBounded(text, sizeof text, "The package \"%s\" %s\n\n%s", title, sentence, cause);
    SaveFailedBoxCall(dialog, text, "Marlowin", MB_OK | MB_ICONERROR);
    return false;
}

// Removes the profile of exactly this name and writes the package without it. False when
// the package still holds it because the write failed.
bool RemoveAndRewrite(HWND dialog, PackageFile& package, const char* name)
{
    if (!package.profiles.removeByName(name))
        return true;
    return Save(dialog, package);
}

}  // namespace

void AddProfile(HWND dialog, PackageFile& package)
{
    char texts[FIELD_COUNT][FIELD_SIZE] = {};
    ReadForm(dialog, texts);
    if (texts[FIELD_NAME][0] == '\0')
        return;

    const char* fields[FIELD_COUNT];
    for (int i = 0; i < FIELD_COUNT; ++i)
        fields[i] = texts[i];
    // Linked into the list only until the read-back below builds a fresh one.
    Profile added(fields, 0);

    // A replacement is one change, written once: the package holds the old profile or the new one.
    package.profiles.removeByName(added.name());
    package.profiles.insertSorted(&added);
    // After a failed write the texts stay in the form for another try.
    if (Save(dialog, package))
        RequestCleanForm(dialog);
}

void DeleteProfile(HWND dialog, PackageFile& package)
{
    char name[FIELD_SIZE];
    GetDlgItemTextA(dialog, IDC_NAME, name, sizeof name);
    if (name[0] == '\0')
        return;
    RemoveAndRewrite(dialog, package, name);
    RequestCleanForm(dialog);
}

INT_PTR DeleteKeyInList(HWND dialog, PackageFile& package, WPARAM wParam, LPARAM lParam)
{
    HWND listBox = GetDlgItem(dialog, IDC_PROFILE_LIST);
    if ((HWND)lParam != listBox || LOWORD(wParam) != VK_DELETE)
        return -1;
    // The message carries only the low 16 bits of the caret index; the list box knows it whole.
    WPARAM caret = HIWORD(wParam);
    LRESULT whole = SendMessageA(listBox, LB_GETCARETINDEX, 0, 0);
    if (whole != LB_ERR && LOWORD(whole) == caret)
        caret = (WPARAM)whole;
    LRESULT length = SendMessageA(listBox, LB_GETTEXTLEN, caret, 0);
    if (length == LB_ERR || length == 0)
        return 0;
    // A text longer than a field names no profile.
    if (length < FIELD_SIZE) {
        char name[FIELD_SIZE] = "";
        SendMessageA(listBox, LB_GETTEXT, caret, (LPARAM)name);
        RemoveAndRewrite(dialog, package, name);
    }
    RequestCleanForm(dialog);
    SetFocus(listBox);
    return (INT_PTR)caret;
}

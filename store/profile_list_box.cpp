// The window side of profiles: the editor's list box and field messages.
#include <windows.h>

#include "res/resource.h"
#include "store/profile.h"

intptr_t ProfileBase::addToListBox(HWND window, int, int)
{
    return SendMessageA(GetDlgItem(window, IDC_PROFILE_LIST), LB_ADDSTRING, 0, (LPARAM)name());
}

intptr_t ProfileBase::postFields(HWND window, int, int)
{
    BOOL posted = FALSE;
    for (int i = 0; i < FIELD_COUNT; ++i)
        posted = PostMessageA(window, WM_PROFILE_FIELD, i, (LPARAM)fields[i]);
    return posted;
}

void ProfileList::fillListBox(HWND dialog, int reserved) const
{
    HWND listBox = GetDlgItem(dialog, IDC_PROFILE_LIST);
    // One repaint for the whole refill instead of one per entry.
    SendMessageA(listBox, WM_SETREDRAW, FALSE, 0);
    SendMessageA(listBox, LB_RESETCONTENT, 0, 0);
    uint32_t entries = count();
    SendMessageA(listBox, LB_INITSTORAGE, entries, (LPARAM)entries * 32);
    int index = 0;
    for (ProfileBase* node = first; node; node = node->next)
        node->addToListBox(dialog, index++, reserved);
    SendMessageA(listBox, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(listBox, nullptr, TRUE);
}

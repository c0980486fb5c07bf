#include "store/profile_window.h"

#include "res/resource.h"
#include "store/profile.h"

namespace {

// Wine answers every GetDlgItem with a round trip to its server, which made refilling a list of
// thousands of profiles take a tenth of a second. The list box found last is kept and checked
// before each use, so editors on other threads can only cost a fresh lookup, never a wrong window.
PVOID KnownListBox = nullptr;

}  // namespace

HWND ProfileListBox(HWND dialog)
{
    HWND known = (HWND)InterlockedCompareExchangePointer(&KnownListBox, nullptr, nullptr);
    if (GetDlgCtrlID(known) == IDC_PROFILE_LIST && GetParent(known) == dialog)
        return known;
    HWND found = GetDlgItem(dialog, IDC_PROFILE_LIST);
    InterlockedExchangePointer(&KnownListBox, found);
    return found;
}

intptr_t ProfileBase::addToListBox(HWND window, int, int)
{
    return SendMessageA(ProfileListBox(window), LB_ADDSTRING, 0, (LPARAM)name());
}

intptr_t ProfileBase::postFields(HWND window, int, int)
{
    BOOL posted = FALSE;
    for (int i = 0; i < FIELD_COUNT; ++i)
        posted = PostMessageA(window, WM_PROFILE_FIELD, i, (LPARAM)fields[i]);
    return posted;
}

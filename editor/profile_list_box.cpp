// The editor's view of a package: its list box, the field messages, and every read or
// rewrite followed by a fresh listing.
#include <windows.h>

#include "res/resource.h"
#include "store/package_file.h"

namespace {

// Wine answers every GetDlgItem with a round trip to its server, which made refilling a list of
// thousands of profiles take a tenth of a second. The list box found last is kept and checked
// before each use, so editors on other threads can only cost a fresh lookup, never a wrong window.
PVOID KnownListBox = nullptr;

HWND ProfileListBox(HWND dialog)
{
    HWND known = (HWND)InterlockedCompareExchangePointer(&KnownListBox, nullptr, nullptr);
    if (GetDlgCtrlID(known) == IDC_PROFILE_LIST && GetParent(known) == dialog)
        return known;
    HWND found = GetDlgItem(dialog, IDC_PROFILE_LIST);
    InterlockedExchangePointer(&KnownListBox, found);
    return found;
}

}  // namespace

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

void ProfileList::fillListBox(HWND dialog, int reserved) const
{
    HWND listBox = ProfileListBox(dialog);
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

void PackageFile::reload(HWND dialog)
{
    readRecords();
    profiles.fillListBox(dialog, 0);
}

void PackageFile::showRecovered(HWND dialog)
{
    readRecovered();
    profiles.fillListBox(dialog, 0);
}

bool PackageFile::rewritePackage(HWND dialog)
{
    bool took = rewriteList();
    profiles.fillListBox(dialog, 0);
    return took;
}

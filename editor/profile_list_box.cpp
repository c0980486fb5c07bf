// The editor's view of a package: its list box, and every read or rewrite followed by a fresh
// listing.
#include <windows.h>

#include "store/package_file.h"
#include "store/profile_window.h"

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

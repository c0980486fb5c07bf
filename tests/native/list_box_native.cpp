// The window-side operations of a profile exist only in the Windows build; the pure rules
// never call them, so here they only satisfy the operation table.
#include <stdlib.h>

#include "store/profile.h"

intptr_t ProfileBase::addToListBox(HWND, int, int)
{
    abort();
}

intptr_t ProfileBase::postFields(HWND, int, int)
{
    abort();
}

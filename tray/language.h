// The one language decision of the tray: its menus and web pages follow it.
#ifndef MARLOWIN_LANGUAGE_H
#define MARLOWIN_LANGUAGE_H

// Russian menus and pages only for the system default language id 1049 itself; decided anew
// on every call.
bool UseRussianTexts();

#endif

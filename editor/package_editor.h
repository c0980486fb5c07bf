// The package editor: a file dialog, then an editor dialog on a thread of its own.
#ifndef MARLOWIN_PACKAGE_EDITOR_H
#define MARLOWIN_PACKAGE_EDITOR_H

#include <windows.h>

// "New package..." (create) and "Edit package...". True when an editor was started.
bool OpenPackageEditor(bool create);

#endif

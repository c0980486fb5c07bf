// The profile form of the package editor: type rules, filling, showing and cleaning.
#ifndef MARLOWIN_PROFILE_FORM_H
#define MARLOWIN_PROFILE_FORM_H

#include <windows.h>
#include <shellapi.h>

#include "store/profile.h"

// The Browse dialog's buffers; each call brings its own, so editors never share them.
struct BrowseBuffers {
    char file[256];
    char title[256];
};

void ApplyTypeRules(HWND dialog);
void FillFormFromPath(HWND dialog, const char* path);
void ShowProfile(const ProfileList& list, HWND dialog, const char* text);
// LBN_SELCHANGE: the selected entry's profile into the form; Delete Profile enabled.
void ShowSelectedProfile(HWND dialog, const ProfileList& list);
void CleanForm(HWND dialog);
// Clean Form through the dialog's own dispatch, as every edit and drop asks for it.
void RequestCleanForm(HWND dialog);
// Gives buffers.file with the chosen path, or null when cancelled.
const char* BrowseForObject(HWND dialog, BrowseBuffers& buffers);
void BrowseForFolder(HWND dialog, int controlId);
void FillFormFromDrop(HWND dialog, HDROP drop);

// Enables or disables a control only when its state has to change.
void SetControlEnabled(HWND dialog, int id, bool enabled);

#endif

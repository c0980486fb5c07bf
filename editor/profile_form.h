// The profile form of the package editor: type rules, filling, showing and cleaning.
#ifndef MARLOWIN_PROFILE_FORM_H
#define MARLOWIN_PROFILE_FORM_H

#include <windows.h>
#include <shellapi.h>

#include "store/profile.h"

// Lists the rows of the type and window tables in their combo boxes, the first selected.
void FillChoices(HWND dialog);
// The seven texts of the form, in field order, each cut to a field.
void ReadForm(HWND dialog, char texts[FIELD_COUNT][FIELD_SIZE]);
void ApplyTypeRules(HWND dialog);
void FillFormFromPath(HWND dialog, const char* path);
void ShowProfile(const ProfileList& list, HWND dialog, const char* text);
// LBN_SELCHANGE: the selected entry's profile into the form; Delete Profile enabled.
void ShowSelectedProfile(HWND dialog, const ProfileList& list);
void CleanForm(HWND dialog);
// Clean Form through the dialog's own dispatch, as every edit and drop asks for it.
void RequestCleanForm(HWND dialog);
void FillFormFromDrop(HWND dialog, HDROP drop);

// Enables or disables a control only when its state has to change.
void SetControlEnabled(HWND dialog, int id, bool enabled);

#endif

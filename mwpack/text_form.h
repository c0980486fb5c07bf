// The text form of a package: versioned JSON in UTF-8, converted from and to the system code
// page through a seam, so that these rules build and run without the window system.
#ifndef MARLOWIN_TEXT_FORM_H
#define MARLOWIN_TEXT_FORM_H

#include <stddef.h>
#include <string>
#include <vector>

#include "store/profile.h"

// Conversions between the system code page and UTF-8. Each gives false, and leaves the output
// unspecified, when the text has no exact form on the other side that converts back to it.
struct CodePage {
    bool (*toUtf8)(const char* text, size_t length, std::string& out);
    bool (*fromUtf8)(const char* text, size_t length, std::string& out);
};

enum { TEXT_FORM_VERSION = 1 };

// The field names of the text form, in record order; add and set take one option of each name.
extern const char* const FieldKeys[FIELD_COUNT];
// The field of this name; -1 for any other text.
int FieldOfKey(const std::string& key);

// Why a text cannot be a field of a record, such as "260 characters long; at most 259 fit";
// empty when it can.
std::string FieldTextFault(const std::string& text);

// The profile of these texts. False, with the field that cannot hold its text and why, when one
// cannot.
bool ProfileFromTexts(const std::string (&texts)[FIELD_COUNT], uint32_t ordinal, Profile& profile, int& field,
                      std::string& fault);

// The text form of the profiles in the given order. False, with a message naming the
// profile and field, when a text cannot be carried exactly.
bool ExportText(const std::vector<const ProfileBase*>& profiles, const CodePage& codePage, std::string& text,
                std::string& error);

// Profiles from a text form, in its order, numbered from 0. False, with a message in UTF-8 naming
// the place of the fault, for anything that is not a valid text form of this version: it is read
// as a stream and refused at its first fault, so neither its nesting nor what it holds beyond the
// form is ever built up in memory.
bool ImportText(const char* text, size_t length, const CodePage& codePage, std::vector<Profile>& profiles,
                std::string& error);

// Links profiles into the list in the order given, as import writes them: the order of the text,
// so that export and import give back the same file byte for byte.
void LinkInGivenOrder(std::vector<Profile>& profiles, ProfileList& list);

#endif

// Rules of the profile form and the editor's title that need no window system. What a path
// says (type, parts, title) lives below, in store/path_rules.h, shared with mwpack.
#ifndef MARLOWIN_FORM_RULES_H
#define MARLOWIN_FORM_RULES_H

#include "store/path_rules.h"
#include "store/profile_vocabulary.h"

// The rule of the Type combo box's item, which is the row of the type table; null when no
// item is selected.
const FormRule* RuleForType(int item);

#endif

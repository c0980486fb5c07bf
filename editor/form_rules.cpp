#include "editor/form_rules.h"

const FormRule* RuleForType(int item)
{
    if (item < 0 || item >= PROFILE_TYPE_COUNT)
        return nullptr;
    return &PROFILE_TYPES[item].form;
}

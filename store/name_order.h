#ifndef MARLOWIN_NAME_ORDER_H
#define MARLOWIN_NAME_ORDER_H

#include "store/profile.h"

// Links records into the list in exactly the order that inserting them one by one
// with insertSorted, in array order, would give, without its quadratic cost.
void LinkInNameOrder(Profile* records, uint32_t count, ProfileList& list);

#endif

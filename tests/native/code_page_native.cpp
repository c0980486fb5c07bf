// The system code page of the native rules is single-byte: no byte starts a two-byte character.
#include "mwpack/quoted_text.h"

bool IsSystemLeadByte(unsigned char)
{
    return false;
}

#include "store/upper_case.h"

#include <windows.h>

void UpperCaseInPlace(char* text)
{
    CharUpperA(text);
}

#include "tray/language.h"

#include <windows.h>

namespace {

const LANGID RUSSIAN_LANGUAGE = 1049;

}  // namespace

bool UseRussianTexts()
{
    return GetSystemDefaultLangID() == RUSSIAN_LANGUAGE;
}

#include "app/command_line.h"

#include <string.h>

#include "store/package_names.h"

EntryChoice ReadArgument(char* workingCopy)
{
    EntryChoice choice = { ENTRY_RESIDENT, workingCopy, false, false };
    char* text = workingCopy;
    if (text[0] == '"') {
        char* closing = strchr(text + 1, '"');
        if (!closing) {
            choice.action = ENTRY_QUOTE_ERROR;
            return choice;
        }
        *closing = '\0';
        text += 1;
    }
    choice.text = text;

    size_t length = strlen(text);
    if (length >= 8) {
        choice.action = HasPackageSuffix(text, length) ? ENTRY_LAUNCH : ENTRY_IGNORE;
        return choice;
    }
    for (const char* c = text; *c; ++c) {
        if (*c == 'A' || *c == 'a')
            choice.wait = true;
        else if (*c == 'U' || *c == 'u')
            choice.unload = true;
    }
    return choice;
}

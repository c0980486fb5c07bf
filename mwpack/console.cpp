#include "mwpack/console.h"

#include <stdio.h>

void StandardConsole::out(const std::string& text)
{
    fwrite(text.data(), 1, text.size(), stdout);
}

void StandardConsole::err(const std::string& text)
{
    fwrite(text.data(), 1, text.size(), stderr);
}

#include "tray/web_pages.h"

#include <windows.h>
#include <shellapi.h>

#include "tray/language.h"

const char* WebPageAddress(WebPage page)
{
    bool russian = UseRussianTexts();
    switch (page) {
    case WEB_HELP:
        return russian ? MARLOWIN_WEB_SITE "/marlowin/help[ru].html" : MARLOWIN_WEB_SITE "/marlowin/help.html";
    case WEB_DONATE:
        return russian ? MARLOWIN_WEB_SITE "/marlowin/donate[ru].html" : MARLOWIN_WEB_SITE "/marlowin/donate.html";
    case WEB_HOME:
        break;
    }
    return MARLOWIN_WEB_SITE;
}

void OpenWebPage(const char* address)
{
    ShellExecuteA(nullptr, nullptr, address, nullptr, nullptr, SW_SHOWNORMAL);
}

// The product's web pages, opened with the browser that the shell associates with http.
#ifndef MARLOWIN_WEB_PAGES_H
#define MARLOWIN_WEB_PAGES_H

// The product's web site; the home page is the bare address. A reserved example domain.
#define MARLOWIN_WEB_SITE "http://marlowin.example.org"

enum WebPage { WEB_HOME, WEB_HELP, WEB_DONATE };

// The page's address in the current system language.
const char* WebPageAddress(WebPage page);
void OpenWebPage(const char* address);

#endif

// The file calls of package rewriting, replaceable so that tests can make them fail.
#ifndef MARLOWIN_PACKAGE_REWRITE_H
#define MARLOWIN_PACKAGE_REWRITE_H

#include <windows.h>

struct RewriteIo {
    BOOL (*write)(HANDLE file, const void* data, DWORD size, DWORD* written);
    BOOL (*setEnd)(HANDLE file);
    void* (*allocate)(size_t size);
};

// The calls rewritePackage uses; the defaults are WriteFile, SetEndOfFile and calloc.
extern RewriteIo PackageRewriteIo;
extern const RewriteIo DefaultRewriteIo;

#endif

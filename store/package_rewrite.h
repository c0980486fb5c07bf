// Crash-safe writing of a package, and the file calls it uses, replaceable so that tests can
// make them fail.
//
// Before any byte of a package changes, the bytes about to be overwritten go to a hidden side
// file beside it (the package's path followed by "~"), with a checked trailer that names the
// package it belongs to, flushed to disk. Then the package is written and flushed, and the side
// file deleted. Whoever finds a complete side file of that very package puts its bytes back before
// reading or writing it, so a package cut short by a kill, a power loss or a failed write holds
// its previous bytes again; a side file of another package is dropped unread.
#ifndef MARLOWIN_PACKAGE_REWRITE_H
#define MARLOWIN_PACKAGE_REWRITE_H

#include <windows.h>

struct RewriteIo {
    BOOL (*write)(HANDLE file, const void* data, DWORD size, DWORD* written);
    BOOL (*setEnd)(HANDLE file);
    void* (*allocate)(size_t size);
};

// The calls every write of a package or its side file uses; the defaults are WriteFile,
// SetEndOfFile and calloc.
extern RewriteIo PackageRewriteIo;
extern const RewriteIo DefaultRewriteIo;

enum SaveOutcome {
    SAVE_WRITTEN,     // the package holds the new image
    SAVE_KEPT,        // the package holds its previous bytes
    SAVE_PENDING,     // putting the previous bytes back failed too: the side file keeps them for
                      // the next recovery, and until then the package reads torn
};

// Puts exactly this image into the package that `file` holds open for reading and writing at
// `path`, recovering it first if needed. Without a path nothing is written. Any outcome but
// SAVE_WRITTEN leaves the cause as the thread's last error.
SaveOutcome SavePackageImage(HANDLE file, const char* path, const unsigned char* image, DWORD size);

// The package's bytes as they stand once its side file, if any, is put back; allocated by
// PackageRewriteIo.allocate, null when they cannot be read.
unsigned char* LoadPackageImage(HANDLE file, const char* path, DWORD* size);

// Puts back the bytes of a complete side file and deletes it; an incomplete one is only
// deleted (the package was not touched yet). True when the package is whole.
bool RecoverPackage(HANDLE file, const char* path);

// The same for a package nobody holds: opens it only when a side file lies beside it.
bool RecoverPackageAt(const char* path);

// The side file's path; false when it does not fit in MAX_PATH.
bool SideFilePath(const char* path, char* side, size_t size);

// For a package made anew or deleted: a side file beside it belongs to no package that exists.
void DiscardSideFile(const char* path);

#endif

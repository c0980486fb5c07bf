// One open package file: its records in file order and its profiles in name order.
// Defined in: package_file.cpp (life and reading), package_rewrite.cpp (writing); two groups of
// members live in the layers that own what they do, since the store neither starts programs nor
// fills dialogs: launch/launch_package.cpp (openAndLaunch) and editor/profile_list_box.cpp (the
// editor's view: reload, showRecovered, rewritePackage).
#ifndef MARLOWIN_PACKAGE_FILE_H
#define MARLOWIN_PACKAGE_FILE_H

#include <windows.h>

#include "store/package_rewrite.h"
#include "store/profile.h"

struct PackageFile {
    HANDLE handle;
    char* path;
    char* title;
    uint32_t slotCount;      // records found by the last read, plus one
    uint32_t recordSize;
    Profile* records;        // slotCount entries; the last is a default profile in no list
    uint32_t loadedCount;
    ProfileList profiles;
    DWORD saveError;         // why the last rewriteList did not take; NO_ERROR when it did
    bool whole;              // the last read took every record the file holds; only then may a
                             // write replace them (a package too big for memory is never
                             // written over with the part that was read)
    DWORD readError;         // why the last read was not whole; NO_ERROR when it was

    // Takes copies of the path and of the title's first titleLength characters (no title when
    // null); false when memory ran out.
    bool setNames(const char* newPath, const char* newTitle, size_t titleLength);

    void readRecords();
    // The same from bytes in memory instead of the file.
    void readImage(const unsigned char* image, DWORD size);
    // Recovers the package if needed, then reads it; one that cannot be mended yet is read as
    // its recovery will leave it.
    void readRecovered();
    void openAndLaunch(const char* packagePath);

    // Writes the first recordCount profiles of the list crash-safely; needs handle and path.
    SaveOutcome writeList(uint32_t recordCount);
    // The store's one step for a change: writeList of the whole list as it stands, then the
    // package read back as it now is. True when the package holds the list; otherwise
    // saveError names the cause.
    bool rewriteList();

    // The editor's view of the same steps: each reads, then lists the profiles in the dialog.
    void reload(HWND dialog);
    void showRecovered(HWND dialog);
    bool rewritePackage(HWND dialog);

    // The two ends of every read: drop the old records, then take the fresh ones, link them and
    // say whether they are all the file holds (cause: why not, when they are fewer).
    Profile* startRead(uint32_t expected);
    void finishRead(Profile* fresh, uint64_t inFile, DWORD cause);
};

PackageFile* CreatePackageFile();
void DestroyPackageFile(PackageFile* package);

// How a program without a window of its own opens a package: shared for reading only, as
// Marlowin.exe and its editor share it, so that a package an editor holds (or anyone writes) is
// refused and nothing half-written is ever read.
enum PackageOpening {
    OPEN_TO_READ,     // a cut-short rewrite is put right first, as a launch does
    OPEN_TO_WRITE,    // held as the editor holds it, put right on that handle
    OPEN_TO_CREATE,   // the same; a missing package is made empty, without a stale side file
    OPEN_TO_REPLACE,  // the same, for a list that replaces every record: none is read
};

// The package opened and read whole; null, with the cause as the thread's last error, when it
// cannot be opened or read whole (a package read only in part must be neither shown nor written).
// *created tells whether OPEN_TO_CREATE made the file; a file it made is removed again on failure.
PackageFile* OpenPackageFile(const char* path, PackageOpening how, bool* created = nullptr);

#endif

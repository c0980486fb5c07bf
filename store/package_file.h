// One open package file: its records in file order and its profiles in name order.
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

    void readRecords();
    // The same from bytes in memory instead of the file.
    void readImage(const unsigned char* image, DWORD size);
    void reload(HWND dialog);
    // Recovers the package if needed, then reloads; one that cannot be mended yet is shown as
    // its recovery will leave it.
    void showRecovered(HWND dialog);
    void openAndLaunch(const char* packagePath);
    // Writes the first recordCount profiles of the list crash-safely; needs handle and path.
    SaveOutcome writeList(uint32_t recordCount);
    // writeList, then the read-back; true when the package holds the list.
    bool rewritePackage(uint32_t recordCount, HWND dialog);

    // The two ends of every read: drop the old records, then take the fresh ones and link them.
    Profile* startRead(uint32_t expected);
    void finishRead(Profile* fresh);
};

PackageFile* CreatePackageFile();
void DestroyPackageFile(PackageFile* package);

#endif

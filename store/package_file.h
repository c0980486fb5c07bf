// One open package file: its records in file order and its profiles in name order.
#ifndef MARLOWIN_PACKAGE_FILE_H
#define MARLOWIN_PACKAGE_FILE_H

#include <windows.h>

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
    void reload(HWND dialog);
    void openAndLaunch(const char* packagePath);
    void rewritePackage(uint32_t recordCount, HWND dialog);
};

PackageFile* CreatePackageFile();
void DestroyPackageFile(PackageFile* package);

#endif

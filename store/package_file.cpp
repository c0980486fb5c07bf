// Reading a package file into a PackageFile, and launching it.
#include "store/package_file.h"

#include <new>
#include <stdlib.h>

#include "launch/launch_profiles.h"
#include "store/name_order.h"

namespace {

// Records decoded per read call: bounded scratch however large the file.
const uint32_t RECORDS_PER_CHUNK = 64;

// More records than this cannot be held by a 32-bit process anyway.
const uint32_t MAX_RECORDS = 0x7FFFFFFFu / sizeof(Profile) - 1;

// Counts the whole records of the file; 0 when the size is unknown or too large.
uint32_t CountRecords(HANDLE handle)
{
    DWORD high = 0;
    DWORD low = GetFileSize(handle, &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR)
        return 0;
    if (high != 0 || low / RECORD_SIZE > MAX_RECORDS)
        return 0;
    return low / RECORD_SIZE;
}

}  // namespace

PackageFile* CreatePackageFile()
{
    PackageFile* package = new (std::nothrow) PackageFile;
    if (!package)
        return nullptr;
    package->handle = INVALID_HANDLE_VALUE;
    package->path = nullptr;
    package->title = nullptr;
    package->slotCount = 0;
    package->recordSize = 0;
    package->records = nullptr;
    package->loadedCount = 0;
    package->profiles.first = nullptr;
    return package;
}

void DestroyPackageFile(PackageFile* package)
{
    if (!package)
        return;
    if (package->handle != INVALID_HANDLE_VALUE)
        CloseHandle(package->handle);
    free(package->path);
    free(package->title);
    delete[] package->records;
    delete package;
}

void PackageFile::readRecords()
{
    recordSize = RECORD_SIZE;
    uint32_t expected = CountRecords(handle);

    delete[] records;
    records = nullptr;
    profiles.first = nullptr;
    loadedCount = 0;
    slotCount = 1;

    Profile* fresh = new (std::nothrow) Profile[expected + 1];
    unsigned char* chunk = (unsigned char*)malloc(RECORDS_PER_CHUNK * RECORD_SIZE);
    if (!fresh || !chunk) {
        // Nothing is read, but the context stays usable: one default slot, an empty list.
        free(chunk);
        records = fresh ? fresh : new (std::nothrow) Profile[1];
        return;
    }

    SetFilePointer(handle, 0, nullptr, FILE_BEGIN);
    while (loadedCount < expected) {
        uint32_t wanted = expected - loadedCount;
        if (wanted > RECORDS_PER_CHUNK)
            wanted = RECORDS_PER_CHUNK;
        DWORD got = 0;
        if (!ReadFile(handle, chunk, wanted * RECORD_SIZE, &got, nullptr))
            break;
        uint32_t whole = DecodeRecords(chunk, got, fresh + loadedCount, wanted, loadedCount);
        loadedCount += whole;
        if (whole < wanted)  // the file shrank under us: keep what was really read
            break;
    }
    free(chunk);

    records = fresh;
    slotCount = loadedCount + 1;
    LinkInNameOrder(records, loadedCount, profiles);
}

void PackageFile::reload(HWND dialog)
{
    readRecords();
    profiles.fillListBox(dialog, 0);
}

void PackageFile::openAndLaunch(const char* packagePath)
{
    handle = CreateFileA(packagePath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return;
    readRecords();
    LaunchProfiles(profiles.first, nullptr);
}

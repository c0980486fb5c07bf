// A PackageFile's life, and reading a package file into it.
#include "store/package_file.h"

#include <new>
#include <stdlib.h>
#include <string.h>

#include "store/name_order.h"

namespace {

// Records decoded per read call: bounded scratch however large the file.
const uint32_t RECORDS_PER_CHUNK = 64;

// More records than this cannot be held by a 32-bit process anyway.
const uint32_t MAX_RECORDS = 0x7FFFFFFFu / sizeof(Profile) - 1;

// Stands for a file whose size cannot be told: no read takes all it holds.
const uint64_t UNKNOWN_RECORDS = ~(uint64_t)0;

// The whole records the file holds by its size; UNKNOWN_RECORDS, with the cause, when the size is
// unknown.
uint64_t RecordsInFile(HANDLE handle, DWORD* cause)
{
    DWORD high = 0;
    SetLastError(NO_ERROR);
    DWORD low = GetFileSize(handle, &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
        *cause = GetLastError();
        return UNKNOWN_RECORDS;
    }
    return (((uint64_t)high << 32) | low) / RECORD_SIZE;
}

// Every text of a PackageFile is allocated here and freed by DestroyPackageFile.
char* CopyText(const char* text, size_t length)
{
    char* copy = new (std::nothrow) char[length + 1];
    if (copy) {
        memcpy(copy, text, length);
        copy[length] = '\0';
    }
    return copy;
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
    package->saveError = NO_ERROR;
    package->whole = false;
    package->readError = ERROR_INVALID_FUNCTION;   // nothing read yet, so nothing may be written
    return package;
}

void DestroyPackageFile(PackageFile* package)
{
    if (!package)
        return;
    if (package->handle != INVALID_HANDLE_VALUE)
        CloseHandle(package->handle);
    delete[] package->path;
    delete[] package->title;
    delete[] package->records;
    delete package;
}

PackageFile* OpenPackageFile(const char* path, PackageOpening how, bool* created)
{
    if (created)
        *created = false;
    bool write = how != OPEN_TO_READ;
    if (!write)
        RecoverPackageAt(path);   // mended on disk where it can be
    HANDLE handle = CreateFileA(path, write ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ, nullptr,
                                how >= OPEN_TO_CREATE ? OPEN_ALWAYS : OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return nullptr;
    bool made = how >= OPEN_TO_CREATE && GetLastError() != ERROR_ALREADY_EXISTS;
    if (made)
        DiscardSideFile(path);
    PackageFile* package = CreatePackageFile();
    DWORD cause = ERROR_NOT_ENOUGH_MEMORY;
    if (package) {
        package->handle = handle;
        if (package->setNames(path, nullptr, 0)) {
            // A cut-short rewrite that cannot be put right yet (a full disk, a read-only handle)
            // is read as its recovery will leave it, never torn.
            if (how == OPEN_TO_REPLACE)
                package->readImage(nullptr, 0);   // the save puts a cut-short rewrite right first
            else
                package->readRecovered();
            // What the store reads only in part it never writes over.
            if (package->whole) {
                if (created)
                    *created = made;
                return package;
            }
            cause = package->readError;
        }
        DestroyPackageFile(package);
    } else {
        CloseHandle(handle);
    }
    if (made)
        DeleteFileA(path);
    SetLastError(cause);
    return nullptr;
}

bool PackageFile::setNames(const char* newPath, const char* newTitle, size_t titleLength)
{
    delete[] path;
    delete[] title;
    path = CopyText(newPath, strlen(newPath));
    title = newTitle ? CopyText(newTitle, titleLength) : nullptr;
    return path && (title || !newTitle);
}

void PackageFile::readRecords()
{
    // Records left unread for want of memory, or more than memory could ever hold.
    DWORD cause = ERROR_NOT_ENOUGH_MEMORY;
    uint64_t inFile = RecordsInFile(handle, &cause);
    uint32_t expected = inFile > MAX_RECORDS ? 0 : (uint32_t)inFile;
    Profile* fresh = startRead(expected);
    unsigned char* chunk = fresh ? (unsigned char*)malloc(RECORDS_PER_CHUNK * RECORD_SIZE) : nullptr;
    if (chunk) {
        SetFilePointer(handle, 0, nullptr, FILE_BEGIN);
        while (loadedCount < expected) {
            uint32_t wanted = expected - loadedCount;
            if (wanted > RECORDS_PER_CHUNK)
                wanted = RECORDS_PER_CHUNK;
            DWORD got = 0;
            if (!ReadFile(handle, chunk, wanted * RECORD_SIZE, &got, nullptr)) {
                cause = GetLastError();
                break;
            }
            uint32_t decoded = DecodeRecords(chunk, got, fresh + loadedCount, wanted, loadedCount);
            loadedCount += decoded;
            if (decoded < wanted) {  // the file shrank under us: keep what was really read
                cause = ERROR_HANDLE_EOF;
                break;
            }
        }
        free(chunk);
    }
    finishRead(fresh, inFile, cause);
}

void PackageFile::readImage(const unsigned char* image, DWORD size)
{
    uint32_t expected = size / RECORD_SIZE > MAX_RECORDS ? 0 : size / RECORD_SIZE;
    Profile* fresh = startRead(expected);
    for (; fresh && loadedCount < expected; ++loadedCount)
        DecodeRecord(image + (size_t)loadedCount * RECORD_SIZE, fresh[loadedCount], loadedCount);
    finishRead(fresh, size / RECORD_SIZE, ERROR_NOT_ENOUGH_MEMORY);
}

Profile* PackageFile::startRead(uint32_t expected)
{
    recordSize = RECORD_SIZE;
    delete[] records;
    records = nullptr;
    profiles.first = nullptr;
    loadedCount = 0;
    slotCount = 1;
    return new (std::nothrow) Profile[expected + 1];
}

void PackageFile::finishRead(Profile* fresh, uint64_t inFile, DWORD cause)
{
    whole = loadedCount == inFile;
    readError = whole ? NO_ERROR : cause;
    // Without memory nothing is read, but the context stays usable: one default slot, an empty list.
    if (!fresh) {
        records = new (std::nothrow) Profile[1];
        return;
    }
    records = fresh;
    slotCount = loadedCount + 1;
    LinkInNameOrder(records, loadedCount, profiles);
}

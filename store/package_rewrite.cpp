// Rewriting a package from its list. Whatever fails, and wherever the program is stopped, the
// package afterwards holds its previous bytes or the new list, whole (after a recovery, where
// one is needed).
#include "store/package_file.h"
#include "store/package_rewrite.h"

#include <stdlib.h>
#include <string.h>

#include "base/bounded_format.h"

namespace {

BOOL RealWrite(HANDLE file, const void* data, DWORD size, DWORD* written)
{
    return WriteFile(file, data, size, written, nullptr);
}

BOOL RealSetEnd(HANDLE file)
{
    return SetEndOfFile(file);
}

void* RealAllocate(size_t size)
{
    return calloc(size ? size : 1, 1);
}

// A side file ends in this trailer: where its bytes go, the package's size they restore, a
// checksum over both words and the bytes, and a mark. A side file cut short lacks it.
const DWORD TRAILER_SIZE = 16;
const char TRAILER_MARK[4] = { 'M', 'W', 'u', 'n' };

// Larger images do not fit in the address space of this process anyway.
const DWORD MAX_IMAGE = 0x7FFFFFFFu;

struct Undo {
    DWORD offset;
    DWORD size;           // the package's size once the bytes are back
    unsigned char* bytes; // size - offset of them
};

uint32_t Checksum(const unsigned char* data, DWORD size, uint32_t hash)
{
    for (DWORD i = 0; i < size; ++i)
        hash = (hash ^ data[i]) * 16777619u;
    return hash;
}

void PutWord(unsigned char* at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = (unsigned char)(value >> (8 * i));
}

uint32_t GetWord(const unsigned char* at)
{
    return at[0] | (at[1] << 8) | (at[2] << 16) | ((uint32_t)at[3] << 24);
}

bool MoveTo(HANDLE file, DWORD offset)
{
    SetLastError(NO_ERROR);
    return SetFilePointer(file, (LONG)offset, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER ||
           GetLastError() == NO_ERROR;
}

// Size of the file when it is known and fits.
bool SizeOf(HANDLE file, DWORD* size)
{
    DWORD high = 0;
    SetLastError(NO_ERROR);
    DWORD low = GetFileSize(file, &high);
    if ((low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) || high != 0 || low > MAX_IMAGE)
        return false;
    *size = low;
    return true;
}

bool ReadAll(HANDLE file, unsigned char* data, DWORD size)
{
    if (!MoveTo(file, 0))
        return false;
    while (size > 0) {
        DWORD got = 0;
        if (!ReadFile(file, data, size, &got, nullptr) || got == 0)
            return false;
        data += got;
        size -= got;
    }
    return true;
}

bool WriteAll(HANDLE file, const unsigned char* data, DWORD size)
{
    while (size > 0) {
        DWORD written = 0;
        if (!PackageRewriteIo.write(file, data, size, &written) || written == 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

// Writes the bytes at the offset, ends the file after them and flushes it to disk.
bool PutBytes(HANDLE file, DWORD offset, const unsigned char* data, DWORD end)
{
    if (!MoveTo(file, offset) || !WriteAll(file, data, end - offset))
        return false;
    if (!MoveTo(file, end) || !PackageRewriteIo.setEnd(file) || !FlushFileBuffers(file))
        return false;
    DWORD now = 0;
    return SizeOf(file, &now) && now == end;
}

bool WriteSideFile(const char* side, const Undo& undo)
{
    HANDLE file = CreateFileA(side, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    unsigned char trailer[TRAILER_SIZE];
    PutWord(trailer, undo.offset);
    PutWord(trailer + 4, undo.size);
    DWORD length = undo.size - undo.offset;
    PutWord(trailer + 8, Checksum(undo.bytes, length, Checksum(trailer, 8, 2166136261u)));
    memcpy(trailer + 12, TRAILER_MARK, sizeof TRAILER_MARK);
    bool done = WriteAll(file, undo.bytes, length) && WriteAll(file, trailer, TRAILER_SIZE) &&
                FlushFileBuffers(file);
    DWORD cause = GetLastError();
    CloseHandle(file);
    if (!done) {
        DeleteFileA(side);
        SetLastError(cause);
    }
    return done;
}

// Deletes the side file; one that cannot be deleted is at least cut to nothing, which no reader
// takes for a complete one.
void DropSideFile(const char* side)
{
    if (DeleteFileA(side))
        return;
    HANDLE file = CreateFileA(side, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
}

enum SideState { SIDE_NONE, SIDE_WHOLE, SIDE_UNREADABLE };

// Reads the side file. A side file cut short counts as none: the package was never touched.
SideState ReadSideFile(const char* side, Undo* undo)
{
    undo->bytes = nullptr;
    if (GetFileAttributesA(side) == INVALID_FILE_ATTRIBUTES)
        return SIDE_NONE;
    HANDLE file = CreateFileA(side, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return SIDE_UNREADABLE;
    DWORD size = 0;
    bool sized = SizeOf(file, &size);
    unsigned char* content = sized && size >= TRAILER_SIZE ? (unsigned char*)PackageRewriteIo.allocate(size) : nullptr;
    bool read = content && ReadAll(file, content, size);
    CloseHandle(file);
    if (sized && size < TRAILER_SIZE)
        return SIDE_NONE;
    if (!read) {
        free(content);
        return SIDE_UNREADABLE;
    }
    const unsigned char* trailer = content + size - TRAILER_SIZE;
    undo->offset = GetWord(trailer);
    undo->size = GetWord(trailer + 4);
    DWORD length = size - TRAILER_SIZE;
    bool whole = memcmp(trailer + 12, TRAILER_MARK, sizeof TRAILER_MARK) == 0 && undo->offset <= undo->size &&
                 undo->size - undo->offset == length &&
                 GetWord(trailer + 8) == Checksum(content, length, Checksum(trailer, 8, 2166136261u));
    if (!whole) {
        free(content);
        return SIDE_NONE;
    }
    undo->bytes = content;
    return SIDE_WHOLE;
}

DWORD FirstDifference(const unsigned char* a, DWORD aSize, const unsigned char* b, DWORD bSize)
{
    DWORD common = aSize < bSize ? aSize : bSize;
    DWORD at = 0;
    while (at < common && a[at] == b[at])
        ++at;
    return at;
}

// A save that did not write, with its cause as the thread's last error; a call that failed
// without giving one counts as a failed write.
SaveOutcome Failed(SaveOutcome outcome, DWORD cause)
{
    SetLastError(cause != NO_ERROR ? cause : ERROR_WRITE_FAULT);
    return outcome;
}

}  // namespace

const RewriteIo DefaultRewriteIo = { RealWrite, RealSetEnd, RealAllocate };
RewriteIo PackageRewriteIo = DefaultRewriteIo;

bool SideFilePath(const char* path, char* side, size_t size)
{
    return path && FormatBounded(side, size, "%s~", path) && strlen(side) < MAX_PATH;
}

bool RecoverPackage(HANDLE file, const char* path)
{
    char side[MAX_PATH + 2];
    if (!SideFilePath(path, side, sizeof side))
        return true;
    Undo undo;
    switch (ReadSideFile(side, &undo)) {
    case SIDE_UNREADABLE:
        return false;
    case SIDE_WHOLE: {
        bool back = PutBytes(file, undo.offset, undo.bytes, undo.size);
        free(undo.bytes);
        if (!back)
            return false;
        break;
    }
    case SIDE_NONE:
        if (GetFileAttributesA(side) == INVALID_FILE_ATTRIBUTES)
            return true;
        break;
    }
    DropSideFile(side);
    return true;
}

bool RecoverPackageAt(const char* path)
{
    char side[MAX_PATH + 2];
    if (!SideFilePath(path, side, sizeof side) || GetFileAttributesA(side) == INVALID_FILE_ATTRIBUTES)
        return true;
    HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool whole = RecoverPackage(file, path);
    CloseHandle(file);
    return whole;
}

unsigned char* LoadPackageImage(HANDLE file, const char* path, DWORD* size)
{
    DWORD held = 0;
    if (!SizeOf(file, &held))
        return nullptr;
    Undo undo = {};
    char side[MAX_PATH + 2];
    SideState state = SideFilePath(path, side, sizeof side) ? ReadSideFile(side, &undo) : SIDE_NONE;
    if (state == SIDE_UNREADABLE)
        return nullptr;
    bool pending = state == SIDE_WHOLE;
    *size = pending ? undo.size : held;
    unsigned char* image = (unsigned char*)PackageRewriteIo.allocate(held > *size ? held : *size);
    if (image && !ReadAll(file, image, held)) {
        free(image);
        image = nullptr;
    }
    if (image && pending)
        memcpy(image + undo.offset, undo.bytes, undo.size - undo.offset);
    free(undo.bytes);
    return image;
}

SaveOutcome SavePackageImage(HANDLE file, const char* path, const unsigned char* image, DWORD size)
{
    char side[MAX_PATH + 2];
    if (!SideFilePath(path, side, sizeof side))
        return Failed(SAVE_KEPT, ERROR_FILENAME_EXCED_RANGE);
    if (size > MAX_IMAGE)
        return Failed(SAVE_KEPT, ERROR_FILE_TOO_LARGE);
    if (!RecoverPackage(file, path))
        return Failed(SAVE_PENDING, GetLastError());
    DWORD oldSize = 0;
    unsigned char* previous = LoadPackageImage(file, path, &oldSize);
    if (!previous)
        return Failed(SAVE_KEPT, GetLastError());

    // Only the bytes from the first difference on are saved aside and written.
    DWORD from = FirstDifference(previous, oldSize, image, size);
    SaveOutcome outcome = SAVE_WRITTEN;
    DWORD cause = NO_ERROR;
    Undo undo = { from, oldSize, previous + from };
    if (from == oldSize && from == size) {
        // Nothing changes.
    } else if (!WriteSideFile(side, undo)) {
        outcome = SAVE_KEPT;
        cause = GetLastError();
    } else if (PutBytes(file, from, image + from, size)) {
        DropSideFile(side);
    } else {
        cause = GetLastError();
        outcome = PutBytes(file, from, previous + from, oldSize) ? SAVE_KEPT : SAVE_PENDING;
        if (outcome == SAVE_KEPT)
            DropSideFile(side);
    }
    free(previous);
    return outcome == SAVE_WRITTEN ? outcome : Failed(outcome, cause);
}

SaveOutcome PackageFile::writeList(uint32_t recordCount)
{
    // The list decides what can be written; a count beyond it would write nodes that do not exist.
    uint32_t nodes = profiles.count();
    uint32_t written = recordCount < nodes ? recordCount : nodes;
    // What was read is only part of the package: writing it would lose the rest.
    if (!whole)
        return Failed(SAVE_KEPT, readError);
    if (nodes > MAX_IMAGE / RECORD_SIZE)
        return Failed(SAVE_KEPT, ERROR_FILE_TOO_LARGE);
    unsigned char* image = (unsigned char*)PackageRewriteIo.allocate((size_t)nodes * RECORD_SIZE);
    if (!image)
        return Failed(SAVE_KEPT, ERROR_NOT_ENOUGH_MEMORY);
    profiles.serialize(image);
    SaveOutcome outcome = SavePackageImage(handle, path, image, written * RECORD_SIZE);
    free(image);
    return outcome;
}

bool PackageFile::rewriteList()
{
    SaveOutcome outcome = writeList(profiles.count());
    saveError = outcome == SAVE_WRITTEN ? NO_ERROR : GetLastError();
    if (outcome == SAVE_PENDING)
        readRecovered();
    else
        readRecords();
    return outcome == SAVE_WRITTEN;
}

void PackageFile::readRecovered()
{
    DWORD size = 0;
    unsigned char* image = nullptr;
    // A package that cannot be mended now is read as the next recovery will leave it.
    if (RecoverPackage(handle, path) || !(image = LoadPackageImage(handle, path, &size))) {
        readRecords();
        return;
    }
    readImage(image, size);
    free(image);
}

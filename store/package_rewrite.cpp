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

// A side file ends in a trailer: where its bytes go, the package's size they restore, which file
// they belong to, a checksum over the words and the bytes, and a mark. A side file cut short lacks
// it. The package is named by its volume and file index (kept by a rename, new for a file made
// again under the name) and by a checksum of its bytes before the offset, which a save never
// touches: a side file left beside a package that was deleted is never put into another one.
// Side files of the first form (mark "MWun") carry no owner and are taken as before.
const DWORD TRAILER_SIZE = 32;
const DWORD FIRST_TRAILER_SIZE = 16;
const char TRAILER_MARK[4] = { 'M', 'W', 'u', '2' };
const char FIRST_TRAILER_MARK[4] = { 'M', 'W', 'u', 'n' };
const uint32_t HASH_START = 2166136261u;

// Larger images do not fit in the address space of this process anyway.
const DWORD MAX_IMAGE = 0x7FFFFFFFu;

// The package a side file belongs to; all zero where the file system gives no index.
struct Owner {
    uint32_t volume;
    uint32_t indexHigh;
    uint32_t indexLow;
    uint32_t prefix;      // checksum of the package's bytes before the offset
};

struct Undo {
    DWORD offset;
    DWORD size;           // the package's size once the bytes are back
    unsigned char* bytes; // size - offset of them
    bool owned;           // the trailer names its package
    Owner owner;
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

// The trailer's checksum: its words, then the bytes they restore.
uint32_t TrailerChecksum(const unsigned char* trailer, bool owned, const unsigned char* bytes, DWORD length)
{
    uint32_t hash = Checksum(trailer, 8, HASH_START);
    if (owned)
        hash = Checksum(trailer + 12, 16, hash);
    return Checksum(bytes, length, hash);
}

// The package held open as `file`, whose first `offset` bytes are `prefix`.
Owner OwnerOf(HANDLE file, const unsigned char* prefix, DWORD offset)
{
    Owner owner = {};
    BY_HANDLE_FILE_INFORMATION information;
    if (GetFileInformationByHandle(file, &information)) {
        owner.volume = information.dwVolumeSerialNumber;
        owner.indexHigh = information.nFileIndexHigh;
        owner.indexLow = information.nFileIndexLow;
    }
    owner.prefix = Checksum(prefix, offset, HASH_START);
    return owner;
}

bool WriteSideFile(const char* side, const Undo& undo)
{
    HANDLE file = CreateFileA(side, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    unsigned char trailer[TRAILER_SIZE];
    PutWord(trailer, undo.offset);
    PutWord(trailer + 4, undo.size);
    PutWord(trailer + 12, undo.owner.volume);
    PutWord(trailer + 16, undo.owner.indexHigh);
    PutWord(trailer + 20, undo.owner.indexLow);
    PutWord(trailer + 24, undo.owner.prefix);
    DWORD length = undo.size - undo.offset;
    PutWord(trailer + 8, TrailerChecksum(trailer, true, undo.bytes, length));
    memcpy(trailer + 28, TRAILER_MARK, sizeof TRAILER_MARK);
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
    unsigned char* content =
        sized && size >= FIRST_TRAILER_SIZE ? (unsigned char*)PackageRewriteIo.allocate(size) : nullptr;
    bool read = content && ReadAll(file, content, size);
    CloseHandle(file);
    if (sized && size < FIRST_TRAILER_SIZE)
        return SIDE_NONE;
    if (!read) {
        free(content);
        return SIDE_UNREADABLE;
    }
    const unsigned char* mark = content + size - sizeof TRAILER_MARK;
    undo->owned = memcmp(mark, TRAILER_MARK, sizeof TRAILER_MARK) == 0 && size >= TRAILER_SIZE;
    bool first = memcmp(mark, FIRST_TRAILER_MARK, sizeof FIRST_TRAILER_MARK) == 0;
    DWORD trailerSize = undo->owned ? TRAILER_SIZE : FIRST_TRAILER_SIZE;
    const unsigned char* trailer = content + size - trailerSize;
    DWORD length = size - trailerSize;
    undo->offset = GetWord(trailer);
    undo->size = GetWord(trailer + 4);
    undo->owner.volume = undo->owned ? GetWord(trailer + 12) : 0;
    undo->owner.indexHigh = undo->owned ? GetWord(trailer + 16) : 0;
    undo->owner.indexLow = undo->owned ? GetWord(trailer + 20) : 0;
    undo->owner.prefix = undo->owned ? GetWord(trailer + 24) : 0;
    bool whole = (undo->owned || first) && undo->offset <= undo->size && undo->size - undo->offset == length &&
                 GetWord(trailer + 8) == TrailerChecksum(trailer, undo->owned, content, length);
    if (!whole) {
        free(content);
        return SIDE_NONE;
    }
    undo->bytes = content;
    return SIDE_WHOLE;
}

enum Ownership { OWNED, FOREIGN, UNTOLD };

// Whether the side file was left by a save of this very package; `held` is the package's first
// `heldSize` bytes when the caller has them. UNTOLD when the package cannot be read to tell.
Ownership OwnerCheck(HANDLE file, const Undo& undo, const unsigned char* held, DWORD heldSize)
{
    if (!undo.owned)
        return OWNED;
    DWORD size = 0;
    if (!SizeOf(file, &size))
        return UNTOLD;
    // A save writes from the offset on and never ends the package before it.
    if (size < undo.offset)
        return FOREIGN;
    unsigned char* prefix = nullptr;
    if (!held || heldSize < undo.offset) {
        prefix = (unsigned char*)PackageRewriteIo.allocate(undo.offset);
        if (!prefix || !ReadAll(file, prefix, undo.offset)) {
            free(prefix);
            return UNTOLD;
        }
        held = prefix;
    }
    Owner now = OwnerOf(file, held, undo.offset);
    free(prefix);
    // Where the file system gives no index, the bytes before the offset alone decide.
    bool indexed = (now.indexHigh | now.indexLow) != 0 && (undo.owner.indexHigh | undo.owner.indexLow) != 0;
    bool sameFile = !indexed || (now.volume == undo.owner.volume && now.indexHigh == undo.owner.indexHigh &&
                                 now.indexLow == undo.owner.indexLow);
    return sameFile && now.prefix == undo.owner.prefix ? OWNED : FOREIGN;
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

void DiscardSideFile(const char* path)
{
    char side[MAX_PATH + 2];
    if (SideFilePath(path, side, sizeof side) && GetFileAttributesA(side) != INVALID_FILE_ATTRIBUTES)
        DropSideFile(side);
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
        // A side file of another package (one deleted, then made again under this name) is dropped.
        Ownership owner = OwnerCheck(file, undo, nullptr, 0);
        bool back = owner == FOREIGN || (owner == OWNED && PutBytes(file, undo.offset, undo.bytes, undo.size));
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
    DWORD room = state == SIDE_WHOLE && undo.size > held ? undo.size : held;
    unsigned char* image = (unsigned char*)PackageRewriteIo.allocate(room);
    if (image && !ReadAll(file, image, held)) {
        free(image);
        image = nullptr;
    }
    Ownership owner = image && state == SIDE_WHOLE ? OwnerCheck(file, undo, image, held) : FOREIGN;
    bool pending = owner == OWNED;
    *size = pending ? undo.size : held;
    if (pending)
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
    Undo undo = { from, oldSize, previous + from, true, OwnerOf(file, previous, from) };
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

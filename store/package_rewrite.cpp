// Rewriting a package from its list. The file afterwards holds either the new list
// or, when anything fails, its previous bytes, whole.
#include "store/package_file.h"
#include "store/package_rewrite.h"

#include <stdlib.h>

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

bool MoveTo(HANDLE file, DWORD offset)
{
    SetLastError(NO_ERROR);
    return SetFilePointer(file, (LONG)offset, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER ||
           GetLastError() == NO_ERROR;
}

// Size of the file when it is known and fits in 32 bits.
bool SizeOf(HANDLE file, DWORD* size)
{
    DWORD high = 0;
    SetLastError(NO_ERROR);
    DWORD low = GetFileSize(file, &high);
    if ((low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) || high != 0)
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

// Puts exactly this image into the file: its bytes from offset 0, and nothing after them.
bool PutImage(HANDLE file, const unsigned char* data, DWORD size)
{
    if (!MoveTo(file, 0))
        return false;
    DWORD done = 0;
    while (done < size) {
        DWORD written = 0;
        if (!PackageRewriteIo.write(file, data + done, size - done, &written) || written == 0)
            return false;
        done += written;
    }
    if (!MoveTo(file, size) || !PackageRewriteIo.setEnd(file))
        return false;
    DWORD now = 0;
    return SizeOf(file, &now) && now == size;
}

}  // namespace

const RewriteIo DefaultRewriteIo = { RealWrite, RealSetEnd, RealAllocate };
RewriteIo PackageRewriteIo = DefaultRewriteIo;

void PackageFile::rewritePackage(uint32_t recordCount, HWND dialog)
{
    // The list decides what can be written; a count beyond it would write nodes that do not exist.
    uint32_t nodes = profiles.count();
    uint32_t written = recordCount < nodes ? recordCount : nodes;
    const uint32_t limit = 0x7FFFFFFFu / RECORD_SIZE;

    DWORD oldSize = 0;
    unsigned char* image = nullptr;
    unsigned char* previous = nullptr;
    if (nodes <= limit && SizeOf(handle, &oldSize)) {
        image = (unsigned char*)PackageRewriteIo.allocate((size_t)nodes * RECORD_SIZE);
        previous = image ? (unsigned char*)PackageRewriteIo.allocate(oldSize) : nullptr;
    }

    // Without both images in memory nothing is written: the file keeps what it holds.
    if (image && previous && ReadAll(handle, previous, oldSize)) {
        profiles.serialize(image);
        if (!PutImage(handle, image, written * RECORD_SIZE))
            PutImage(handle, previous, oldSize);
    }
    free(image);
    free(previous);

    reload(dialog);
}

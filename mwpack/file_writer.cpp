#include "mwpack/file_writer.h"

#include "mwpack/package_access.h"
#include "store/package_rewrite.h"

FileReplacement::FileReplacement(const std::string& target) : target_(target), handle_(INVALID_HANDLE_VALUE) {}

FileReplacement::~FileReplacement()
{
    if (handle_ != INVALID_HANDLE_VALUE)
        CloseHandle(handle_);
    if (!temporary_.empty())
        DeleteFileA(temporary_.c_str());
}

bool FileReplacement::create(std::string& error)
{
    size_t slash = target_.find_last_of('\\');
    std::string folder = slash == std::string::npos ? "." : target_.substr(0, slash + (slash == 2 ? 1 : 0));
    // The system picks a free name and makes the file, in the target's folder: the final move
    // then stays on one volume, where it is a rename.
    char temporary[MAX_PATH];
    if (!GetTempFileNameA(folder.c_str(), "mw", 0, temporary)) {
        error = target_ + " cannot be written: " + SystemMessage(GetLastError());
        return false;
    }
    temporary_ = temporary;
    handle_ = CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE) {
        error = target_ + " cannot be written: " + SystemMessage(GetLastError());
        return false;
    }
    return true;
}

const std::string& FileReplacement::temporaryPath()
{
    if (handle_ != INVALID_HANDLE_VALUE) {
        CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }
    return temporary_;
}

bool FileReplacement::write(const void* data, size_t size, std::string& error)
{
    const char* at = (const char*)data;
    while (size > 0) {
        DWORD chunk = size > 0x100000 ? 0x100000 : (DWORD)size;
        DWORD written = 0;
        // Through the store's write, so that a full disk can be made for every write in a test.
        if (!PackageRewriteIo.write(handle_, at, chunk, &written) || written == 0) {
            DWORD cause = GetLastError() != NO_ERROR ? GetLastError() : ERROR_WRITE_FAULT;
            error = target_ + " cannot be written: " + SystemMessage(cause);
            return false;
        }
        at += written;
        size -= written;
    }
    return true;
}

bool FileReplacement::commit(bool replace, std::string& error)
{
    if (handle_ == INVALID_HANDLE_VALUE)
        handle_ = CreateFileA(temporary_.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    bool flushed = handle_ != INVALID_HANDLE_VALUE && FlushFileBuffers(handle_);
    DWORD cause = GetLastError();
    if (handle_ != INVALID_HANDLE_VALUE)
        CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    if (!flushed) {
        error = target_ + " cannot be written: " + SystemMessage(cause);
        return false;
    }
    // Without the replace flag the move refuses an existing target; a target someone holds open
    // is refused either way.
    DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    if (!MoveFileExA(temporary_.c_str(), target_.c_str(), flags)) {
        error = DescribeFileError(target_, GetLastError());
        return false;
    }
    temporary_.clear();
    return true;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes, bool replace, std::string& error)
{
    FileReplacement file(path);
    return file.create(error) && file.write(bytes.data(), bytes.size(), error) && file.commit(replace, error);
}

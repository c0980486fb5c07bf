// mwpack's one way to write a file that is not a package (a text form, a shortcut) or to make a
// new package whole: the bytes go to a temporary file beside it, flushed to disk, which then
// takes the file's place in one move. On any failure the old file is untouched, no new one
// appears, and the temporary file is gone.
#ifndef MARLOWIN_FILE_WRITER_H
#define MARLOWIN_FILE_WRITER_H

#include <windows.h>

#include <string>

class FileReplacement {
public:
    // `target` is a full path, as the resolver gives it.
    explicit FileReplacement(const std::string& target);
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Makes the temporary file, open for writing.
    bool create(std::string& error);
    // Its name, for a writer that writes it itself (the shell's link object); the handle is
    // closed for it first.
    const std::string& temporaryPath();
    bool write(const void* data, size_t size, std::string& error);
    // Flushes the temporary file and puts it in the target's place; an existing target is
    // replaced only when `replace` allows it.
    bool commit(bool replace, std::string& error);

private:
    std::string target_;
    std::string temporary_;
    HANDLE handle_;
};

// The bytes as the whole file, in the way above.
bool WriteWholeFile(const std::string& path, const std::string& bytes, bool replace, std::string& error);

#endif

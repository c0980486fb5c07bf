// Shell shortcuts (.lnk) as mwpack makes, removes and reads them, through the shell's own link
// object. Needs COM on the calling thread.
#ifndef MARLOWIN_SHORTCUT_FILES_H
#define MARLOWIN_SHORTCUT_FILES_H

#include <stdint.h>

#include <string>

struct IShellLinkW;

// The last part of a path without the text from its last dot on, as the editor titles packages.
std::string FileTitle(const std::string& path);

// What a shortcut file holds, in UTF-16 as the shell keeps it.
struct ShortcutTarget {
    std::wstring target;       // a file system path; empty for a link to something else
    std::wstring arguments;
    std::wstring directory;
    int showCommand;           // SW_ value
    uint16_t hotkey;           // the shell's hot key word; 0 for none
};

// Reads and writes shortcut files with one link object of the shell.
class ShortcutFiles {
public:
    ShortcutFiles();
    ~ShortcutFiles();
    ShortcutFiles(const ShortcutFiles&) = delete;
    ShortcutFiles& operator=(const ShortcutFiles&) = delete;

    // False, with a message, for a file that cannot be read as a shortcut.
    bool read(const std::string& linkPath, ShortcutTarget& target, std::string& error);
    // Writes a shortcut to the program with its arguments, icon, description, show command and hot
    // key (0 for none), whole or not at all; an existing file is replaced only when `replace`
    // allows it.
    bool write(const std::string& linkPath, const ShortcutTarget& start, const std::string& icon,
               const std::string& description, uint16_t hotkey, bool replace, std::string& error);

private:
    IShellLinkW* link_;
};

#endif

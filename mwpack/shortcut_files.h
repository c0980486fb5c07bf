// Shell shortcuts (.lnk) as mwpack makes, removes and reads them.
#ifndef MARLOWIN_SHORTCUT_FILES_H
#define MARLOWIN_SHORTCUT_FILES_H

#include <string>

#include "mwpack/console.h"

struct IShellLinkA;

// The last part of a path without the text from its last dot on, as the editor titles packages.
std::string FileTitle(const std::string& path);

// Where the shortcut that starts the package goes in the folder: named after the package.
std::string ShortcutPathFor(const std::string& folder, const std::string& packagePath);

// Deletes the shortcut and says so; a missing one is a failure that names it.
int RemoveShortcut(const std::string& linkPath, Console& console);

// A new link object of the shell, or null; the caller releases it. Needs COM on the calling thread.
IShellLinkA* CreateShellLink();

// What a shortcut file holds, read through the shell's own link object.
struct ShortcutTarget {
    std::string target;       // a file system path; empty for a link to something else
    std::string arguments;
    std::string directory;
    int showCommand;          // SW_ value
};

// Reads shortcut files with one link object; false, with a message, for a file that cannot be
// read. Needs COM on the calling thread.
class ShortcutReader {
public:
    ShortcutReader();
    ~ShortcutReader();
    ShortcutReader(const ShortcutReader&) = delete;
    ShortcutReader& operator=(const ShortcutReader&) = delete;

    bool read(const std::string& linkPath, ShortcutTarget& target, std::string& error);

private:
    IShellLinkA* link_;
};

#endif

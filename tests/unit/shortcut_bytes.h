// Shortcut files byte for byte as the Windows shell writes them (the shell link binary format), so
// that import-shortcuts is tested on what other machines made, not only on what Wine's link object
// writes: a target kept in the link information, as a relative path or as environment variables, a
// working folder with variables in it, texts in UTF-16.
#ifndef MARLOWIN_SHORTCUT_BYTES_H
#define MARLOWIN_SHORTCUT_BYTES_H

#include <stdint.h>
#include <string>

struct ShortcutParts {
    std::string localPath;       // the link information's local base path (ANSI); empty for none
    std::wstring relativePath;   // the target relative to the shortcut's folder; empty for none
    std::wstring workingFolder;
    std::wstring arguments;
    std::wstring variableTarget; // the target with environment variables; empty for none
    uint32_t showCommand = 1;
};

inline void PutWord(std::string& bytes, uint32_t value, int size = 4)
{
    for (int i = 0; i < size; ++i)
        bytes += (char)(value >> (8 * i));
}

inline void PutCounted(std::string& bytes, const std::wstring& text)
{
    PutWord(bytes, (uint32_t)text.size(), 2);
    for (wchar_t c : text)
        PutWord(bytes, c, 2);
}

inline std::string ShortcutBytes(const ShortcutParts& parts)
{
    enum { HAS_LINK_INFO = 0x2, HAS_RELATIVE_PATH = 0x8, HAS_WORKING_DIR = 0x10, HAS_ARGUMENTS = 0x20,
           IS_UNICODE = 0x80, HAS_EXP_STRING = 0x200 };
    uint32_t flags = IS_UNICODE | (parts.localPath.empty() ? 0 : HAS_LINK_INFO) |
                     (parts.relativePath.empty() ? 0 : HAS_RELATIVE_PATH) |
                     (parts.workingFolder.empty() ? 0 : HAS_WORKING_DIR) | (parts.arguments.empty() ? 0 : HAS_ARGUMENTS) |
                     (parts.variableTarget.empty() ? 0 : HAS_EXP_STRING);
    std::string bytes;
    PutWord(bytes, 0x4C);
    // The shell link class, {00021401-0000-0000-C000-000000000046}.
    bytes += std::string("\x01\x14\x02\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46", 16);
    PutWord(bytes, flags);
    PutWord(bytes, 0x20);                  // the target's attributes: an archive file
    bytes += std::string(24, '\0');        // its times
    PutWord(bytes, 0);                     // its size
    PutWord(bytes, 0);                     // icon index
    PutWord(bytes, parts.showCommand);
    bytes += std::string(12, '\0');        // hot key and reserved
    if (!parts.localPath.empty()) {
        std::string volume;
        PutWord(volume, 0x11);             // volume: its size, a fixed drive, a serial, an empty label
        PutWord(volume, 3);
        PutWord(volume, 0x12345678);
        PutWord(volume, 0x10);
        volume += '\0';
        uint32_t header = 0x1C;
        uint32_t basePath = header + (uint32_t)volume.size();
        uint32_t suffix = basePath + (uint32_t)parts.localPath.size() + 1;
        PutWord(bytes, suffix + 1);
        PutWord(bytes, header);
        PutWord(bytes, 1);                 // a volume and a local base path
        PutWord(bytes, header);
        PutWord(bytes, basePath);
        PutWord(bytes, 0);
        PutWord(bytes, suffix);
        bytes += volume + parts.localPath + '\0' + '\0';
    }
    if (!parts.relativePath.empty())
        PutCounted(bytes, parts.relativePath);
    if (!parts.workingFolder.empty())
        PutCounted(bytes, parts.workingFolder);
    if (!parts.arguments.empty())
        PutCounted(bytes, parts.arguments);
    if (!parts.variableTarget.empty()) {
        PutWord(bytes, 0x314);
        PutWord(bytes, 0xA0000001);
        std::string ansi(260, '\0'), wide(520, '\0');
        for (size_t i = 0; i < parts.variableTarget.size() && i < 259; ++i) {
            ansi[i] = parts.variableTarget[i] < 0x80 ? (char)parts.variableTarget[i] : '?';
            wide[2 * i] = (char)parts.variableTarget[i];
            wide[2 * i + 1] = (char)(parts.variableTarget[i] >> 8);
        }
        bytes += ansi + wide;
    }
    PutWord(bytes, 0);                     // the end of the extra data
    return bytes;
}

#endif

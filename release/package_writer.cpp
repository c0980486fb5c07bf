// Writes the release's example package at build time: the text form read by mwpack's own import
// and stored by the record codec, compiled for the build machine. The example's texts are ASCII,
// which every code page reads alike; any other byte is refused rather than guessed.
#include <stdio.h>
#include <string>
#include <vector>

#include "mwpack/text_form.h"
#include "store/profile.h"

namespace {

bool AsciiOnly(const char* text, size_t length, std::string& out)
{
    out.assign(text, length);
    for (unsigned char c : out) {
        if (c >= 0x80)
            return false;
    }
    return true;
}

bool ReadWhole(const char* path, std::string& bytes)
{
    FILE* file = fopen(path, "rb");
    if (!file)
        return false;
    char chunk[4096];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.append(chunk, got);
    bool read = !ferror(file);
    fclose(file);
    return read;
}

bool WriteWhole(const char* path, const std::vector<unsigned char>& bytes)
{
    FILE* file = fopen(path, "wb");
    if (!file)
        return false;
    bool written = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: package-writer TEXT_FORM.json OUT.mwpack\n");
        return 2;
    }
    std::string text, error = "cannot be read";
    std::vector<Profile> profiles;
    if (!ReadWhole(argv[1], text) || !ImportText(text.data(), text.size(), { AsciiOnly, AsciiOnly }, profiles, error)) {
        fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
        return 1;
    }
    ProfileList list;
    LinkInGivenOrder(profiles, list);
    std::vector<unsigned char> records((size_t)list.count() * RECORD_SIZE);
    list.serialize(records.data());
    if (!WriteWhole(argv[2], records)) {
        fprintf(stderr, "%s: cannot be written\n", argv[2]);
        return 1;
    }
    return 0;
}

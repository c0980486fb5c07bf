// Reads a dialog template from the linked resources word by word, as the dialog manager does.
#ifndef MARLOWIN_TEMPLATE_READER_H
#define MARLOWIN_TEMPLATE_READER_H

#include <windows.h>
#include <string.h>
#include <string>

class TemplateReader {
public:
    explicit TemplateReader(int dialogId)
    {
        HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(dialogId), (LPCSTR)RT_DIALOG);
        base_ = at_ = found ? (const BYTE*)LockResource(LoadResource(nullptr, found)) : nullptr;
    }
    bool found() const { return base_ != nullptr; }
    WORD word() { WORD v; memcpy(&v, at_, 2); at_ += 2; return v; }
    DWORD dword() { DWORD v; memcpy(&v, at_, 4); at_ += 4; return v; }
    BYTE byte() { return *at_++; }
    short shortValue() { return (short)word(); }
    std::string text()
    {
        std::string s;
        for (WORD c = word(); c != 0; c = word())
            s += (char)c;
        return s;
    }
    // A name, or an ordinal given as "#number"; empty for none.
    std::string nameOrOrdinal()
    {
        WORD first;
        memcpy(&first, at_, 2);
        if (first == 0xFFFF) {
            word();
            return "#" + std::to_string(word());
        }
        return text();
    }
    void alignDword() { at_ = base_ + ((at_ - base_ + 3) & ~3); }
    void restart() { at_ = base_; }

private:
    const BYTE* base_;
    const BYTE* at_;
};

#endif

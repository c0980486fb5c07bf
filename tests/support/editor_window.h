// A package editor window, in this process or in the resident one, driven through its messages.
#ifndef MARLOWIN_EDITOR_WINDOW_H
#define MARLOWIN_EDITOR_WINDOW_H

#include <windows.h>
#include <string>
#include <vector>

namespace testing_support {

// Types the path into a file dialog and presses its OK button.
void AnswerFileDialog(HWND dialog, const std::string& path);

// Top-level windows of the process with the caption and, for an editor, this package frame text.
std::vector<HWND> WindowsOf(DWORD processId, const char* caption, const char* frameText = nullptr);

class EditorWindow {
public:
    explicit EditorWindow(HWND window = nullptr) : dialog_(window) {}
    HWND window() const { return dialog_; }
    HWND item(int id) const { return GetDlgItem(dialog_, id); }
    std::string text(int id) const;
    void setText(int id, const std::string& text) const;
    LRESULT command(int id, WORD code = BN_CLICKED) const;
    void chooseType(int index) const;       // as the user does: select, then CBN_SELENDOK
    std::vector<std::string> entries() const;
    int entryIndex(const std::string& name) const;
    bool waitClosed(DWORD limitMs = 10000);

protected:
    HWND dialog_;
};

}  // namespace testing_support

#endif

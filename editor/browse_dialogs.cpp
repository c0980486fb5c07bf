// The two browse dialogs of the profile form: a file for Object, a folder for Directory.
#include <shlobj.h>

#include "editor/package_editor.h"
#include "editor/profile_form.h"

namespace {

const char OBJECT_FILTER[] = "All Files (*.*)\0*.*\0"
                             "Executable Files (*.exe;*.com;*.scr)\0*.exe;*.com;*.scr\0"
                             "Shortcuts (*.lnk)\0*.lnk\0";

}  // namespace

const char* BrowseForObject(HWND dialog, BrowseBuffers& buffers)
{
    buffers.file[0] = '\0';
    buffers.title[0] = '\0';

    OPENFILENAMEA browse;
    ZeroMemory(&browse, sizeof browse);
    browse.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    browse.hwndOwner = dialog;
    browse.hInstance = (HINSTANCE)GetWindowLongPtrA(dialog, GWLP_HINSTANCE);
    browse.lpstrFilter = OBJECT_FILTER;
    browse.nFilterIndex = 1;
    browse.lpstrFile = buffers.file;
    browse.nMaxFile = sizeof buffers.file;
    browse.lpstrFileTitle = buffers.title;
    browse.nMaxFileTitle = sizeof buffers.title;
    browse.lpstrTitle = "Browse";
    browse.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    browse.lpstrDefExt = "*.*";
    return ShowFileDialog(&browse, false) ? buffers.file : nullptr;
}

void BrowseForFolder(HWND dialog, int controlId)
{
    char folder[MAX_PATH] = "";
    BROWSEINFOA browse;
    ZeroMemory(&browse, sizeof browse);
    browse.hwndOwner = dialog;
    browse.pszDisplayName = folder;
    browse.lpszTitle = "Working directory";
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    LPITEMIDLIST chosen = SHBrowseForFolderA(&browse);
    if (!chosen)
        return;
    // A folder with no file-system path leaves the field as it was.
    if (SHGetPathFromIDListA(chosen, folder))
        SetDlgItemTextA(dialog, controlId, folder);
    IMalloc* shellMalloc = nullptr;
    if (SUCCEEDED(SHGetMalloc(&shellMalloc))) {
        shellMalloc->Free(chosen);
        shellMalloc->Release();
    }
}

#include "editor/file_dialogs.h"

#include <commdlg.h>
#include <shlobj.h>

#include "base/dynamic_library.h"
#include "store/package_folder.h"
#include "store/package_names.h"

namespace {

// Used only on the main thread, where the tray runs the package file dialog.
char PackageFileName[256];
char PackageFileTitle[256];

const char PACKAGE_FILTER[] = "Programs packages (*" PACKAGE_SUFFIX ")\0*" PACKAGE_SUFFIX "\0All Files (*.*)\0*.*\0";

const char OBJECT_FILTER[] = "All Files (*.*)\0*.*\0"
                             "Executable Files (*.exe;*.com;*.scr)\0*.exe;*.com;*.scr\0"
                             "Shortcuts (*.lnk)\0*.lnk\0";

// The record both file dialogs share; the buffers start empty.
template <size_t FileSize, size_t TitleSize>
OPENFILENAMEA FileDialogRecord(HWND owner, const char* filter, char (&file)[FileSize], char (&title)[TitleSize],
                               const char* caption, const char* defaultExtension)
{
    file[0] = '\0';
    title[0] = '\0';
    OPENFILENAMEA dialog;
    ZeroMemory(&dialog, sizeof dialog);
    // The size of the first form of the record, which every system version accepts.
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    dialog.hwndOwner = owner;
    dialog.hInstance = owner ? (HINSTANCE)GetWindowLongPtrA(owner, GWLP_HINSTANCE) : nullptr;
    dialog.lpstrFilter = filter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file;
    dialog.nMaxFile = FileSize;
    dialog.lpstrFileTitle = title;
    dialog.nMaxFileTitle = TitleSize;
    dialog.lpstrTitle = caption;
    dialog.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    dialog.lpstrDefExt = defaultExtension;
    return dialog;
}

// The common Open or Save dialog, with comdlg32 loaded when a dialog is first shown. It stays: each
// unload under Wine leaves a mutex of its printing library open, so loading it for every dialog
// would grow without bound.
bool ShowFileDialog(OPENFILENAMEA* dialog, bool save)
{
    typedef BOOL(WINAPI * FileDialogProc)(LPOPENFILENAMEA);
    UseCommonControls();
    DynamicLibrary dialogs("comdlg32.dll");
    dialogs.keep();
    FileDialogProc show = dialogs.function<FileDialogProc>(save ? "GetSaveFileNameA" : "GetOpenFileNameA");
    return show && show(dialog);
}

}  // namespace

const char* ChoosePackageFile(HWND owner, const char* title, bool save)
{
    char initialFolder[MAX_PATH];
    bool folderFits = PackagesFolderPath(initialFolder, sizeof initialFolder);
    // Without a dot and a wildcard, so that a typed name gets the package suffix.
    OPENFILENAMEA dialog =
        FileDialogRecord(owner, PACKAGE_FILTER, PackageFileName, PackageFileTitle, title, PACKAGE_EXTENSION);
    dialog.lpstrInitialDir = folderFits ? initialFolder : nullptr;
    return ShowFileDialog(&dialog, save) ? PackageFileName : nullptr;
}

const char* BrowseForObject(HWND dialog, BrowseBuffers& buffers)
{
    OPENFILENAMEA browse = FileDialogRecord(dialog, OBJECT_FILTER, buffers.file, buffers.title, "Browse", "*.*");
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

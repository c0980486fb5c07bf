// Choosing a package file, opening it and starting its editor thread.
#include "editor/package_editor.h"

#include <stdlib.h>
#include <string.h>

#include "app/app_state.h"
#include "app/bounded_format.h"
#include "app/run_time_library.h"
#include "editor/form_rules.h"
#include "res/resource.h"
#include "store/package_file.h"

namespace {

// Used only on the main thread, where the tray runs the file dialog.
char PackageFileName[256];
char PackageFileTitle[256];

const char PACKAGE_FILTER[] = "Programs packages (*.mwpack)\0*.mwpack\0All Files (*.*)\0*.*\0";

char* CopyText(const char* text, size_t length)
{
    char* copy = (char*)calloc(length + 1, 1);
    if (copy)
        memcpy(copy, text, length);
    return copy;
}

}  // namespace

INT_PTR(WINAPI* EditorDialogCall)(HINSTANCE, LPCSTR, HWND, DLGPROC, LPARAM) = DialogBoxParamA;

HINSTANCE EditorInstance()
{
    return AppInstance ? AppInstance : GetModuleHandleA(nullptr);
}

const char* ChoosePackageFile(HWND owner, const char* title, bool save)
{
    char initialFolder[MAX_PATH];
    bool folderFits = FormatBounded(initialFolder, sizeof initialFolder, "%s\\Packages", ExeFolder());

    PackageFileName[0] = '\0';
    PackageFileTitle[0] = '\0';

    OPENFILENAMEA dialog;
    ZeroMemory(&dialog, sizeof dialog);
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    dialog.hwndOwner = owner;
    dialog.hInstance = owner ? (HINSTANCE)GetWindowLongPtrA(owner, GWLP_HINSTANCE) : nullptr;
    dialog.lpstrFilter = PACKAGE_FILTER;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = PackageFileName;
    dialog.nMaxFile = sizeof PackageFileName;
    dialog.lpstrFileTitle = PackageFileTitle;
    dialog.nMaxFileTitle = sizeof PackageFileTitle;
    dialog.lpstrInitialDir = folderFits ? initialFolder : nullptr;
    dialog.lpstrTitle = title;
    dialog.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    // Without a dot and a wildcard, so that a typed name becomes "name.mwpack".
    dialog.lpstrDefExt = "mwpack";

    return ShowFileDialog(&dialog, save) ? PackageFileName : nullptr;
}

bool ShowFileDialog(OPENFILENAMEA* dialog, bool save)
{
    typedef BOOL(WINAPI * FileDialogProc)(LPOPENFILENAMEA);
    CommonControls controls;
    RunTimeLibrary dialogs("comdlg32.dll");
    // Loaded on first use only: each unload under Wine leaves a mutex of its printing library open,
    // so loading it for every dialog would grow without bound.
    dialogs.pin();
    FileDialogProc show = dialogs.function<FileDialogProc>(save ? "GetSaveFileNameA" : "GetOpenFileNameA");
    return show && show(dialog);
}

bool OpenPackageEditor(bool create)
{
    const char* chosen = ChoosePackageFile(nullptr, create ? "Save package as" : "Open package", create);
    if (!chosen)
        return false;
    char* path = CopyText(chosen, strlen(chosen));
    if (!path)
        return false;
    HANDLE handle = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0,
                                nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        free(path);
        return false;
    }
    bool started = StartPackageEditor(handle, path);
    free(path);
    return started;
}

bool StartPackageEditor(HANDLE handle, const char* path)
{
    PackageFile* package = CreatePackageFile();
    if (!package) {
        CloseHandle(handle);
        return false;
    }
    package->handle = handle;
    size_t start = 0, length = 0;
    TitleSpan(path, &start, &length);
    package->path = CopyText(path, strlen(path));
    package->title = CopyText(path + start, length);
    DWORD threadId = 0;
    HANDLE thread = nullptr;
    if (package->path && package->title)
        thread = CreateThread(nullptr, 0, PackageEditorThread, package, 0, &threadId);
    if (!thread) {
        DestroyPackageFile(package);
        return false;
    }
    CloseHandle(thread);
    return true;
}

DWORD WINAPI PackageEditorThread(LPVOID context)
{
    HINSTANCE instance = EditorInstance();
    if (!FindResourceA(instance, MAKEINTRESOURCEA(IDD_PACKAGE), (LPCSTR)RT_DIALOG)) {
        // No dialog would ever take the context over.
        DestroyPackageFile((PackageFile*)context);
        return 0;
    }
    // The shell's browse dialogs expect COM on the thread that shows them.
    ComApartment com;
    CommonControls controls;
    INT_PTR result = EditorDialogCall(instance, MAKEINTRESOURCEA(IDD_PACKAGE), nullptr, PackageEditorProc,
                                      (LPARAM)context);
    // -1: no dialog came up to take the context over (its set-up does, and its end frees it), so the
    // file would stay locked until the program ends.
    if (result == -1)
        DestroyPackageFile((PackageFile*)context);
    return (DWORD)result;
}

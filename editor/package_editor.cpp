// Choosing a package file, opening it and starting its editor thread.
#include "editor/package_editor.h"

#include "base/app_state.h"
#include "base/dynamic_library.h"
#include "editor/file_dialogs.h"
#include "editor/form_rules.h"
#include "editor/package_editor_dialog.h"
#include "res/resource.h"
#include "store/package_file.h"

INT_PTR(WINAPI* EditorDialogCall)(HINSTANCE, LPCSTR, HWND, DLGPROC, LPARAM) = DialogBoxParamA;

HINSTANCE EditorInstance()
{
    return AppInstance ? AppInstance : GetModuleHandleA(nullptr);
}

bool OpenPackageEditor(bool create)
{
    const char* chosen = ChoosePackageFile(nullptr, create ? "Save package as" : "Open package", create);
    if (!chosen)
        return false;
    // The dialog's buffer is shared by every package file dialog.
    char path[MAX_PATH];
    lstrcpynA(path, chosen, sizeof path);
    HANDLE handle = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0,
                                nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    // A side file beside a package made just now was left by one deleted outside the program.
    if (GetLastError() != ERROR_ALREADY_EXISTS)
        DiscardSideFile(path);
    return StartPackageEditor(handle, path);
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
    DWORD threadId = 0;
    HANDLE thread = nullptr;
    if (package->setNames(path, path + start, length))
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
    // The shell's browse dialogs expect COM on the thread that shows them. Editors come and go, so
    // ole32 stays loaded after the first.
    ComApartment com(true);
    UseCommonControls();
    INT_PTR result = EditorDialogCall(instance, MAKEINTRESOURCEA(IDD_PACKAGE), nullptr, PackageEditorProc,
                                      (LPARAM)context);
    // -1: no dialog came up to take the context over (its set-up does, and its end frees it), so the
    // file would stay locked until the program ends.
    if (result == -1)
        DestroyPackageFile((PackageFile*)context);
    return (DWORD)result;
}

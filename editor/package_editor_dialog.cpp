// The editor dialog IDD_PACKAGE: set-up, teardown and the dispatch of its messages.
#include "editor/package_editor_dialog.h"

#include "editor/file_dialogs.h"
#include "editor/package_editor.h"
#include "editor/profile_edit.h"
#include "editor/profile_form.h"
#include "res/resource.h"
#include "store/package_file.h"

namespace {

PackageFile* ContextOf(HWND dialog)
{
    return (PackageFile*)GetWindowLongPtrA(dialog, GWLP_USERDATA);
}

INT_PTR OnInitDialog(HWND dialog, PackageFile* package)
{
    if (!package) {
        EndDialog(dialog, 0);
        return FALSE;
    }
    SetWindowLongPtrA(dialog, GWLP_USERDATA, (LONG_PTR)package);
    package->showRecovered(dialog);
    SetDlgItemTextA(dialog, IDC_PACKAGE_FRAME, package->title);
    FillChoices(dialog);

    HINSTANCE instance = EditorInstance();
    HANDLE big = LoadImageA(instance, "MW", IMAGE_ICON, 0, 0, LR_SHARED | LR_DEFAULTSIZE);
    SendMessageA(dialog, WM_SETICON, ICON_BIG, (LPARAM)big);
    HANDLE small = LoadImageA(instance, "MW", IMAGE_ICON, 16, 16, LR_SHARED);
    SendMessageA(dialog, WM_SETICON, ICON_SMALL, (LPARAM)small);

    CleanForm(dialog);
    return FALSE;
}

INT_PTR OnDestroy(HWND dialog)
{
    PackageFile* package = ContextOf(dialog);
    if (package) {
        SetWindowLongPtrA(dialog, GWLP_USERDATA, 0);
        DestroyPackageFile(package);
    }
    return TRUE;
}

void DeletePackage(HWND dialog, PackageFile& package)
{
    if (package.handle != INVALID_HANDLE_VALUE) {
        CloseHandle(package.handle);
        package.handle = INVALID_HANDLE_VALUE;
    }
    // A side file left by a failed restore would outlive its package.
    if (DeleteFileA(package.path))
        DiscardSideFile(package.path);
    EndDialog(dialog, 0);
}

void BrowseObject(HWND dialog)
{
    BrowseBuffers buffers;
    const char* path = BrowseForObject(dialog, buffers);
    if (path)
        FillFormFromPath(dialog, path);
}

}  // namespace

INT_PTR EditorCommand(HWND dialog, WPARAM wParam, LPARAM)
{
    PackageFile* package = ContextOf(dialog);
    if (!package)
        return 0;
    WORD code = HIWORD(wParam);
    switch (LOWORD(wParam)) {
    case IDC_DELETE_PACKAGE:
        DeletePackage(dialog, *package);
        break;
    case IDC_EDITOR_OK:
        EndDialog(dialog, 0);
        break;
    case IDC_PROFILE_LIST:
        if (code == LBN_SELCHANGE)
            ShowSelectedProfile(dialog, package->profiles);
        break;
    case IDC_TYPE:
        if (code == CBN_SELENDOK)
            ApplyTypeRules(dialog);
        break;
    case IDC_OBJECT_BROWSE:
        BrowseObject(dialog);
        break;
    case IDC_ADD_PROFILE:
        AddProfile(dialog, *package);
        break;
    case IDC_DELETE_PROFILE:
        DeleteProfile(dialog, *package);
        break;
    case IDC_CLEAN_FORM:
        CleanForm(dialog);
        break;
    case IDC_DIRECTORY_BROWSE:
        BrowseForFolder(dialog, IDC_DIRECTORY);
        break;
    default:
        // IDOK and IDCANCEL too: Escape does not end the editor.
        break;
    }
    return 0;
}

INT_PTR CALLBACK PackageEditorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog, (PackageFile*)lParam);
    case WM_DESTROY:
        return OnDestroy(dialog);
    case WM_CLOSE:
        EndDialog(dialog, 0);
        return TRUE;
    case WM_COMMAND:
        return EditorCommand(dialog, wParam, lParam) == 0;
    case WM_DROPFILES:
        FillFormFromDrop(dialog, (HDROP)wParam);
        return TRUE;
    case WM_VKEYTOITEM: {
        PackageFile* package = ContextOf(dialog);
        return package ? DeleteKeyInList(dialog, *package, wParam, lParam) : -1;
    }
    default:
        return FALSE;
    }
}

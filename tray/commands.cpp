#include "tray/commands.h"

#include "editor/package_editor.h"
#include "res/resource.h"
#include "tray/about_box.h"
#include "tray/package_menu.h"
#include "tray/web_pages.h"

namespace {

void OpenPageAndEnd(HWND box, WebPage page)
{
    OpenWebPage(WebPageAddress(page));
    EndDialog(box, 1);
}

bool IsPackageCommand(WPARAM wParam)
{
    // Menus send a high word of 0, so the whole wParam must lie in the range.
    return wParam >= IDM_PACKAGE_FIRST && wParam - IDM_PACKAGE_FIRST < MAX_PACKAGES;
}

}  // namespace

INT_PTR DispatchCommand(HWND window, WPARAM wParam)
{
    switch (LOWORD(wParam)) {
    case IDC_ABOUT_OK:
        EndDialog(window, 1);
        break;
    case IDC_DONATE:
        OpenPageAndEnd(window, WEB_DONATE);
        break;
    case IDC_HELP:
        OpenPageAndEnd(window, WEB_HELP);
        break;
    case IDM_EXIT:
        DestroyWindow(window);
        break;
    case IDM_VISIT_WEBSITE:
    case IDM_WEBSITE:
        OpenWebPage(WebPageAddress(WEB_HOME));
        break;
    case IDM_ABOUT:
        ShowAboutBox();
        break;
    case IDM_NEW_PACKAGE:
        OpenPackageEditor(true);
        break;
    case IDM_EDIT_PACKAGE:
        OpenPackageEditor(false);
        break;
    default:
        if (IsPackageCommand(wParam))
            LaunchListedPackage((UINT)(wParam - IDM_PACKAGE_FIRST));
        break;
    }
    return 0;
}

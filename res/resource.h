// Resource, command and control identifiers of Marlowin, in one place.
#ifndef MARLOWIN_RESOURCE_H
#define MARLOWIN_RESOURCE_H

// The system headers name a cursor IDC_HELP; here it is the About box's Help button.
#include <windows.h>
#undef IDC_HELP

// Dialog templates
#define IDD_PACKAGE 103
#define IDD_ABOUT 114
// The Start window's template is named, not numbered.
#define START_TEMPLATE_NAME "START"

// About box
#define IDC_ABOUT_OK 1011
#define IDC_DONATE 1012
#define IDC_HELP 1013

// Main menu commands
#define IDM_EXIT 2025
#define IDM_VISIT_WEBSITE 2026
#define IDM_WEBSITE 2027   // on no menu: a second id for the home page that other programs may post
#define IDM_ABOUT 2028
#define IDM_NEW_PACKAGE 2029
#define IDM_EDIT_PACKAGE 2030

// Package menu: one command per listed package file
#define MAX_PACKAGES 42000
#define IDM_PACKAGE_FIRST 3024
#define IDM_PACKAGE_LAST (IDM_PACKAGE_FIRST + MAX_PACKAGES - 1)

// Package editor controls
#define IDC_DELETE_PACKAGE 3
#define IDC_EDITOR_OK 4
#define IDC_PROFILE_LIST 1002
#define IDC_TYPE 1004
#define IDC_COMMAND 1005
#define IDC_OBJECT 1006
#define IDC_DIRECTORY 1007
#define IDC_OBJECT_BROWSE 1008
#define IDC_NAME 1009
#define IDC_ARGUMENTS 1010
#define IDC_ADD_PROFILE 1011
#define IDC_DELETE_PROFILE 1012
#define IDC_PACKAGE_FRAME 1013
#define IDC_PROFILE_FRAME 1014
#define IDC_CLEAN_FORM 1015
#define IDC_DIRECTORY_BROWSE 1016
#define IDC_WINDOW 1017

// Window messages of the program's own
#define WM_PROFILE_FIELD 1225
#define WM_TRAYNOTIFY 16000

#define TRAY_ICON_ID 333

#endif

// The tray icon and its animation.
#ifndef MARLOWIN_TRAY_ICON_H
#define MARLOWIN_TRAY_ICON_H

#include <windows.h>
#include <shellapi.h>

// Animations running or about to run: at most one at a time.
extern volatile LONG AnimationCount;

// True for major version 4 and below and for 5.0: those shells get the plain "MW" icon.
bool IsOldShell();

void AddTrayIcon(HWND window);
void RemoveTrayIcon(HWND window);
void StartIconAnimation(HWND window);

// The animation thread: eight frames, three times, slowing down; ends on the resting icon.
DWORD WINAPI AnimateTrayIcon(LPVOID window);

// The platform calls behind the icon; tests put recorders in their place.
extern BOOL(WINAPI* NotifyIconCall)(DWORD message, PNOTIFYICONDATAA data);
extern HANDLE(WINAPI* CreateThreadCall)(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE, LPVOID, DWORD,
                                         LPDWORD);
// The pause between two frames of the animation.
extern void(WINAPI* AnimationPauseCall)(DWORD milliseconds);

#endif

// The splash: the logo decoded and drawn on the Start window, see-through, for three seconds.
#ifndef MARLOWIN_SPLASH_H
#define MARLOWIN_SPLASH_H

#include <windows.h>
#include <ole2.h>
#include <olectl.h>

// A picture decoded from bytes in memory, and its bitmap, which the picture owns. False when undecodable,
// or when ole32 and oleaut32 are not loaded (LoadBitmapFromMemory loads them for the time it needs them).
bool LoadPictureFromMemory(const void* bytes, DWORD byteCount, IPicture** picture, HBITMAP* bitmap);

// A new screen-compatible bitmap of the image's own size, which the caller deletes; null when undecodable.
HBITMAP LoadBitmapFromMemory(const void* bytes, DWORD byteCount);

// Makes the window layered with the given colour key; 0 when the system has no layered windows.
BOOL SetLayeredColorKey(HWND window, COLORREF key, BYTE alpha, DWORD flags);

// Draws the "LOGO" resource once onto the window at its origin.
void DrawSplashLogo(HWND window);

// Shows the window as the splash for three seconds, then hides it.
void ShowSplash(HWND window);

#endif

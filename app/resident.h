#ifndef MARLOWIN_RESIDENT_H
#define MARLOWIN_RESIDENT_H

// The resident start: single copy, splash, tray icon and the message loop. Gives the exit code.
int RunResident(bool unload);

#endif

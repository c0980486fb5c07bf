// Starting a whole package by its path: the command line and the package menu both come here.
#ifndef MARLOWIN_LAUNCH_PACKAGE_H
#define MARLOWIN_LAUNCH_PACKAGE_H

// Reads the package at the path and starts its profiles in name order; nothing when it cannot
// be read (missing, or held by an editor). Nothing is reported.
void LaunchPackageAt(const char* path);

#endif

// Starting a whole package by its path: the command line and the package menu both come here.
#ifndef MARLOWIN_LAUNCH_PACKAGE_H
#define MARLOWIN_LAUNCH_PACKAGE_H

#include "launch/launch_profiles.h"

// Reads the package at the path and starts its profiles in name order; nothing when it cannot
// be read (missing, or held by an editor). The profiles that could not be started go into
// `failures` when given; the command line passes none and reports nothing.
void LaunchPackageAt(const char* path, LaunchFailures* failures = nullptr);

#endif

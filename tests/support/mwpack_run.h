// mwpack.exe run as a user runs it from a console, for the end-to-end and stress tests.
#ifndef MARLOWIN_MWPACK_RUN_H
#define MARLOWIN_MWPACK_RUN_H

#include <string>

#include "tests/support/test_support.h"

namespace testing_support {

struct ConsoleRun {
    RunResult run;
    std::string output;
    std::string errors;
};

std::string MwpackPath();

// Runs mwpack.exe with the exact argument text, its standard output and error going to files in
// the folder.
ConsoleRun RunMwpackExe(const std::string& arguments, const std::string& folder);

}  // namespace testing_support

#endif

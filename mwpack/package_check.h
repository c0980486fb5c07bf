// What `check` finds in a package's bytes: rules without the window system; the file
// system is asked through a seam.
#ifndef MARLOWIN_PACKAGE_CHECK_H
#define MARLOWIN_PACKAGE_CHECK_H

#include <string>
#include <vector>

enum ProblemKind {
    PROBLEM_PARTIAL_RECORD,
    PROBLEM_FIELD_WITHOUT_END,
    PROBLEM_UNKNOWN_TYPE,
    PROBLEM_UNKNOWN_WINDOW,
    PROBLEM_NO_OBJECT,
    PROBLEM_MISSING_OBJECT,
    PROBLEM_MISSING_FOLDER,
    PROBLEM_DUPLICATE_NAME,
};

struct Problem {
    ProblemKind kind;
    bool stopsStart;       // the profile (or package) does not start as meant; otherwise a note
    long profile;          // place in launch order, from 0; -1 for the file as a whole
    std::string name;      // the profile's name in the system code page
    std::string message;
};

struct FileSystemProbe {
    bool (*fileExists)(const char* path);
    bool (*folderExists)(const char* path);
    bool (*onSearchPath)(const char* program);   // a program name without a folder part
};

// Short stable name of a kind for machine-readable reports: "partial-record" and so on.
const char* ProblemKindName(ProblemKind kind);

// Every problem of the package's bytes, file-wide ones first, then by profile in launch order.
std::vector<Problem> CheckPackageBytes(const unsigned char* bytes, size_t size, const FileSystemProbe& probe);

#endif

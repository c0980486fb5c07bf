// Export then import of random editor packages, in the system code page of the run.
#ifndef MARLOWIN_TEXT_FORM_ROUND_TRIP_H
#define MARLOWIN_TEXT_FORM_ROUND_TRIP_H
#include <string>

// What export and then import make of a package file, as the bytes that would be written.
std::string ExportThenImport(const std::string& bytes, std::string& error);

// Expects that each of that many random packages comes back byte for byte.
void ExpectRoundTrips(unsigned seeds);

#endif

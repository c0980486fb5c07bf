// The JSON library as mwpack uses it: ordered objects, and text written through an output made
// without make_shared. The library's own dump() makes its output with make_shared, which without
// RTTI pulls in libstdc++'s shared-pointer support and with it the thread library, and that needs
// Windows Vista.
#ifndef MARLOWIN_JSON_TEXT_H
#define MARLOWIN_JSON_TEXT_H

#include <string>

#include <nlohmann/json.hpp>

using Json = nlohmann::ordered_json;

// An output that appends to the text, for the library's serializer.
nlohmann::detail::output_adapter_t<char> StringOutput(std::string& text);

// The value as JSON text; indented by the given number of blanks, or on one line when negative.
std::string JsonText(const Json& value, int indent = -1);

#endif

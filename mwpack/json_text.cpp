#include "mwpack/json_text.h"

nlohmann::detail::output_adapter_t<char> StringOutput(std::string& text)
{
    return nlohmann::detail::output_adapter_t<char>(new nlohmann::detail::output_string_adapter<char, std::string>(text));
}

std::string JsonText(const Json& value, int indent)
{
    std::string text;
    nlohmann::detail::serializer<Json> writer(StringOutput(text), ' ');
    writer.dump(value, indent >= 0, false, indent >= 0 ? (unsigned int)indent : 0u);
    return text;
}

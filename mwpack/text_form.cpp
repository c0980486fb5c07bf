// Export writes the frame and lets the library escape each text; import lets the library parse
// and then checks every value's type before reading it, since the program has no exceptions.
#include "mwpack/text_form.h"

#include <string.h>

#include "mwpack/json_text.h"

#include "store/name_order.h"

const char* const FieldKeys[FIELD_COUNT] = { "name", "command", "object", "directory", "arguments", "type",
                                             "window" };

int FieldOfKey(const std::string& key)
{
    for (int field = 0; field < FIELD_COUNT; ++field)
        if (key == FieldKeys[field])
            return field;
    return -1;
}

std::string QuotedExcerpt(const std::string& text)
{
    const size_t LONGEST = 100;
    if (text.size() <= LONGEST)
        return "\"" + text + "\"";
    // Cut before a UTF-8 continuation byte never inside a character.
    size_t end = LONGEST;
    while (end > 0 && ((unsigned char)text[end] & 0xC0) == 0x80)
        --end;
    return "\"" + text.substr(0, end) + "...\"";
}

namespace {


// The library's DOM builder, keeping the message of a parse error instead of throwing it.
class DomBuilder : public nlohmann::detail::json_sax_dom_parser<Json> {
public:
    explicit DomBuilder(Json& document) : json_sax_dom_parser(document, false) {}

    template <class Exception>
    bool parse_error(size_t, const std::string&, const Exception& fault)
    {
        message = fault.what();
        // "[json.exception.parse_error.101] parse error at line 2, column 5: ...": keep what follows the tag.
        size_t tag = message.find("] ");
        if (message[0] == '[' && tag != std::string::npos)
            message.erase(0, tag + 2);
        return false;
    }

    std::string message;
};

// "profile 3" or, once its name is known, "profile 3 ("Work")"; numbered from 1 as people count.
std::string ProfilePlace(size_t index, const std::string& utf8Name)
{
    std::string place = "profile " + std::to_string(index + 1);
    if (!utf8Name.empty())
        place += " (" + QuotedExcerpt(utf8Name) + ")";
    return place;
}

bool ExportField(const ProfileBase& profile, size_t index, int field, const CodePage& codePage, std::string& out,
                 std::string& error)
{
    const char* text = profile.field(field);
    if (codePage.toUtf8(text, strlen(text), out))
        return true;
    std::string name;
    if (field == FIELD_NAME || !codePage.toUtf8(profile.name(), strlen(profile.name()), name))
        name.clear();
    error = ProfilePlace(index, name) + ", field " + QuotedExcerpt(FieldKeys[field]) +
            ": its bytes have no exact Unicode form in the system code page";
    return false;
}

// One field of one profile, from UTF-8 to the code page, at most 259 bytes there, no terminator inside.
bool ImportField(const Json& value, const std::string& place, int field, const CodePage& codePage,
                 std::string& out, std::string& error)
{
    std::string where = place + ", field " + QuotedExcerpt(FieldKeys[field]) + ": ";
    if (!value.is_string()) {
        error = where + "a string is needed, not " + value.type_name();
        return false;
    }
    const std::string& utf8 = value.get_ref<const std::string&>();
    if (utf8.find('\0') != std::string::npos) {
        error = where + "a null character cannot be stored";
        return false;
    }
    if (!codePage.fromUtf8(utf8.data(), utf8.size(), out)) {
        error = where + "text outside the system code page cannot be stored";
        return false;
    }
    if (out.size() > FIELD_SIZE - 1) {
        error = where + std::to_string(out.size()) + " characters long; at most " + std::to_string(FIELD_SIZE - 1) +
                " fit";
        return false;
    }
    return true;
}

bool ImportProfile(const Json& entry, size_t index, const CodePage& codePage, Profile& profile, std::string& error)
{
    std::string place = ProfilePlace(index, "");
    if (!entry.is_object()) {
        error = place + ": an object is needed, not " + std::string(entry.type_name());
        return false;
    }
    // The name comes first so that every later message can name the profile.
    Json::const_iterator named = entry.find(FieldKeys[FIELD_NAME]);
    if (named == entry.end()) {
        error = place + ": it has no \"name\"";
        return false;
    }
    if (named->is_string())
        place = ProfilePlace(index, named->get_ref<const std::string&>());

    std::string texts[FIELD_COUNT];
    for (Json::const_iterator item = entry.begin(); item != entry.end(); ++item) {
        int field = FieldOfKey(item.key());
        if (field < 0) {
            error = place + ": unknown key " + QuotedExcerpt(item.key());
            return false;
        }
        if (!ImportField(item.value(), place, field, codePage, texts[field], error))
            return false;
    }
    const char* pointers[FIELD_COUNT];
    for (int i = 0; i < FIELD_COUNT; ++i)
        pointers[i] = texts[i].c_str();
    profile = Profile(pointers, (uint32_t)index);
    return true;
}

}  // namespace

bool ExportText(const std::vector<const ProfileBase*>& profiles, const CodePage& codePage, std::string& text,
                std::string& error)
{
    // The fixed frame is written here and each text escaped by the library's own serializer, into
    // one growing string: no document of thousands of small objects is built for a single write.
    text.clear();
    text.reserve(profiles.size() * 256 + 64);
    nlohmann::detail::serializer<Json> writer(StringOutput(text), ' ');
    Json value = std::string();
    std::string& utf8 = value.get_ref<std::string&>();
    text += "{\n  \"version\": " + std::to_string(TEXT_FORM_VERSION) + ",\n  \"profiles\": [";
    for (size_t i = 0; i < profiles.size(); ++i) {
        text += i ? ",\n    {" : "\n    {";
        for (int field = 0; field < FIELD_COUNT; ++field) {
            if (!ExportField(*profiles[i], i, field, codePage, utf8, error)) {
                text.clear();
                return false;
            }
            text += field ? ",\n      \"" : "\n      \"";
            text += FieldKeys[field];
            text += "\": ";
            writer.dump(value, false, false, 0);
        }
        text += "\n    }";
    }
    text += profiles.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return true;
}

bool ImportText(const char* text, size_t length, const CodePage& codePage, std::vector<Profile>& profiles,
                std::string& error)
{
    profiles.clear();
    Json root;
    DomBuilder builder(root);
    if (!Json::sax_parse(text, text + length, &builder) || root.is_discarded()) {
        error = "malformed JSON: " + (builder.message.empty() ? std::string("no document") : builder.message);
        return false;
    }
    if (!root.is_object()) {
        error = std::string("the document must be an object, not ") + root.type_name();
        return false;
    }
    for (Json::const_iterator item = root.cbegin(); item != root.cend(); ++item) {
        if (item.key() != "version" && item.key() != "profiles") {
            error = "unknown key " + QuotedExcerpt(item.key()) + " at the top level";
            return false;
        }
    }
    Json::const_iterator version = root.find("version");
    if (version == root.cend()) {
        error = "the document has no \"version\"";
        return false;
    }
    if (!version->is_number_integer() || version->get<long long>() != TEXT_FORM_VERSION) {
        error = "version " + JsonText(*version) + " is not known; this program reads version " +
                std::to_string(TEXT_FORM_VERSION);
        return false;
    }
    Json::const_iterator list = root.find("profiles");
    if (list == root.cend() || !list->is_array()) {
        error = "\"profiles\" must be an array";
        return false;
    }
    profiles.resize(list->size());
    for (size_t i = 0; i < list->size(); ++i) {
        if (!ImportProfile((*list)[i], i, codePage, profiles[i], error)) {
            profiles.clear();
            return false;
        }
    }
    return true;
}

void LinkImported(std::vector<Profile>& profiles, ProfileList& list)
{
    // The store puts the later of two identical names first.
    uint32_t count = (uint32_t)profiles.size();
    for (uint32_t i = 0; i < count; ++i)
        profiles[i].ordinal = count - 1 - i;
    LinkInNameOrder(profiles.data(), count, list);
}

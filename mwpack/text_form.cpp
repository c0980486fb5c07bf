// Export writes the frame and lets the library escape each text. Import lets the library's
// parser read the text as a stream of events and takes each event only where the form has it,
// so a fault is refused where it stands and nothing the form does not hold is kept.
#include "mwpack/text_form.h"

#include <string.h>

#include "mwpack/json_text.h"
#include "mwpack/quoted_text.h"

const char* const FieldKeys[FIELD_COUNT] = { "name", "command", "object", "directory", "arguments", "type",
                                             "window" };

int FieldOfKey(const std::string& key)
{
    for (int field = 0; field < FIELD_COUNT; ++field)
        if (key == FieldKeys[field])
            return field;
    return -1;
}

std::string FieldTextFault(const std::string& text)
{
    if (text.find('\0') != std::string::npos)
        return "a null character cannot be stored";
    if (text.size() > FIELD_SIZE - 1)
        return std::to_string(text.size()) + " characters long; at most " + std::to_string(FIELD_SIZE - 1) + " fit";
    return std::string();
}

bool ProfileFromTexts(const std::string (&texts)[FIELD_COUNT], uint32_t ordinal, Profile& profile, int& field,
                      std::string& fault)
{
    const char* pointers[FIELD_COUNT];
    for (field = 0; field < FIELD_COUNT; ++field) {
        fault = FieldTextFault(texts[field]);
        if (!fault.empty())
            return false;
        pointers[field] = texts[field].c_str();
    }
    profile = Profile(pointers, ordinal);
    return true;
}

namespace {

// "profile 3" or, once its name is known, "profile 3 ("Work")"; numbered from 1 as people count.
std::string ProfilePlace(size_t index, const std::string& utf8Name, bool named)
{
    std::string place = "profile " + std::to_string(index + 1);
    if (named)
        place += " (" + QuotedUtf8Excerpt(utf8Name) + ")";
    return place;
}

bool ExportField(const ProfileBase& profile, size_t index, int field, const CodePage& codePage, std::string& out,
                 std::string& error)
{
    const char* text = profile.field(field);
    if (codePage.toUtf8(text, strlen(text), out))
        return true;
    std::string name;
    bool named = field != FIELD_NAME && codePage.toUtf8(profile.name(), strlen(profile.name()), name);
    error = ProfilePlace(index, name, named) + ", field " + QuotedUtf8Excerpt(FieldKeys[field]) +
            ": its bytes have no exact Unicode form in the system code page";
    return false;
}

// What a text form may hold, event by event: one object with "version" and "profiles", the
// profiles an array of objects whose values are all strings.
class FormReader : public nlohmann::json_sax<Json> {
public:
    FormReader(const CodePage& codePage, std::vector<Profile>& profiles) : codePage_(codePage), profiles_(profiles) {}

    bool null() override { return value("null"); }
    bool boolean(bool) override { return value("boolean"); }
    bool number_integer(number_integer_t number) override { return version(std::to_string(number), number == 1); }
    bool number_unsigned(number_unsigned_t number) override { return version(std::to_string(number), number == 1); }
    bool number_float(number_float_t, const string_t& token) override { return version(token, false); }
    bool binary(binary_t&) override { return value("binary"); }

    bool string(string_t& text) override
    {
        if (place_ == IN_PROFILE && field_ >= 0) {
            texts_[field_] = text;
            named_ = named_ || field_ == FIELD_NAME;
            return true;
        }
        if (place_ == IN_ROOT && key_ == "version")
            return fail("version " + QuotedUtf8Excerpt(text) + " is not known; this program reads version " +
                        std::to_string(TEXT_FORM_VERSION));
        return value("string");
    }

    bool start_object(std::size_t) override
    {
        if (place_ == BEFORE) {
            place_ = IN_ROOT;
            return true;
        }
        if (place_ == IN_PROFILES) {
            place_ = IN_PROFILE;
            for (std::string& text : texts_)
                text.clear();
            for (bool& seen : fields_)
                seen = false;
            field_ = -1;
            named_ = false;
            return true;
        }
        return value("object");
    }

    bool start_array(std::size_t) override
    {
        if (place_ == IN_ROOT && key_ == "profiles") {
            place_ = IN_PROFILES;
            return true;
        }
        return value("array");
    }

    bool key(string_t& name) override
    {
        if (place_ == IN_ROOT) {
            bool known = name == "version" || name == "profiles";
            if (!known)
                return fail("unknown key " + QuotedUtf8Excerpt(name) + " at the top level");
            bool& seen = name == "version" ? versionSeen_ : profilesSeen_;
            if (seen)
                return fail("key " + QuotedUtf8Excerpt(name) + " is given twice at the top level");
            seen = true;
            key_ = name;
            return true;
        }
        field_ = FieldOfKey(name);
        if (field_ < 0)
            return fail(profilePlace() + ": unknown key " + QuotedUtf8Excerpt(name));
        if (fields_[field_])
            return fail(profilePlace() + ": key " + QuotedUtf8Excerpt(name) + " is given twice");
        fields_[field_] = true;
        return true;
    }

    bool end_object() override
    {
        if (place_ == IN_ROOT) {
            place_ = DONE;
            return true;
        }
        place_ = IN_PROFILES;
        return finishProfile();
    }

    bool end_array() override
    {
        place_ = IN_ROOT;
        return true;
    }

    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& fault) override
    {
        // "[json.exception.parse_error.101] parse error at line 2, column 5: ...": what follows the tag.
        std::string message = fault.what();
        size_t tag = message.find("] ");
        if (!message.empty() && message[0] == '[' && tag != std::string::npos)
            message.erase(0, tag + 2);
        return fail("malformed JSON: " + message);
    }

    // After the parse: what a whole document must have had.
    bool complete()
    {
        if (!error_.empty())
            return false;
        if (place_ != DONE)
            return fail("malformed JSON: no document");
        if (!versionSeen_)
            return fail("the document has no \"version\"");
        if (!profilesSeen_)
            return fail("\"profiles\" must be an array");
        return true;
    }

    const std::string& error() const { return error_; }

private:
    enum Place { BEFORE, IN_ROOT, IN_PROFILES, IN_PROFILE, DONE };

    bool fail(const std::string& message)
    {
        if (error_.empty())
            error_ = message;
        return false;
    }

    std::string profilePlace() const
    {
        return ProfilePlace(profiles_.size(), texts_[FIELD_NAME], named_);
    }

    // A value where the form has another kind, or none: named by where it stands.
    bool value(const char* kind)
    {
        switch (place_) {
        case BEFORE:
            return fail(std::string("the document must be an object, not ") + kind);
        case IN_ROOT:
            if (key_ == "version")
                return fail(std::string("version must be the number ") + std::to_string(TEXT_FORM_VERSION) +
                            ", not " + kind);
            return fail(std::string("\"profiles\" must be an array, not ") + kind);
        case IN_PROFILES:
            return fail(ProfilePlace(profiles_.size(), "", false) + ": an object is needed, not " + kind);
        default:
            return fail(profilePlace() + ", field " + QuotedUtf8Excerpt(FieldKeys[field_]) +
                        ": a string is needed, not " + kind);
        }
    }

    bool version(const std::string& token, bool known)
    {
        if (place_ != IN_ROOT || key_ != "version")
            return value("number");
        return known || fail("version " + token + " is not known; this program reads version " +
                             std::to_string(TEXT_FORM_VERSION));
    }

    bool finishProfile()
    {
        std::string place = profilePlace();
        if (!fields_[FIELD_NAME])
            return fail(place + ": it has no \"name\"");
        std::string texts[FIELD_COUNT];
        for (int field = 0; field < FIELD_COUNT; ++field) {
            const std::string& utf8 = texts_[field];
            std::string where = place + ", field " + QuotedUtf8Excerpt(FieldKeys[field]) + ": ";
            if (utf8.find('\0') != std::string::npos)
                return fail(where + "a null character cannot be stored");
            if (!codePage_.fromUtf8(utf8.data(), utf8.size(), texts[field]))
                return fail(where + "text outside the system code page cannot be stored");
        }
        profiles_.emplace_back();
        int field = 0;
        std::string fault;
        if (!ProfileFromTexts(texts, (uint32_t)(profiles_.size() - 1), profiles_.back(), field, fault)) {
            profiles_.pop_back();
            return fail(place + ", field " + QuotedUtf8Excerpt(FieldKeys[field]) + ": " + fault);
        }
        return true;
    }

    const CodePage& codePage_;
    std::vector<Profile>& profiles_;
    Place place_ = BEFORE;
    std::string key_;
    bool versionSeen_ = false;
    bool profilesSeen_ = false;
    // The profile being read.
    std::string texts_[FIELD_COUNT];
    bool fields_[FIELD_COUNT] = {};
    bool named_ = false;   // its name is known, for the messages
    int field_ = -1;
    std::string error_;
};

// A text that is not UTF-8 text at all: the parser would stop at its first null byte and take
// what stands before it for the whole.
std::string EncodingFault(const unsigned char* bytes, size_t length)
{
    const char* utf16 = "the text is UTF-16 (as Windows PowerShell's > writes it), not UTF-8; save it as UTF-8 "
                        "(Out-File -Encoding utf8) and import that";
    if (length >= 2 && ((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF)))
        return utf16;
    const void* zero = memchr(bytes, 0, length);
    if (!zero)
        return std::string();
    size_t at = (const unsigned char*)zero - bytes;
    // Text of the first 128 characters in UTF-16 without a mark has a zero byte beside every one.
    if (length >= 2 && (bytes[0] == 0) != (bytes[1] == 0))
        return utf16;
    return "a null byte at byte " + std::to_string(at + 1) + "; the text form is UTF-8 text, which holds none";
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
    error = EncodingFault((const unsigned char*)text, length);
    if (!error.empty())
        return false;
    FormReader reader(codePage, profiles);
    bool read = Json::sax_parse(text, text + length, &reader) && reader.complete();
    if (!read) {
        reader.complete();
        error = reader.error();
        profiles.clear();
    }
    return read;
}

void LinkInGivenOrder(std::vector<Profile>& profiles, ProfileList& list)
{
    list.first = nullptr;
    for (size_t i = profiles.size(); i-- > 0;) {
        profiles[i].attach();
        profiles[i].next = list.first;
        list.first = &profiles[i];
    }
}

// Command-line parsing: any command line leaves an argument string after the program's name and
// its blanks, and any argument string gives exactly one of the documented outcomes.
#include <stdint.h>
#include <string.h>
#include <strings.h>
#include <memory>
#include <string>

#include "app/command_line.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

bool IsBlank(unsigned char c)
{
    return c >= 1 && c <= ' ';
}

void CheckProgramNameSkipped(const std::string& commandLine, const char* argument)
{
    const char* start = commandLine.c_str();
    FUZZ_CHECK(argument >= start && argument <= start + commandLine.size());
    FUZZ_CHECK(!IsBlank((unsigned char)*argument));

    // The name: up to the closing quote when it starts with one, else up to a blank.
    size_t skipped = (size_t)(argument - start);
    size_t name = 0;
    if (start[0] == '"') {
        const char* closing = strchr(start + 1, '"');
        name = closing ? (size_t)(closing - start) + 1 : commandLine.size();
    } else {
        while (name < skipped && !IsBlank((unsigned char)start[name]))
            ++name;
    }
    FUZZ_CHECK(name <= skipped);
    for (size_t i = name; i < skipped; ++i)
        FUZZ_CHECK(IsBlank((unsigned char)start[i]));
}

void CheckOutcome(const std::string& argument)
{
    // The working copy holds exactly the argument and its terminator.
    const size_t size = argument.size() + 1;
    std::unique_ptr<char[]> copy(new char[size]);
    memcpy(copy.get(), argument.c_str(), size);
    EntryChoice choice = ReadArgument(copy.get());

    const bool quoted = argument[0] == '"';
    const char* closing = quoted ? strchr(argument.c_str() + 1, '"') : nullptr;
    if (quoted && !closing) {
        FUZZ_CHECK(choice.action == ENTRY_QUOTE_ERROR);
        FUZZ_CHECK(memcmp(copy.get(), argument.c_str(), size) == 0);
        return;
    }

    // Only the closing quote changes, into the end of the text.
    size_t end = quoted ? (size_t)(closing - argument.c_str()) : argument.size();
    for (size_t i = 0; i < size; ++i)
        FUZZ_CHECK(copy[i] == (i == end ? '\0' : argument[i]));
    FUZZ_CHECK(choice.text == copy.get() + (quoted ? 1 : 0));

    const char* text = choice.text;
    size_t length = strlen(text);
    if (length >= 8) {
        bool package = strcasecmp(text + length - 7, ".mwpack") == 0;
        FUZZ_CHECK(choice.action == (package ? ENTRY_LAUNCH : ENTRY_IGNORE));
        FUZZ_CHECK(!choice.wait && !choice.unload);
    } else {
        FUZZ_CHECK(choice.action == ENTRY_RESIDENT);
        FUZZ_CHECK(choice.wait == (strpbrk(text, "aA") != nullptr));
        FUZZ_CHECK(choice.unload == (strpbrk(text, "uU") != nullptr));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A command line is one text: it ends at the first NUL.
    std::string commandLine((const char*)data, strnlen((const char*)data, size));
    const char* argument = SkipProgramName(commandLine.c_str());
    CheckProgramNameSkipped(commandLine, argument);
    CheckOutcome(argument);
    // The whole input as the argument too, so that quotes and letters reach the rules directly.
    CheckOutcome(commandLine);
    return 0;
}

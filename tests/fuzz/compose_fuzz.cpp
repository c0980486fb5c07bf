// Command-line composition: for any object, arguments and buffer size, the result never goes
// past the buffer, is refused (leaving an empty text) exactly when it does not fit, and a
// buffer that is larger only has room to spare.
#include <stdint.h>
#include <string.h>
#include <memory>
#include <string>

#include "launch/launch_rules.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Two bytes of buffer size, then the object and the arguments, separated by a NUL.
    if (size < 2)
        return 0;
    size_t bufferSize = ((size_t)data[0] | (size_t)data[1] << 8) % 1024;
    std::string rest((const char*)data + 2, size - 2);
    std::string object = rest.substr(0, rest.find('\0'));
    std::string arguments = object.size() < rest.size() ? rest.c_str() + object.size() + 1 : "";

    // With room for anything, the documented shape.
    size_t roomy = object.size() + arguments.size() + 4;
    std::unique_ptr<char[]> full(new char[roomy]);
    FUZZ_CHECK(ComposeCommandLine(object.c_str(), arguments.c_str(), full.get(), roomy));
    bool quote = object.find(' ') != std::string::npos;
    std::string shape = quote ? '"' + object + '"' : object;
    if (!arguments.empty())
        shape += ' ' + arguments;
    FUZZ_CHECK(shape == full.get());

    // With exactly bufferSize bytes: the same text when it fits, else refused and empty.
    std::unique_ptr<char[]> buffer(new char[bufferSize]);
    memset(buffer.get(), 'x', bufferSize);
    bool fits = shape.size() + 1 <= bufferSize;
    FUZZ_CHECK(ComposeCommandLine(object.c_str(), arguments.c_str(), buffer.get(), bufferSize) == fits);
    if (fits)
        FUZZ_CHECK(shape == buffer.get());
    else if (bufferSize > 0)
        FUZZ_CHECK(buffer[0] == '\0');

    // Texts that fit their fields always fit the launcher's buffer.
    if (object.size() < 260 && arguments.size() < 260) {
        char line[COMMAND_LINE_SIZE];
        FUZZ_CHECK(ComposeCommandLine(object.c_str(), arguments.c_str(), line, sizeof line));
    }
    return 0;
}

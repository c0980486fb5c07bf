// Type detection and the title rule on any path: only the last three characters decide the type
// and nothing before the text is read; the title is the last part of the path up to its last dot.
#include <stdint.h>
#include <string.h>
#include <memory>

#include "editor/form_rules.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The path in a heap block of its own size, so that reading before or after it is caught.
    size_t length = strnlen((const char*)data, size);
    std::unique_ptr<char[]> block(new char[length + 1]);
    memcpy(block.get(), data, length);
    block[length] = '\0';
    const char* path = block.get();

    DetectedType type = DetectType(path);
    FUZZ_CHECK(type.way == LAUNCH_EXECUTABLE || type.way == LAUNCH_DOCUMENT);
    FUZZ_CHECK(!type.screenSaver || type.way == LAUNCH_EXECUTABLE);
    FUZZ_CHECK(RuleForType(ProfileTypeOf(type.way)) != nullptr);
    if (length >= 3) {
        DetectedType tail = DetectType(path + length - 3);
        FUZZ_CHECK(tail.way == type.way && tail.screenSaver == type.screenSaver);
    } else {
        FUZZ_CHECK(type.way == LAUNCH_DOCUMENT && !type.screenSaver);
    }

    PathParts parts = SplitPath(path);
    FUZZ_CHECK(parts.present == (strchr(path, '\\') != nullptr));
    if (parts.present) {
        FUZZ_CHECK(parts.folderLength < length && path[parts.folderLength] == '\\');
        FUZZ_CHECK(parts.file == path + parts.folderLength + 1 && !strchr(parts.file, '\\'));
    }

    size_t start = 0, span = 0;
    TitleSpan(path, &start, &span);
    FUZZ_CHECK(start <= length && span <= length - start);
    FUZZ_CHECK(start == 0 || path[start - 1] == '\\');
    FUZZ_CHECK(!memchr(path + start, '\\', length - start));
    const char* after = path + start + span;
    FUZZ_CHECK(*after == '\0' ? !memchr(path + start, '.', span) : *after == '.' && !strchr(after + 1, '.'));
    return 0;
}

#include "tray/launch_report.h"

#include <string.h>

#include "base/bounded_format.h"
#include "base/message_text.h"
#include "tray/tray_icon.h"

namespace {

// Appends the line when it fits whole; false, and the text as it was, when it does not.
bool AppendLine(char* text, size_t size, const char* line)
{
    size_t used = strlen(text);
    return FormatBounded(text + used, size - used, "%s%s", used ? "\n" : "", line);
}

}  // namespace

void DescribeLaunchFailures(const char* package, const LaunchFailures& failures, char* title, size_t titleSize,
                            char* text, size_t textSize)
{
    char shortName[QUOTE_LIMIT + 1];
    ShortenValue(package, QUOTE_LIMIT, shortName, sizeof shortName);
    if (!FormatBounded(title, titleSize, "Not started from %s", shortName))
        lstrcpynA(title, "Not started", (int)titleSize);

    text[0] = '\0';
    unsigned listed = 0;
    unsigned kept = failures.count < LaunchFailures::KEPT ? failures.count : (unsigned)LaunchFailures::KEPT;
    for (; listed < kept; ++listed) {
        char name[QUOTE_LIMIT + 1], cause[128], line[QUOTE_LIMIT + 2 + sizeof cause];
        ShortenValue(failures.kept[listed].name, QUOTE_LIMIT, name, sizeof name);
        DescribeError(failures.kept[listed].error, cause, sizeof cause);
        FormatBounded(line, sizeof line, "%s: %s", name, cause);
        if (!AppendLine(text, textSize, line))
            break;
    }
    if (listed < failures.count) {
        char more[48];
        FormatBounded(more, sizeof more, "and %u more", failures.count - listed);
        // The last line gives way when "and N more" does not fit after it.
        while (!AppendLine(text, textSize, more) && text[0] != '\0') {
            char* lastBreak = strrchr(text, '\n');
            *(lastBreak ? lastBreak : text) = '\0';
            FormatBounded(more, sizeof more, "and %u more", failures.count - --listed);
        }
    }
}

void ReportLaunchFailures(HWND window, const char* package, const LaunchFailures& failures)
{
    if (failures.count == 0)
        return;
    char title[64], text[256];
    DescribeLaunchFailures(package, failures, title, sizeof title, text, sizeof text);
    ShowTrayBalloon(window, title, text);
}

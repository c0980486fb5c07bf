#include <gtest/gtest.h>
#include <string>

#include "launch/launch_rules.h"
#include "store/profile.h"

namespace {

std::string Compose(const std::string& object, const std::string& arguments, size_t size = COMMAND_LINE_SIZE)
{
    char buffer[2048];
    EXPECT_LE(size, sizeof buffer);
    if (!ComposeCommandLine(object.c_str(), arguments.c_str(), buffer, size))
        return "<refused>";
    return buffer;
}

TEST(ResolveLaunchWay, ExactTextsOnly)
{
    EXPECT_EQ(ResolveLaunchWay("Auto"), LAUNCH_AUTO);
    EXPECT_EQ(ResolveLaunchWay("Executable"), LAUNCH_EXECUTABLE);
    EXPECT_EQ(ResolveLaunchWay("Document/URL"), LAUNCH_DOCUMENT);
    EXPECT_EQ(ResolveLaunchWay("executable"), LAUNCH_AUTO);
    EXPECT_EQ(ResolveLaunchWay("document/url"), LAUNCH_AUTO);
    EXPECT_EQ(ResolveLaunchWay(""), LAUNCH_AUTO);
    EXPECT_EQ(ResolveLaunchWay("Executable "), LAUNCH_AUTO);
}

TEST(ResolveShowCommand, ExactTextsOnly)
{
    EXPECT_EQ(ResolveShowCommand("Normal"), 1);
    EXPECT_EQ(ResolveShowCommand("Minimize"), 6);
    EXPECT_EQ(ResolveShowCommand("Maximize"), 3);
    EXPECT_EQ(ResolveShowCommand("maximize"), 1);
    EXPECT_EQ(ResolveShowCommand(""), 1);
}

TEST(ComposeCommandLine, QuotesOnlyForABlank)
{
    EXPECT_EQ(Compose("C:\\x.exe", ""), "C:\\x.exe");
    EXPECT_EQ(Compose("C:\\My Apps\\x.exe", ""), "\"C:\\My Apps\\x.exe\"");
    EXPECT_EQ(Compose("C:\\tab\there.exe", ""), "C:\\tab\there.exe");
    EXPECT_EQ(Compose("\"C:\\My Apps\\x.exe\"", ""), "\"\"C:\\My Apps\\x.exe\"\"");
}

TEST(ComposeCommandLine, ArgumentsAfterExactlyOneBlankUnchanged)
{
    EXPECT_EQ(Compose("x.exe", "-a  \"b c\" "), "x.exe -a  \"b c\" ");
    EXPECT_EQ(Compose("my x.exe", " lead"), "\"my x.exe\"  lead");
}

TEST(ComposeCommandLine, LongestFieldsFitTheBuffer)
{
    std::string object = "C:\\" + std::string(251, 'o') + " .exe";   // 259 with a blank
    std::string arguments(259, 'a');
    ASSERT_EQ(object.size(), 259u);
    std::string line = Compose(object, arguments);
    EXPECT_EQ(line.size() + 1, 522u);   // with its terminator
    EXPECT_EQ(line, "\"" + object + "\" " + arguments);
}

TEST(ComposeCommandLine, RefusesWhatDoesNotFit)
{
    EXPECT_EQ(Compose("abc", "de", 6), "<refused>");
    EXPECT_EQ(Compose("abc", "de", 7), "abc de");
    EXPECT_EQ(Compose("a b", "", 5), "<refused>");
    EXPECT_EQ(Compose("a b", "", 6), "\"a b\"");
}

}  // namespace

TEST(StartFolder, DirectoryElseTheObjectsFolderElseNone)
{
    char buffer[FIELD_SIZE];
    auto folder = [&buffer](const char* object, const char* directory) {
        const char* chosen = StartFolder(object, directory, buffer, sizeof buffer);
        return chosen ? std::string(chosen) : std::string("<none>");
    };
    EXPECT_EQ(folder("C:\\Mail\\mail.exe", "D:\\Work"), "D:\\Work");
    EXPECT_EQ(folder("C:\\Mail\\mail.exe", ""), "C:\\Mail");
    EXPECT_EQ(folder("\"C:\\My Mail\\mail.exe\"", ""), "C:\\My Mail");
    EXPECT_EQ(folder("C:/Mail/bin\\mail.exe", ""), "C:/Mail/bin");
    EXPECT_EQ(folder("\\\\server\\share\\mail.exe", ""), "\\\\server\\share");
    EXPECT_EQ(folder("C:\\mail.exe", ""), "C:\\");
    EXPECT_EQ(folder("\\mail.exe", ""), "\\");
    EXPECT_EQ(folder("C:mail.exe", ""), "C:");
    EXPECT_EQ(folder("tools\\mail.exe", ""), "tools");
    EXPECT_EQ(folder("mail.exe", ""), "<none>");
    EXPECT_EQ(folder("", ""), "<none>");
    EXPECT_EQ(StartFolder("C:\\Mail\\mail.exe", "", buffer, 7), nullptr);   // "C:\Mail" needs 8
}

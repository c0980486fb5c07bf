#include <gtest/gtest.h>

#include "mwpack/program_match.h"

namespace {

Profile Starting(const char* type, const char* object, const char* arguments = "", const char* command = "")
{
    const char* texts[FIELD_COUNT] = { "name", command, object, "", arguments, type, "Normal" };
    return Profile(texts, 0);
}

const char TOOL[] = "C:\\Program Files\\Tools\\tool.exe";
const char TOOL_LINE[] = "\"C:\\Program Files\\Tools\\tool.exe\"";

TEST(MatchProgram, TheSameFileWhateverTheLetterCaseOrFormOfItsPath)
{
    Profile tool = Starting("Executable", TOOL);
    for (const char* same : { "c:\\program files\\TOOLS\\Tool.EXE", "C:/Program Files/Tools/tool.exe",
                              "C:\\\\Program Files\\Tools\\\\tool.exe", "C:\\Program Files\\.\\Old\\..\\Tools\\tool.exe",
                              "C:\\..\\Program Files\\Tools\\tool.exe", "\\\\?\\C:\\Program Files\\Tools\\tool.exe",
                              "\"C:\\Program Files\\Tools\\tool.exe\"" })
        EXPECT_EQ(MatchProgram(tool, TOOL, same, TOOL_LINE), MATCH_SAME) << same;
    for (const char* other : { "C:\\Program Files\\Tools\\tool.exe.old", "D:\\Program Files\\Tools\\tool.exe",
                               "C:\\Program Files\\tool.exe", "C:\\Program Files\\Tools\\x\\..\\..\\tool.exe",
                               "\\\\server\\share\\Program Files\\Tools\\tool.exe", "tool.exe", "" })
        EXPECT_EQ(MatchProgram(tool, TOOL, other, TOOL_LINE), MATCH_OTHER) << other;

    Profile shared = Starting("Executable", "\\\\server\\share\\x.exe");
    for (const char* same : { "\\\\?\\UNC\\server\\share\\x.exe", "//SERVER/share/dir/../x.exe", "\\\\server\\share\\..\\x.exe" })
        EXPECT_EQ(MatchProgram(shared, shared.object(), same, "x.exe"), MATCH_SAME) << same;
    Profile accented = Starting("Executable", "C:\\R\xE9sum\xE9\\x.exe");
    EXPECT_EQ(MatchProgram(accented, accented.object(), "c:\\r\xC9SUM\xC9\\X.exe", "x"), MATCH_SAME);
}

TEST(MatchProgram, ArgumentsAsTheLauncherComposesThemAgainstTheLineWithoutItsProgram)
{
    Profile tool = Starting("Executable", TOOL, "-a  \"b c\"");
    for (const char* same : { "\"C:\\Program Files\\Tools\\tool.exe\" -a  \"b c\"", "tool -a  \"b c\"",
                              "\"tool.exe\"\t  -a  \"b c\"" })
        EXPECT_EQ(MatchProgram(tool, TOOL, TOOL, same), MATCH_SAME) << same;
    for (const char* other : { "tool -a \"b c\"", "tool -A  \"b c\"", "tool -a  \"b c\" ", "tool", "",
                               "\"C:\\Program Files\\Tools\\tool.exe -a  \"b c\"" })
        EXPECT_EQ(MatchProgram(tool, TOOL, TOOL, other), MATCH_OTHER) << other;

    // The line that could not be read leaves the file alone to decide.
    EXPECT_EQ(MatchProgram(tool, TOOL, TOOL, nullptr), MATCH_SAME_FILE);
    EXPECT_EQ(MatchProgram(tool, TOOL, "C:\\other.exe", nullptr), MATCH_OTHER);

    // The launcher puts one blank between object and arguments; the blanks the arguments start with
    // stay after the program part.
    Profile spaced = Starting("Executable", "C:\\x.exe", "  -x");
    EXPECT_EQ(MatchProgram(spaced, spaced.object(), "C:\\x.exe", "x.exe -x"), MATCH_SAME);
    Profile bare = Starting("Executable", "C:\\x.exe");
    EXPECT_EQ(MatchProgram(bare, bare.object(), "C:\\x.exe", "\"C:\\x.exe\"   "), MATCH_SAME);
}

TEST(MatchProgram, OnlyProfilesThatStartAProgramOfTheirOwnCanTell)
{
    // The shell starts a program file of an Auto or Document/URL profile without arguments.
    Profile automatic = Starting("Auto", TOOL, "-never-passed");
    EXPECT_EQ(MatchProgram(automatic, TOOL, TOOL, "\"C:\\Program Files\\Tools\\tool.exe\" "), MATCH_SAME);
    EXPECT_EQ(MatchProgram(automatic, TOOL, TOOL, "tool -never-passed"), MATCH_OTHER);
    Profile opened = Starting("Document/URL", TOOL, "", "open");
    EXPECT_EQ(MatchProgram(opened, TOOL, TOOL, TOOL_LINE), MATCH_SAME);
    Profile saver = Starting("Executable", "C:\\x\\saver.scr", "/S");
    EXPECT_EQ(MatchProgram(saver, saver.object(), "C:\\x\\saver.scr", "saver.scr /S"), MATCH_SAME);

    for (const Profile& unknown : { Starting("Document/URL", "http://example.org/", "", "open"),
                                    Starting("Auto", "C:\\notes.txt"), Starting("Auto", "C:\\x\\saver.scr"),
                                    Starting("executable", "C:\\notes.txt", "-x"), Starting("Executable", "") }) {
        EXPECT_EQ(MatchProgram(unknown, unknown.object(), unknown.object(), unknown.object()), MATCH_CANNOT_TELL)
            << unknown.object();
        EXPECT_EQ(MatchProgram(unknown, unknown.object(), "", nullptr), MATCH_CANNOT_TELL) << unknown.object();
    }
}

}  // namespace

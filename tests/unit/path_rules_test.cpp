#include <gtest/gtest.h>
#include <string>

#include "store/path_rules.h"

namespace {

TEST(DetectType, LastThreeLettersInEitherCaseWithoutNeedingADot)
{
    const char* executables[] = { "C:\\a.exe", "C:\\A.EXE", "x.ExE", "C:\\edit.com", "C:\\Data\\telecom", "exe",
                                  "C:\\tools\\nodotexe" };
    for (const char* path : executables) {
        DetectedType type = DetectType(path);
        EXPECT_EQ(type.way, LAUNCH_EXECUTABLE) << path;
        EXPECT_FALSE(type.screenSaver) << path;
    }
    const char* savers[] = { "C:\\Savers\\Stars.scr", "STARS.SCR", "scr" };
    for (const char* path : savers) {
        DetectedType type = DetectType(path);
        EXPECT_EQ(type.way, LAUNCH_EXECUTABLE) << path;
        EXPECT_TRUE(type.screenSaver) << path;
    }
    const char* documents[] = { "C:\\a.lnk", "C:\\Games", "C:\\", "C:\\a.ex", "C:\\a.exe ", "C:\\a.exf",
                                "C:\\a.scx", "http://example.org/", "ex", "e", "" };
    for (const char* path : documents) {
        DetectedType type = DetectType(path);
        EXPECT_EQ(type.way, LAUNCH_DOCUMENT) << path;
        EXPECT_FALSE(type.screenSaver) << path;
    }
}

TEST(DetectType, ShortTextsAreReadOnlyWithinTheirBounds)
{
    // The characters before each text would make "exe" if they were read.
    const char memory[] = "exe";
    EXPECT_EQ(DetectType(memory + 1).way, LAUNCH_DOCUMENT);
    EXPECT_EQ(DetectType(memory + 2).way, LAUNCH_DOCUMENT);
}

std::string Folder(const char* path)
{
    PathParts parts = SplitPath(path);
    return parts.present ? std::string(path, parts.folderLength) : "<absent>";
}

std::string File(const char* path)
{
    PathParts parts = SplitPath(path);
    return parts.present ? parts.file : "<absent>";
}

TEST(SplitPath, AroundTheLastBackslash)
{
    EXPECT_EQ(Folder("C:\\Tools\\Calc.EXE"), "C:\\Tools");
    EXPECT_EQ(File("C:\\Tools\\Calc.EXE"), "Calc.EXE");
    EXPECT_EQ(Folder("D:\\setup.exe"), "D:");
    EXPECT_EQ(Folder("C:\\"), "C:");
    EXPECT_EQ(File("C:\\"), "");
    EXPECT_EQ(Folder("\\\\server\\share\\a.doc"), "\\\\server\\share");
    EXPECT_EQ(Folder("ab"), "<absent>");
    EXPECT_EQ(File("ab"), "<absent>");
}

std::string Title(const char* path)
{
    size_t start = 0, length = 0;
    TitleSpan(path, &start, &length);
    return std::string(path + start, length);
}

TEST(TitleSpan, LastPartWithoutItsExtension)
{
    EXPECT_EQ(Title("C:\\Apps\\Packages\\Work.mwpack"), "Work");
    EXPECT_EQ(Title("C:\\Apps\\Packages\\a.b.mwpack"), "a.b");
    EXPECT_EQ(Title("D:\\Stuff\\My.Work.mwpack"), "My.Work");
    EXPECT_EQ(Title("C:\\Apps\\Packages\\.mwpack"), "");
    EXPECT_EQ(Title("Work.mwpack"), "Work");
    // No dot in the last part: all of it, never text from the folders.
    EXPECT_EQ(Title("C:\\My.Dir\\Work"), "Work");
    EXPECT_EQ(Title("Work"), "Work");
    EXPECT_EQ(Title("C:\\Dir\\"), "");
}

}  // namespace

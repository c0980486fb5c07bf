// mwpack's commands run in-process on real files: exit codes, messages, and files that change
// only when a command succeeds.
#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <string>
#include <vector>

#include "tests/unit/mwpack_fixture.h"

using namespace testing_support;

namespace {

TEST_F(MwpackCommands, UsageErrorsGiveTwoAndAMessageOnly)
{
    const Arguments cases[] = {
        { "frobnicate" },
        { "show" },
        { "show", "a", "b" },
        { "list", "--bogus" },
        { "export", "a", "--json" },
        { "add", "P", "--name", "n", "--type", "Program", "--object", "x.exe" },
        { "add", "P", "--name", "n", "--object", "x.exe" },
        { "add", "P", "--name", "n", "--type", "Auto", "--object", "x", "--window", "Hidden" },
        { "add", "P", "--name", std::string(260, 'n'), "--type", "Auto", "--object", "x" },
        { "add", "P", "--name", "n", "--name", "m", "--type", "Auto", "--object", "x" },
        { "shortcut", "P", "--desktop", "--to", "C:\\" },
        { "check", "P", "--to" },
        { "set", "P", "n" },
        { "set", "P", "n", "--window", "Hidden" },
        { "help", "frobnicate" },
    };
    for (const Arguments& arguments : cases) {
        Outcome outcome = Run(arguments);
        EXPECT_EQ(outcome.code, EXIT_USAGE) << arguments[0] << " " << outcome.errors;
        EXPECT_NE(outcome.errors.find("mwpack: "), std::string::npos) << arguments[0];
        EXPECT_EQ(outcome.output, "") << arguments[0];
    }
    BufferConsole console;
    EXPECT_EQ(RunMwpack({}, console), EXIT_USAGE);
    EXPECT_EQ(GetFileAttributesA(Path("P.mwpack").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(MwpackCommands, EveryCommandHasHelp)
{
    for (const char* command : { "list", "show", "export", "import", "new", "delete", "rename", "copy", "add", "set",
                                 "remove", "check", "shortcut", "launch" }) {
        for (const Arguments& asked : { Arguments{ command, "--help" }, Arguments{ "help", command } }) {
            Outcome outcome = Run(asked);
            EXPECT_EQ(outcome.code, EXIT_OK) << command;
            EXPECT_EQ(outcome.output.find(std::string("Usage: mwpack ") + command), 0u) << command;
            EXPECT_NE(outcome.output.find("Exit codes"), std::string::npos) << command;
        }
    }
    Outcome overview = Run({ "--help" });
    EXPECT_EQ(overview.code, EXIT_OK);
    EXPECT_NE(overview.output.find("mwpack shortcut PACKAGE"), std::string::npos);
    EXPECT_EQ(Run({ "help" }).output, overview.output);
    Outcome version = Run({ "--version" });
    EXPECT_EQ(version.code, EXIT_OK);
    EXPECT_EQ(version.output.find("mwpack "), 0u);
    EXPECT_NE(version.output.find("MIT License"), std::string::npos);
}

TEST_F(MwpackCommands, GlobalOptionsGoBeforeOrAfterAndTakeEqualsValues)
{
    BufferConsole console;
    ASSERT_EQ(RunMwpack({ "--folder=" + folder, "add", "--name=Mail", "--type", "Executable",
                          "--object=C:\\Mail\\mail.exe", "Work" },
                        console),
              EXIT_OK)
        << console.errors;
    EXPECT_EQ(console.output, "made the new package " + Path("Work.mwpack") + "\n");
    BufferConsole listed;
    EXPECT_EQ(RunMwpack({ "--folder", folder, "list" }, listed), EXIT_OK);
    EXPECT_EQ(listed.output, "Work  1 profile\n");
    Outcome flagValue = Run({ "list", "--json=yes" });
    EXPECT_EQ(flagValue.code, EXIT_USAGE);
}

TEST_F(MwpackCommands, ExportThenImportGivesTheSameFile)
{
    std::vector<RecordSpec> records;
    const char* names[] = { "alpha", "Alpha", "alpha", "B\xE9ta", "b\xC9TA", "\x01\x7F\xFF" };
    for (size_t i = 0; i < 6; ++i) {
        RecordSpec record;
        record.name = names[i];
        record.object = std::string(i == 0 ? 259 : i, 'o');
        record.arguments = i % 2 ? "\"quoted\" \\ \t tab" : "";
        record.type = i % 3 == 0 ? "Executable" : "Document/URL";
        record.window = i % 2 ? "Minimize" : "Normal";
        records.push_back(record);
    }
    std::string original = EncodePackage(records);
    WriteFileBytes(Path("Original.mwpack"), original);
    // The editor's own order first: a rewrite through the store, as every editor change does.
    ASSERT_EQ(Run({ "remove", "Original", "none" }).code, EXIT_PROBLEMS);
    ASSERT_EQ(Run({ "add", "Original", "--name", "x", "--type", "Auto", "--object", "o" }).code, EXIT_OK);
    ASSERT_EQ(Run({ "remove", "Original", "x" }).code, EXIT_OK);
    std::string editorBytes = ReadFileBytes(Path("Original.mwpack"));
    ASSERT_EQ(editorBytes.size(), original.size());

    Outcome exported = Run({ "export", "Original", Path("copy.json") });
    ASSERT_EQ(exported.code, EXIT_OK) << exported.errors;
    Outcome imported = Run({ "import", Path("copy.json"), "Copy" });
    ASSERT_EQ(imported.code, EXIT_OK) << imported.errors;
    EXPECT_TRUE(ReadFileBytes(Path("Copy.mwpack")) == editorBytes);

    // Standard output carries the same text.
    EXPECT_EQ(Run({ "export", "Original" }).output, ReadFileBytes(Path("copy.json")));
}

TEST_F(MwpackCommands, ImportKeepsTheTextsOrderAddReplacesAndRemoveTakesOut)
{
    std::string json = Json("{\"name\": \"zeta\", \"object\": \"z\"}, {\"name\": \"Alpha\", \"object\": \"a\"},"
                            "{\"name\": \"beta\", \"object\": \"b\"}");
    ASSERT_EQ(Run({ "import", json, "Team" }).code, EXIT_OK);
    EXPECT_EQ(StoredNames(Path("Team.mwpack")), (std::vector<std::string>{ "zeta", "Alpha", "beta" }));

    ASSERT_EQ(Run({ "add", "Team", "--name", "beta", "--type", "Executable", "--object", "new.exe", "--arguments",
                    "-x" })
                  .code,
              EXIT_OK);
    Outcome shown = Run({ "show", "Team" });
    EXPECT_EQ(shown.code, EXIT_OK);
    EXPECT_NE(shown.output.find("3 profiles in launch order"), std::string::npos);
    EXPECT_NE(shown.output.find("object:    new.exe\n  directory: \n  arguments: -x\n  type:      Executable"),
              std::string::npos)
        << shown.output;
    EXPECT_EQ(shown.output.find("object:    b\n"), std::string::npos);

    ASSERT_EQ(Run({ "remove", "Team", "Alpha" }).code, EXIT_OK);
    Outcome missing = Run({ "remove", "Team", "alpha" });
    EXPECT_EQ(missing.code, EXIT_PROBLEMS);
    EXPECT_NE(missing.errors.find("has no profile named \"alpha\""), std::string::npos);
    EXPECT_EQ(StoredNames(Path("Team.mwpack")), (std::vector<std::string>{ "beta", "zeta" }));

    Outcome listed = Run({ "list" });
    EXPECT_EQ(listed.code, EXIT_OK);
    EXPECT_EQ(listed.output, "Team  2 profiles\n");
    Outcome listedJson = Run({ "list", "--json" });
    EXPECT_NE(listedJson.output.find("\"name\": \"Team\""), std::string::npos);
    EXPECT_NE(listedJson.output.find("\"profiles\": 2"), std::string::npos);
}

TEST_F(MwpackCommands, ShowJsonGivesLaunchOrder)
{
    WriteFileBytes(Path("Order.mwpack"), EncodePackage({ RecorderRecord("", "b"), RecorderRecord("", "A"),
                                                         RecorderRecord("", "a") }));
    Outcome shown = Run({ "show", "Order", "--json" });
    ASSERT_EQ(shown.code, EXIT_OK);
    size_t upper = shown.output.find("\"A\""), lower = shown.output.find("\"a\""), b = shown.output.find("\"b\"");
    ASSERT_NE(b, std::string::npos);
    EXPECT_LT(upper, lower);
    EXPECT_LT(lower, b);
}

TEST_F(MwpackCommands, BadInputChangesNoFile)
{
    std::string before = EncodePackage({ RecorderRecord("1", "keep") });
    WriteFileBytes(Path("Keep.mwpack"), before);
    std::string tooLong = std::string(260, 'x');
    const std::string inputs[] = {
        "{\"version\": 1, \"profiles\": [",
        "{\"version\": 1, \"profiles\": [{\"name\": 1}]}",
        "{\"version\": 1, \"profiles\": [{\"name\": \"n\", \"object\": \"" + tooLong + "\"}]}",
        "{\"version\": 9, \"profiles\": []}",
        "{\"version\": 1, \"profiles\": [{\"name\": \"\xE2\x82\xAC\xE6\x97\xA5\"}]}",
    };
    for (const std::string& input : inputs) {
        WriteFileBytes(Path("bad.json"), input);
        for (const char* target : { "Keep", "New" }) {
            Outcome outcome = Run({ "import", Path("bad.json"), target });
            EXPECT_EQ(outcome.code, EXIT_PROBLEMS) << input;
            EXPECT_NE(outcome.errors.find("; nothing was written"), std::string::npos) << outcome.errors;
        }
        EXPECT_TRUE(ReadFileBytes(Path("Keep.mwpack")) == before) << input;
        EXPECT_EQ(GetFileAttributesA(Path("New.mwpack").c_str()), INVALID_FILE_ATTRIBUTES) << input;
    }
    Outcome noFile = Run({ "import", Path("absent.json"), "Keep" });
    EXPECT_EQ(noFile.code, EXIT_PROBLEMS);
    EXPECT_NE(noFile.errors.find("absent.json cannot be opened"), std::string::npos);
}

TEST_F(MwpackCommands, PackageHeldByAnEditorIsNeitherWrittenNorReadHalfDone)
{
    std::string before = EncodePackage({ RecorderRecord("1", "keep") });
    WriteFileBytes(Path("Held.mwpack"), before);
    std::string json = Json("{\"name\": \"new\"}");
    HANDLE editor = CreateFileA(Path("Held.mwpack").c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                OPEN_ALWAYS, 0, nullptr);
    ASSERT_NE(editor, INVALID_HANDLE_VALUE);
    const Arguments writes[] = {
        { "import", json, "Held" },
        { "add", "Held", "--name", "n", "--type", "Auto", "--object", "o" },
        { "remove", "Held", "keep" },
    };
    for (const Arguments& arguments : writes) {
        Outcome outcome = Run(arguments);
        EXPECT_EQ(outcome.code, EXIT_PROBLEMS) << arguments[0];
        EXPECT_NE(outcome.errors.find("Held.mwpack is open in the package editor or another program"),
                  std::string::npos)
            << outcome.errors;
    }
    EXPECT_EQ(Run({ "show", "Held" }).code, EXIT_PROBLEMS);
    EXPECT_EQ(Run({ "check", "Held" }).code, EXIT_PROBLEMS);
    CloseHandle(editor);
    EXPECT_TRUE(ReadFileBytes(Path("Held.mwpack")) == before);
    EXPECT_EQ(Run({ "show", "Held" }).code, EXIT_OK);
}

TEST_F(MwpackCommands, MissingFolderOrPackageIsNamed)
{
    std::string gone = folder + "\\gone";
    BufferConsole console;
    EXPECT_EQ(RunMwpack({ "list", "--folder", gone }, console), EXIT_PROBLEMS);
    EXPECT_NE(console.errors.find("the packages folder " + gone + " does not exist"), std::string::npos);

    std::string json = Json("{\"name\": \"n\"}");
    Outcome import = Run({ "import", json, gone + "\\P.mwpack" });
    EXPECT_EQ(import.code, EXIT_PROBLEMS);
    EXPECT_NE(import.errors.find("the folder of " + gone + "\\P.mwpack does not exist"), std::string::npos);
    EXPECT_EQ(GetFileAttributesA(gone.c_str()), INVALID_FILE_ATTRIBUTES);

    Outcome show = Run({ "show", "Absent" });
    EXPECT_EQ(show.code, EXIT_PROBLEMS);
    EXPECT_NE(show.errors.find(Path("Absent.mwpack") + " does not exist"), std::string::npos) << show.errors;
    EXPECT_EQ(Run({ "remove", "Absent", "x" }).code, EXIT_PROBLEMS);
    EXPECT_EQ(GetFileAttributesA(Path("Absent.mwpack").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(MwpackCommands, CheckExitsOneOnlyForWhatStopsAStartAndChecksEveryPackage)
{
    WriteFileBytes(Path("Clean.mwpack"), EncodePackage({ RecorderRecord("1") }));
    WriteFileBytes(Path("Odd.mwpack"), EncodePackage({ RecorderRecord("1", "x"), RecorderRecord("2", "x") }) + "tail");
    Outcome clean = Run({ "check", "Clean" });
    EXPECT_EQ(clean.code, EXIT_OK) << clean.output;
    EXPECT_EQ(clean.output, Path("Clean.mwpack") + ": no problems found\n");

    Outcome odd = Run({ "check", "Clean", "Odd" });
    EXPECT_EQ(odd.code, EXIT_OK) << odd.output;
    EXPECT_NE(odd.output.find(Path("Odd.mwpack") + ": note: its size, 3684 bytes,"), std::string::npos) << odd.output;
    EXPECT_NE(odd.output.find(Path("Odd.mwpack") + ": note: profile 2 \"x\": the same name as profile 1"),
              std::string::npos);
    EXPECT_NE(odd.output.find(Path("Odd.mwpack") + ": no problems found, 2 notes\n"), std::string::npos);

    RecordSpec lost = RecorderRecord("3", "lost");
    lost.object = folder + "\\absent.exe";
    WriteFileBytes(Path("Lost.mwpack"), EncodePackage({ lost }));
    Outcome every = Run({ "check" });
    EXPECT_EQ(every.code, EXIT_PROBLEMS);
    for (const char* name : { "Clean", "Lost", "Odd" })
        EXPECT_NE(every.output.find(Path(name) + ".mwpack: "), std::string::npos) << name;
    EXPECT_NE(every.output.find("profile 1 \"lost\": object"), std::string::npos) << every.output;

    Outcome json = Run({ "check", "Odd", "Lost", "--json" });
    EXPECT_EQ(json.code, EXIT_PROBLEMS);
    EXPECT_NE(json.output.find("\"kind\": \"partial-record\",\n          \"severity\": \"note\""), std::string::npos);
    EXPECT_NE(json.output.find("\"kind\": \"missing-object\",\n          \"severity\": \"problem\""),
              std::string::npos)
        << json.output;
}

TEST_F(MwpackCommands, PackagesAreMadeCopiedRenamedAndDeletedWithoutOverwriting)
{
    ASSERT_EQ(Run({ "new", "Work" }).code, EXIT_OK);
    EXPECT_EQ(ReadFileBytes(Path("Work.mwpack")), "");
    EXPECT_EQ(Run({ "new", "Work" }).code, EXIT_PROBLEMS);
    std::string bytes = EncodePackage({ RecorderRecord("1", "one") });
    WriteFileBytes(Path("Work.mwpack"), bytes);

    ASSERT_EQ(Run({ "copy", "Work", "Copy" }).code, EXIT_OK);
    EXPECT_TRUE(ReadFileBytes(Path("Copy.mwpack")) == bytes);
    Outcome copyOver = Run({ "copy", "Work", "Copy" });
    EXPECT_EQ(copyOver.code, EXIT_PROBLEMS);
    EXPECT_NE(copyOver.errors.find("Copy.mwpack already exists"), std::string::npos) << copyOver.errors;
    EXPECT_EQ(Run({ "rename", "Work", "Copy" }).code, EXIT_PROBLEMS);
    ASSERT_EQ(Run({ "rename", "Copy", "Home" }).code, EXIT_OK);
    EXPECT_TRUE(ReadFileBytes(Path("Home.mwpack")) == bytes);
    EXPECT_EQ(GetFileAttributesA(Path("Copy.mwpack").c_str()), INVALID_FILE_ATTRIBUTES);

    // Export never writes its text over a package unless told to.
    Outcome exported = Run({ "export", "Work", Path("Home.mwpack") });
    EXPECT_EQ(exported.code, EXIT_PROBLEMS);
    EXPECT_NE(exported.errors.find("--force"), std::string::npos);
    EXPECT_TRUE(ReadFileBytes(Path("Home.mwpack")) == bytes);
    EXPECT_EQ(Run({ "export", "Work", Path("Home.mwpack"), "--force" }).code, EXIT_OK);

    HANDLE editor = CreateFileA(Path("Work.mwpack").c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(Run({ "delete", "Work" }).code, EXIT_PROBLEMS);
    EXPECT_EQ(Run({ "rename", "Work", "Else" }).code, EXIT_PROBLEMS);
    CloseHandle(editor);
    EXPECT_TRUE(ReadFileBytes(Path("Work.mwpack")) == bytes);
    EXPECT_EQ(Run({ "delete", "Work" }).code, EXIT_OK);
    EXPECT_EQ(GetFileAttributesA(Path("Work.mwpack").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(Run({ "delete", Path("in.json") }).code, EXIT_PROBLEMS);
}

TEST_F(MwpackCommands, NamesThatCannotNameAFileMakeNoFile)
{
    std::string json = Json("");
    WriteFileBytes(Path("Work.mwpack"), "");
    for (const char* name : { "", "   ", "CON", "con.mwpack", "Lpt1", "a<b", "a|b", "what?", "end." }) {
        const Arguments commands[] = {
            { "new", name },
            { "import", json, name },
            { "add", name, "--name", "n", "--type", "Auto", "--object", "o" },
            { "copy", "Work", name },
            { "rename", "Work", name },
        };
        for (const Arguments& arguments : commands) {
            Outcome outcome = Run(arguments);
            EXPECT_EQ(outcome.code, EXIT_USAGE) << arguments[0] << " \"" << name << "\"";
            EXPECT_NE(outcome.errors.find("mwpack: \""), std::string::npos) << outcome.errors;
        }
    }
    EXPECT_EQ(Run({ "new", "COM10" }).code, EXIT_OK);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(Path("*").c_str(), &found);
    std::vector<std::string> files;
    do
        files.push_back(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{ ".", "..", "COM10.mwpack", "Work.mwpack", "in.json" }));
}

TEST_F(MwpackCommands, SetChangesOnlyTheGivenFields)
{
    WriteFileBytes(Path("Team.mwpack"), EncodePackage({ RecorderRecord("1", "alpha"), RecorderRecord("2", "beta") }));
    ASSERT_EQ(Run({ "set", "Team", "alpha", "--arguments", "", "--window=Maximize" }).code, EXIT_OK);
    ASSERT_EQ(Run({ "set", "Team", "beta", "--name", "Aardvark" }).code, EXIT_OK);
    std::string bytes = ReadFileBytes(Path("Team.mwpack"));
    EXPECT_EQ(RecordNames(bytes), (std::vector<std::string>{ "Aardvark", "alpha" }));
    RecordSpec first = RecorderRecord("2", "Aardvark"), second = RecorderRecord("", "alpha");
    second.window = "Maximize";
    EXPECT_TRUE(bytes == EncodePackage({ first, second }));

    Outcome missing = Run({ "set", "Team", "Alpha", "--object", "x" });
    EXPECT_EQ(missing.code, EXIT_PROBLEMS);
    EXPECT_NE(missing.errors.find("has no profile named \"Alpha\""), std::string::npos);
    EXPECT_EQ(Run({ "set", "Team", "alpha", "--name", "" }).code, EXIT_USAGE);
    EXPECT_TRUE(ReadFileBytes(Path("Team.mwpack")) == bytes);
}

TEST_F(MwpackCommands, PackageTooBigToReadWholeIsNeverWrittenOver)
{
    // A size beyond what the store reads whole: sparse, so it takes no disk space.
    std::string path = Path("Big.mwpack");
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD done = 0;
    WriteFile(file, "keep", 4, &done, nullptr);
    LONG high = 0;
    SetFilePointer(file, 0x7FFFF000, &high, FILE_BEGIN);
    ASSERT_TRUE(SetEndOfFile(file));
    CloseHandle(file);
    const Arguments commands[] = {
        { "show", "Big" },
        { "export", "Big" },
        { "add", "Big", "--name", "n", "--type", "Auto", "--object", "o" },
        { "remove", "Big", "n" },
        { "set", "Big", "n", "--object", "o" },
    };
    for (const Arguments& arguments : commands) {
        Outcome outcome = Run(arguments);
        EXPECT_EQ(outcome.code, EXIT_PROBLEMS) << arguments[0];
        EXPECT_NE(outcome.errors.find("Big.mwpack is too big to be read whole"), std::string::npos)
            << arguments[0] << ": " << outcome.errors;
    }
    file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    char start[5] = "";
    ReadFile(file, start, 4, &done, nullptr);
    DWORD sizeHigh = 0;
    EXPECT_EQ(GetFileSize(file, &sizeHigh), 0x7FFFF000u);
    CloseHandle(file);
    EXPECT_STREQ(start, "keep");
}

}  // namespace

// The editor of the resident Marlowin.exe killed in the middle of Add Profile, and Add Profile
// on a full disk. Each time the package afterwards holds the old list or the new one, whole.
// mwpack.exe on the full disk too: every file it would have replaced stays as it was.
// Run through scripts/kill-test.sh and scripts/fault-test.sh, which set the environment:
//   MARLOWIN_KILLS, MARLOWIN_PROFILES  kills and package size for the kill test
//   MARLOWIN_SMALL_DRIVE               a nearly empty drive of a few hundred KB, such as "T:"
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>

#include "res/resource.h"
#include "store/package_rewrite.h"
#include "store/profile.h"
#include "tests/support/editor_window.h"
#include "tests/support/mwpack_run.h"
#include "tests/support/resident_copy.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

typedef std::vector<StoredProfile> Profiles;

int Setting(const char* name, int fallback)
{
    const char* text = getenv(name);
    return text && *text ? atoi(text) : fallback;
}

bool Same(const Profiles& a, const Profiles& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        for (int f = 0; f < FIELD_COUNT; ++f)
            if (a[i].fields[f] != b[i].fields[f])
                return false;
    return true;
}

// Where two lists part, for failure messages.
std::string Difference(const Profiles& a, const Profiles& b)
{
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        for (int f = 0; f < FIELD_COUNT; ++f)
            if (a[i].fields[f] != b[i].fields[f])
                return "profile " + std::to_string(i) + " field " + std::to_string(f) + ": \"" + a[i].fields[f] +
                       "\" against \"" + b[i].fields[f] + "\"";
    return "sizes " + std::to_string(a.size()) + " and " + std::to_string(b.size());
}

// The list that Add Profile should leave: the same name out, the new profile in at its place.
Profiles Added(Profiles list, const StoredProfile& added)
{
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i].name() == added.name()) {
            list.erase(list.begin() + i);
            break;
        }
    size_t at = 0;
    while (at < list.size() && CompareNames(list[at].name().c_str(), added.name().c_str()) < 0)
        ++at;
    list.insert(list.begin() + at, added);
    return list;
}

Profiles Stored(const std::string& path)
{
    return DecodePackage(ReadFileBytes(path));
}

// A resident copy with its editor open on one package.
class EditorSession {
public:
    explicit EditorSession(const std::string& path)
    {
        HWND start = copy_.waitForWindow(60000);
        if (!start || !copy_.owns(start))
            return;
        DWORD_PTR answer = 0;
        SendMessageTimeoutA(start, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &answer);
        PostMessageA(start, WM_COMMAND, IDM_EDIT_PACKAGE, 0);
        HWND dialog = waitFor("Open package", nullptr);
        if (!dialog)
            return;
        AnswerFileDialog(dialog, path);
        std::string title = path.substr(path.find_last_of('\\') + 1);
        title = title.substr(0, title.find_last_of('.'));
        editor_ = EditorWindow(waitFor("Package", title.c_str()));
    }
    const EditorWindow& editor() const { return editor_; }
    bool open() const { return editor_.window() != nullptr; }
    void kill()
    {
        TerminateProcess(copy_.handle(), 9);
        WaitForSingleObject(copy_.handle(), 30000);
    }
    void fill(const StoredProfile& profile) const
    {
        editor_.setText(IDC_NAME, profile.name());
        editor_.setText(IDC_OBJECT, profile.fields[2]);
    }
    // Add Profile as a click gives it: a save that fails shows its box, answered here, so
    // the editor goes on. Ends when the editor has finished the Add.
    void addAnsweringBox() const
    {
        PostMessageA(editor_.window(), WM_COMMAND, IDC_ADD_PROFILE, 0);
        std::vector<HWND> boxes;
        WaitUntil([&] { return !(boxes = WindowsOf(copy_.processId(), "Marlowin")).empty() ||
                               editor_.text(IDC_NAME).empty(); }, 60000);
        for (HWND box : boxes)
            SendMessageA(box, WM_COMMAND, IDOK, 0);
        SendMessageA(editor_.window(), WM_NULL, 0, 0);
    }

private:
    HWND waitFor(const char* caption, const char* frame)
    {
        std::vector<HWND> found;
        WaitUntil([&] { return !(found = WindowsOf(copy_.processId(), caption, frame)).empty() &&
                               IsWindowVisible(found[0]); }, 120000);
        return found.empty() ? nullptr : found[0];
    }

    ResidentCopy copy_;
    EditorWindow editor_;
};

// The form's texts as Add Profile stores them: Auto, Normal, the other fields empty.
StoredProfile NewProfile(const std::string& name, const std::string& object)
{
    StoredProfile profile;
    profile.fields[0] = name;
    profile.fields[2] = object;
    profile.fields[5] = "Auto";
    profile.fields[6] = "Normal";
    return profile;
}

std::string PackageOf(int count, const std::string& path)
{
    std::vector<RecordSpec> records;
    for (int i = 0; i < count; ++i) {
        RecordSpec record;
        char name[32];
        snprintf(name, sizeof name, "Profile %05d", i * 3);   // in name order, as the editor stores them
        record.name = name;
        record.object = "C:\\Tools\\" + std::string(name) + ".exe";
        record.type = "Auto";
        record.window = "Normal";
        records.push_back(record);
    }
    WriteFileBytes(path, EncodePackage(records));
    return path;
}

TEST(SaveStress, KilledEditorLeavesTheOldOrTheNewListWhole)
{
    const int kills = Setting("MARLOWIN_KILLS", 3);
    const int profiles = Setting("MARLOWIN_PROFILES", 2000);
    std::string folder = MakeTempFolder("kill-test");
    std::string path = PackageOf(profiles, folder + "\\Killed.mwpack");
    Profiles current = Stored(path);

    // One Add that runs to its end tells how long the kills have to spread over.
    double addMs = 0;
    {
        EditorSession session(path);
        ASSERT_TRUE(session.open());
        StoredProfile first = NewProfile("Added 0", "C:\\first.exe");
        session.fill(first);
        double begin = MillisecondsNow();
        session.editor().command(IDC_ADD_PROFILE);
        addMs = MillisecondsNow() - begin;
        current = Added(current, first);
        ASSERT_TRUE(Same(Stored(path), current)) << Difference(Stored(path), current);
        session.kill();
    }
    printf("package of %d profiles, %.0f ms for one Add Profile\n", profiles, addMs);

    int oldLists = 0, newLists = 0, torn = 0, recovered = 0, checkedByEditor = 0;
    bool checkAtNextOpen = false;
    Profiles expectedNew;
    for (int kill = 1; kill <= kills + 1; ++kill) {
        EditorSession session(path);
        ASSERT_TRUE(session.open()) << "kill " << kill;
        if (checkAtNextOpen) {
            // The editor's own open mended the package.
            Profiles seen = Stored(path);
            bool isOld = Same(seen, current), isNew = Same(seen, expectedNew);
            oldLists += isOld;
            newLists += isNew && !isOld;
            torn += !isOld && !isNew;
            EXPECT_TRUE(isOld || isNew) << "after kill " << kill - 1 << ": " << seen.size() << " profiles";
            printf("kill %d: %s list at the editor's next open\n", kill - 1, isOld ? "old" : isNew ? "new" : "TORN");
            fflush(stdout);
            EXPECT_EQ(session.editor().entries().size(), seen.size());
            EXPECT_EQ(GetFileAttributesA((path + "~").c_str()), INVALID_FILE_ATTRIBUTES);
            current = seen;
            ++checkedByEditor;
        }
        if (kill > kills)
            break;

        // Every third Add replaces a profile; the others add a new name.
        StoredProfile added = NewProfile(kill % 3 == 0 ? current[kill % current.size()].name()
                                                       : "Added " + std::to_string(kill),
                                         "C:\\kill-" + std::to_string(kill) + ".exe");
        expectedNew = Added(current, added);
        session.fill(added);
        // Moments spread over the whole Add and a little beyond it.
        DWORD delay = (DWORD)(addMs * 1.2 * ((kill * 37) % 31) / 30.0);
        PostMessageA(session.editor().window(), WM_COMMAND, IDC_ADD_PROFILE, 0);
        Sleep(delay);
        session.kill();
        recovered += GetFileAttributesA((path + "~").c_str()) != INVALID_FILE_ATTRIBUTES;

        checkAtNextOpen = kill % 2 == 0;
        if (checkAtNextOpen)
            continue;
        // A launch mends the package the same way before it reads it.
        EXPECT_TRUE(RecoverPackageAt(path.c_str()));
        Profiles seen = Stored(path);
        bool isOld = Same(seen, current), isNew = Same(seen, expectedNew);
        oldLists += isOld;
        newLists += isNew && !isOld;
        torn += !isOld && !isNew;
        EXPECT_TRUE(isOld || isNew) << "after kill " << kill << " at " << delay << " ms: " << seen.size()
                                    << " profiles";
        EXPECT_EQ(ReadFileBytes(path).size() % RECORD_SIZE, 0u);
        printf("kill %d at %lu ms: %s list after a launch's recovery\n", kill, (unsigned long)delay,
               isOld ? "old" : isNew ? "new" : "TORN");
        fflush(stdout);
        current = seen;
    }
    printf("kills: %d; afterwards old list %d, new list %d, neither %d; side file found after %d kills; "
           "%d checked through the editor's next open, %d through a launch's recovery\n",
           kills, oldLists, newLists, torn, recovered, checkedByEditor, kills - checkedByEditor);
    EXPECT_EQ(oldLists + newLists, kills);
    RemoveTree(folder);
}

TEST(SaveStress, FullDiskDuringAddOrReplaceKeepsAWholeListAndAUsableEditor)
{
    const char* drive = getenv("MARLOWIN_SMALL_DRIVE");
    ASSERT_TRUE(drive && *drive) << "needs a small drive: run through scripts/fault-test.sh";
    std::string path = PackageOf(40, std::string(drive) + "\\Full.mwpack");
    Profiles current = Stored(path);

    // Everything else on the drive goes to a filler file, given back one page per try.
    std::string fillerPath = std::string(drive) + "\\filler.bin";
    HANDLE filler = CreateFileA(fillerPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(filler, INVALID_HANDLE_VALUE);
    std::string page(4096, 'f');
    DWORD fillerSize = 0, written = 0;
    while (WriteFile(filler, page.data(), (DWORD)page.size(), &written, nullptr) && written == page.size())
        fillerSize += written;
    fillerSize += written;
    ASSERT_GT(fillerSize, 0u);

    EditorSession session(path);
    ASSERT_TRUE(session.open());
    int failed = 0, saved = 0;
    for (int round = 0; round < 60 && saved < 4; ++round) {
        // Adds and replacements take turns.
        StoredProfile added = NewProfile(round % 2 ? current[round % current.size()].name()
                                                   : "Added " + std::to_string(round),
                                         "C:\\full-" + std::to_string(round) + ".exe");
        Profiles expectedNew = Added(current, added);
        session.fill(added);
        session.addAnsweringBox();
        Profiles seen = Stored(path);
        bool isNew = Same(seen, expectedNew);
        EXPECT_TRUE(isNew || Same(seen, current)) << "round " << round << ": " << Difference(seen, expectedNew);
        EXPECT_EQ(session.editor().entries().size(), seen.size()) << "round " << round;
        // A failed save keeps the form for another try.
        EXPECT_EQ(session.editor().text(IDC_NAME), isNew ? "" : added.name()) << "round " << round;
        EXPECT_EQ(GetFileAttributesA((path + "~").c_str()), INVALID_FILE_ATTRIBUTES) << "round " << round;
        isNew ? ++saved : ++failed;
        current = seen;
        fillerSize = fillerSize > page.size() ? fillerSize - (DWORD)page.size() : 0;
        SetFilePointer(filler, (LONG)fillerSize, nullptr, FILE_BEGIN);
        SetEndOfFile(filler);
    }
    printf("full disk: %d saves refused, %d saved as the room grew\n", failed, saved);
    EXPECT_GT(failed, 0);
    EXPECT_GT(saved, 0);
    CloseHandle(filler);
    DeleteFileA(fillerPath.c_str());
    session.kill();
}

TEST(SaveStress, MwpackOnAFullDiskKeepsEveryFileItWouldReplace)
{
    const char* drive = getenv("MARLOWIN_SMALL_DRIVE");
    ASSERT_TRUE(drive && *drive) << "needs a small drive: run through scripts/fault-test.sh";
    std::string folder = MakeTempFolder("full-disk");
    std::string big = PackageOf(400, folder + "\\Big.mwpack");   // far more than the drive holds
    std::string package = PackageOf(10, std::string(drive) + "\\P.mwpack");
    std::string backup = std::string(drive) + "\\backup.json";
    WriteFileBytes(backup, "{\"version\": 1, \"profiles\": []}\n");
    std::string packageBytes = ReadFileBytes(package), backupBytes = ReadFileBytes(backup);
    std::string fillerPath = std::string(drive) + "\\filler.bin";
    HANDLE filler = CreateFileA(fillerPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    std::string page(4096, 'f');
    DWORD written = 0;
    while (WriteFile(filler, page.data(), (DWORD)page.size(), &written, nullptr) && written == page.size()) {
    }
    CloseHandle(filler);

    const std::string commands[] = {
        "export \"" + big + "\" \"" + package + "\" --force",
        "export \"" + big + "\" \"" + backup + "\"",
        "import \"" + backup + "\" \"" + package + "\"",
    };
    for (const std::string& command : commands) {
        ConsoleRun run = RunMwpackExe(command, folder);
        EXPECT_EQ(run.run.exitCode, 1u) << command;
        EXPECT_NE(run.errors.find("mwpack: "), std::string::npos) << command;
    }
    // Results sent to a file on the full disk fail the command too.
    SECURITY_ATTRIBUTES inherit = { sizeof inherit, nullptr, TRUE };
    HANDLE out = CreateFileA((std::string(drive) + "\\out.json").c_str(), GENERIC_WRITE, 0, &inherit, CREATE_ALWAYS,
                             0, nullptr);
    RunResult toFile = RunCommandLine("\"" + MwpackPath() + "\" export \"" + big + "\"", 60000, nullptr, out, out);
    CloseHandle(out);
    EXPECT_EQ(toFile.exitCode, 1u);
    EXPECT_TRUE(ReadFileBytes(package) == packageBytes);
    EXPECT_EQ(ReadFileBytes(backup), backupBytes);
    DeleteFileA(fillerPath.c_str());
    DeleteFileA((std::string(drive) + "\\out.json").c_str());
    RemoveTree(folder);
}

}  // namespace

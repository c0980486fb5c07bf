// Rewriting a package from its list, and what the file holds when the writing fails.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>

#include "store/package_file.h"
#include "store/package_rewrite.h"
#include "tests/support/test_support.h"

using testing_support::ReadFileBytes;
using testing_support::RecordNames;
using testing_support::WriteFileBytes;

namespace {

std::string Record(const char* name, const char* object = "", uint32_t extra = 0)
{
    const char* texts[FIELD_COUNT] = { name, "", object, "", "", "Auto", "Normal" };
    Profile profile(texts, 0);
    unsigned char record[RECORD_SIZE];
    EncodeRecord(profile, record);
    memcpy(record + RECORD_EXTRA, &extra, 4);
    return std::string((const char*)record, RECORD_SIZE);
}

std::vector<std::string> ListNames(const ProfileList& list)
{
    std::vector<std::string> names;
    for (const ProfileBase* node = list.first; node; node = node->next)
        names.push_back(node->name());
    return names;
}

typedef std::vector<std::string> Names;

// A package opened as the editor opens it.
class Rewrite : public ::testing::Test {
protected:
    void SetUp() override
    {
        char folder[MAX_PATH];
        GetTempPathA(sizeof folder, folder);
        char name[MAX_PATH];
        snprintf(name, sizeof name, "%smw-rewrite-%lu.mwpack", folder, GetCurrentProcessId());
        path = name;
    }
    void TearDown() override
    {
        PackageRewriteIo = DefaultRewriteIo;
        DestroyPackageFile(package);
        DeleteFileA(path.c_str());
    }

    void open(const std::string& bytes)
    {
        WriteFileBytes(path, bytes);
        package = CreatePackageFile();
        ASSERT_TRUE(package->setNames(path.c_str(), nullptr, 0));
        package->handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      OPEN_ALWAYS, 0, nullptr);
        ASSERT_NE(package->handle, INVALID_HANDLE_VALUE);
        package->readRecords();
    }

    std::string bytes() const { return ReadFileBytes(path); }

    void remove(const char* name)
    {
        ASSERT_EQ(package->profiles.removeByName(name), 1);
        package->rewriteList();
    }

    void insert(Profile& profile)
    {
        package->profiles.insertSorted(&profile);
        package->rewriteList();
    }

    static Profile Named(const char* name)
    {
        const char* texts[FIELD_COUNT] = { name, "", "", "", "", "Auto", "Normal" };
        return Profile(texts, 0);
    }

    std::string path;
    PackageFile* package = nullptr;
};

TEST_F(Rewrite, RemovalAndInsertionWriteExactlyTheListInNameOrder)
{
    open(Record("c") + Record("a") + Record("b"));
    remove("b");
    EXPECT_EQ(RecordNames(bytes()), Names({ "a", "c" }));
    EXPECT_EQ(bytes().size(), 2u * RECORD_SIZE);
    EXPECT_EQ(package->slotCount, 3u);
    EXPECT_EQ(ListNames(package->profiles), Names({ "a", "c" }));

    Profile added = Named("B");
    insert(added);
    EXPECT_EQ(RecordNames(bytes()), Names({ "a", "B", "c" }));
    EXPECT_EQ(package->loadedCount, 3u);
    // The list is read back from the file: the inserted record is no longer part of it.
    for (const ProfileBase* node = package->profiles.first; node; node = node->next)
        EXPECT_NE(node, &added);
}

TEST_F(Rewrite, RemovingTheLastProfileEmptiesTheFile)
{
    open(Record("only"));
    remove("only");
    EXPECT_EQ(bytes().size(), 0u);
    EXPECT_EQ(package->slotCount, 1u);
    EXPECT_EQ(package->profiles.first, nullptr);
}

TEST_F(Rewrite, StoredTailAndExtraAreGoneAndOrdinalsFollowTheName)
{
    open(Record("z", "", 7) + Record("y", "", 9) + Record("x") + "partial");
    remove("x");
    std::string content = bytes();
    ASSERT_EQ(content.size(), 2u * RECORD_SIZE);
    EXPECT_EQ(RecordNames(content), Names({ "y", "z" }));
    EXPECT_EQ(content.substr(RECORD_LINKS, 16), std::string(16, '\0'));
    EXPECT_EQ(content.substr(RECORD_SIZE + RECORD_LINKS, 16), std::string(16, '\0'));
    EXPECT_EQ(package->profiles.first->ordinal, 0u);
}

TEST_F(Rewrite, IdenticalNamesSwapAtEachRewrite)
{
    open(Record("x", "first") + Record("x", "second") + Record("y"));
    remove("y");
    std::string content = bytes();
    EXPECT_STREQ(content.c_str() + RecordFieldOffset(FIELD_OBJECT), "second");
    Profile added = Named("z");
    insert(added);
    EXPECT_STREQ(bytes().c_str() + RecordFieldOffset(FIELD_OBJECT), "first");
}

// More records than memory can hold are read as none; a save must not replace them with that.
TEST_F(Rewrite, PackageTooBigToReadWholeIsNeverWrittenOver)
{
    open(Record("a"));
    LONG high = 1;   // 4 GB and more: a sparse file, no disk space taken
    ASSERT_NE(SetFilePointer(package->handle, 0x1000, &high, FILE_BEGIN), INVALID_SET_FILE_POINTER);
    ASSERT_TRUE(SetEndOfFile(package->handle));
    package->readRecords();
    EXPECT_FALSE(package->whole);

    Profile added = Named("b");
    package->profiles.insertSorted(&added);
    EXPECT_FALSE(package->rewriteList());
    EXPECT_EQ(package->saveError, (DWORD)ERROR_NOT_ENOUGH_MEMORY);
    DWORD sizeHigh = 0;
    EXPECT_EQ(GetFileSize(package->handle, &sizeHigh), 0x1000u);
    EXPECT_EQ(sizeHigh, 1u);
    std::string first(RECORD_SIZE, '\0');
    DWORD got = 0;
    SetFilePointer(package->handle, 0, nullptr, FILE_BEGIN);
    ASSERT_TRUE(ReadFile(package->handle, &first[0], RECORD_SIZE, &got, nullptr));
    EXPECT_EQ(RecordNames(first), Names({ "a" }));
}

TEST_F(Rewrite, ACountBeyondTheListWritesOnlyTheList)
{
    open(Record("a") + Record("b"));
    package->writeList(package->slotCount + 5);
    EXPECT_EQ(RecordNames(bytes()), Names({ "a", "b" }));
    EXPECT_EQ(bytes().size(), 2u * RECORD_SIZE);
}

// Counts the calls and fails the chosen ones.
struct Faults {
    static int writes, ends, allocations;
    static int failWrite, failEnd, failAllocation;   // 1-based call to fail; 0 never
    static BOOL Write(HANDLE file, const void* data, DWORD size, DWORD* written)
    {
        if (++writes != failWrite)
            return WriteFile(file, data, size, written, nullptr);
        WriteFile(file, data, size / 3, written, nullptr);   // a short write, then the error
        return FALSE;
    }
    static BOOL End(HANDLE file) { return ++ends == failEnd ? FALSE : SetEndOfFile(file); }
    static void* Allocate(size_t size) { return ++allocations == failAllocation ? nullptr : calloc(size + 1, 1); }
    static void install(int write, int end, int allocation)
    {
        writes = ends = allocations = 0;
        failWrite = write;
        failEnd = end;
        failAllocation = allocation;
        PackageRewriteIo = { Write, End, Allocate };
    }
};
int Faults::writes, Faults::ends, Faults::allocations, Faults::failWrite, Faults::failEnd, Faults::failAllocation;

TEST_F(Rewrite, ShortWriteOfAGrowingPackageRestoresTheOldBytes)
{
    std::string old = Record("a") + Record("c") + "tail";
    open(old);
    Faults::install(3, 0, 0);   // writes 1 and 2 save the old bytes aside
    Profile added = Named("b");
    insert(added);
    EXPECT_EQ(bytes(), old);
    EXPECT_EQ(ListNames(package->profiles), Names({ "a", "c" }));
    EXPECT_EQ(Faults::writes, 4);
}

TEST_F(Rewrite, FailedCutOfAShrinkingPackageRestoresTheOldBytes)
{
    std::string old = Record("a") + Record("b") + Record("c");
    open(old);
    Faults::install(0, 1, 0);
    remove("b");
    EXPECT_EQ(bytes(), old);
    EXPECT_EQ(ListNames(package->profiles), Names({ "a", "b", "c" }));
}

TEST_F(Rewrite, FailedAllocationLeavesTheFileUntouched)
{
    std::string old = Record("a") + Record("b") + "tail";
    for (int failing = 1; failing <= 2; ++failing) {
        SCOPED_TRACE(failing);
        if (package) {
            DestroyPackageFile(package);
            package = nullptr;
        }
        open(old);
        Faults::install(0, 0, failing);
        remove("a");
        EXPECT_EQ(bytes(), old);
        EXPECT_EQ(Faults::writes, 0);
        EXPECT_EQ(Faults::ends, 0);
        EXPECT_EQ(ListNames(package->profiles), Names({ "a", "b" }));
    }
}

TEST_F(Rewrite, AfterAFailureTheNextRewriteWorks)
{
    open(Record("a") + Record("b"));
    Faults::install(1, 0, 0);
    remove("a");
    PackageRewriteIo = DefaultRewriteIo;
    remove("a");
    EXPECT_EQ(RecordNames(bytes()), Names({ "b" }));
}

}  // namespace

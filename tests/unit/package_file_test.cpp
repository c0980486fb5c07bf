#include <gtest/gtest.h>
#include <string>

#include "store/package_file.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

class PackageRead : public ::testing::Test {
protected:
    void SetUp() override { folder = MakeTempFolder("read"); }
    void TearDown() override
    {
        DestroyPackageFile(package);
        RemoveTree(folder);
    }

    // Opens the given bytes as the launcher does and reads them.
    void Read(const std::string& bytes)
    {
        std::string path = folder + "\\p.mwpack";
        WriteFileBytes(path, bytes);
        package = CreatePackageFile();
        ASSERT_NE(package, nullptr);
        package->handle = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(package->handle, INVALID_HANDLE_VALUE);
        package->readRecords();
    }

    std::string NamesInOrder() const
    {
        std::string names;
        for (const ProfileBase* node = package->profiles.first; node; node = node->next)
            names += std::string(node->name()) + "/" + std::to_string(node->ordinal) + " ";
        return names;
    }

    static RecordSpec Named(const char* name)
    {
        RecordSpec profile;
        profile.name = name;
        return profile;
    }

    std::string folder;
    PackageFile* package = nullptr;
};

TEST_F(PackageRead, PartialTrailingRecordIsIgnored)
{
    Read(EncodePackage({ Named("b"), Named("a") }) + std::string(100, 'z'));
    EXPECT_EQ(package->slotCount, 3u);
    EXPECT_EQ(package->loadedCount, 2u);
    EXPECT_EQ(NamesInOrder(), "a/1 b/0 ");
    EXPECT_STREQ(package->records[2].name(), "");   // the spare default slot
}

TEST_F(PackageRead, NameOrderOrdinalsAndExtra)
{
    RecordSpec withExtra = Named("alpha");
    withExtra.extra = 0xDEADBEEF;
    Read(EncodePackage({ Named("beta"), Named("Alpha"), withExtra, Named("ALPHA"), Named("x"), Named("x") }));
    EXPECT_EQ(NamesInOrder(), "ALPHA/3 Alpha/1 alpha/2 beta/0 x/5 x/4 ");
    EXPECT_EQ(package->records[2].extra, 0xDEADBEEFu);
    for (uint32_t i = 0; i < package->loadedCount; ++i)
        EXPECT_EQ(package->records[i].ordinal, i);
}

TEST_F(PackageRead, StoredWordsDoNotChangeTheList)
{
    std::string bytes = EncodePackage({ Named("b"), Named("a") });
    for (size_t record = 0; record < 2; ++record)
        for (size_t offset : { 0u, 1824u, 1828u, 1832u })
            bytes.replace(record * 1840 + offset, 4, "\xFF\xFF\xFF\x7F", 4);
    Read(bytes);
    EXPECT_EQ(NamesInOrder(), "a/1 b/0 ");
}

TEST_F(PackageRead, RandomBytesStayWithinTheFields)
{
    std::string bytes(1840 * 50 + 7, '\0');
    unsigned seed = 99;
    for (char& c : bytes) {
        seed = seed * 1664525u + 1013904223u;
        c = (char)(seed >> 24);
    }
    Read(bytes);
    EXPECT_EQ(package->loadedCount, 50u);
    for (uint32_t i = 0; i < package->loadedCount; ++i)
        for (int f = 0; f < FIELD_COUNT; ++f)
            ASSERT_LT(strlen(package->records[i].field(f)), 260u);
}

TEST_F(PackageRead, ReadingAgainReplacesTheList)
{
    Read(EncodePackage({ Named("one") }));
    package->readRecords();
    EXPECT_EQ(NamesInOrder(), "one/0 ");
    EXPECT_EQ(package->slotCount, 2u);
}

TEST_F(PackageRead, UnreadableHandleReadsNothing)
{
    package = CreatePackageFile();
    package->readRecords();   // INVALID_HANDLE_VALUE: size unknown
    EXPECT_EQ(package->loadedCount, 0u);
    EXPECT_EQ(package->slotCount, 1u);
    EXPECT_EQ(package->profiles.first, nullptr);
    // A file of unknown size may hold anything: what was read of it is never saved over it.
    EXPECT_FALSE(package->whole);
    EXPECT_EQ(package->readError, (DWORD)ERROR_INVALID_HANDLE);
}

TEST_F(PackageRead, OpenAndLaunchLeavesNoHandleWhenTheFileCannotBeOpened)
{
    package = CreatePackageFile();
    package->openAndLaunch((folder + "\\missing.mwpack").c_str());
    EXPECT_EQ(package->handle, INVALID_HANDLE_VALUE);
    EXPECT_EQ(package->records, nullptr);

    // Held open for writing by someone else (as an editor does): refused too.
    std::string path = folder + "\\held.mwpack";
    WriteFileBytes(path, EncodePackage({ Named("a") }));
    HANDLE writer = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    package->openAndLaunch(path.c_str());
    EXPECT_EQ(package->handle, INVALID_HANDLE_VALUE);
    EXPECT_EQ(package->records, nullptr);
    CloseHandle(writer);
}

}  // namespace

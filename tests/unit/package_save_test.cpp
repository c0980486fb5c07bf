// Crash-safe saving: a save stopped after any write, or failing with its restore, leaves a
// package that recovery brings back to its previous bytes; normal saves leave no side file.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>

#include "store/package_rewrite.h"
#include "tests/support/test_support.h"

using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

namespace {

// Writes go through until the chosen one, which writes a part and fails; every later write
// fails without writing, as when the process is killed there.
struct Freeze {
    static int writes, stopAt;
    static BOOL Write(HANDLE file, const void* data, DWORD size, DWORD* written)
    {
        ++writes;
        *written = 0;
        if (stopAt == 0 || writes < stopAt)
            return WriteFile(file, data, size, written, nullptr);
        if (writes == stopAt)
            WriteFile(file, data, size / 2, written, nullptr);
        return FALSE;
    }
    static BOOL End(HANDLE file) { return stopAt != 0 && writes >= stopAt ? FALSE : SetEndOfFile(file); }
};
int Freeze::writes, Freeze::stopAt;

class PackageSave : public ::testing::Test {
protected:
    void SetUp() override
    {
        char folder[MAX_PATH];
        GetTempPathA(sizeof folder, folder);
        path = std::string(folder) + "mw-save-" + std::to_string(GetCurrentProcessId()) + ".mwpack";
        side = path + "~";
    }
    void TearDown() override
    {
        PackageRewriteIo = DefaultRewriteIo;
        close();
        DeleteFileA(path.c_str());
        DeleteFileA(side.c_str());
    }

    void open(const std::string& bytes)
    {
        close();
        WriteFileBytes(path, bytes);
        file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                           nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
    }
    void close()
    {
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
        file = INVALID_HANDLE_VALUE;
    }
    SaveOutcome save(const std::string& image)
    {
        return SavePackageImage(file, path.c_str(), (const unsigned char*)image.data(), (DWORD)image.size());
    }
    // Writes 1 and 2 make the side file, 3 overwrites the package.
    static void freezeAt(int write)
    {
        Freeze::writes = 0;
        Freeze::stopAt = write;
        PackageRewriteIo.write = Freeze::Write;
        PackageRewriteIo.setEnd = Freeze::End;
    }
    bool sideFileExists() const { return GetFileAttributesA(side.c_str()) != INVALID_FILE_ATTRIBUTES; }

    std::string path, side;
    HANDLE file = INVALID_HANDLE_VALUE;
};

// Old and new share a head, so that only a tail is saved aside and written.
const std::string OLD_IMAGE = std::string(5000, 'h') + std::string(7000, 'o') + "odd tail";
const std::string GROWN = std::string(5000, 'h') + std::string(9000, 'n');
const std::string SHRUNK = std::string(5000, 'h') + std::string(100, 'n');

TEST_F(PackageSave, NormalSavesWriteTheImageAndLeaveNoSideFile)
{
    for (const std::string* image : { &GROWN, &SHRUNK, &SHRUNK, &OLD_IMAGE }) {
        open(ReadFileBytes(path).empty() ? OLD_IMAGE : ReadFileBytes(path));
        EXPECT_EQ(save(*image), SAVE_WRITTEN);
        EXPECT_EQ(ReadFileBytes(path), *image);
        EXPECT_FALSE(sideFileExists());
    }
    EXPECT_FALSE(SavePackageImage(file, nullptr, (const unsigned char*)"x", 1) == SAVE_WRITTEN);
}

TEST_F(PackageSave, StopAtAnyWriteRecoversThePreviousBytesOnTheNextOpen)
{
    for (const std::string* image : { &GROWN, &SHRUNK }) {
        for (int stop = 1; stop <= 3; ++stop) {
            SCOPED_TRACE("stop at write " + std::to_string(stop) + ", new size " + std::to_string(image->size()));
            open(OLD_IMAGE);
            freezeAt(stop);
            EXPECT_NE(save(*image), SAVE_WRITTEN);
            // The package as the next reader finds it, with the side file taken into account.
            DWORD size = 0;
            unsigned char* seen = LoadPackageImage(file, path.c_str(), &size);
            ASSERT_NE(seen, nullptr);
            EXPECT_EQ(std::string((const char*)seen, size), OLD_IMAGE);
            free(seen);
            close();
            PackageRewriteIo = DefaultRewriteIo;

            EXPECT_TRUE(RecoverPackageAt(path.c_str()));
            EXPECT_EQ(ReadFileBytes(path), OLD_IMAGE);
            EXPECT_FALSE(sideFileExists());
        }
    }
}

TEST_F(PackageSave, SideFileCutShortOrDamagedIsDroppedAndThePackageLeftAlone)
{
    // Make a real side file by stopping a save in the package write, then spoil it.
    open(OLD_IMAGE);
    freezeAt(3);
    save(GROWN);
    PackageRewriteIo = DefaultRewriteIo;
    close();
    std::string complete = ReadFileBytes(side);
    ASSERT_GT(complete.size(), 16u);
    std::string torn = ReadFileBytes(path);

    std::string damaged = complete;
    damaged[10] ^= 1;
    for (const std::string& spoilt : { complete.substr(0, complete.size() - 1), damaged }) {
        WriteFileBytes(path, torn);
        WriteFileBytes(side, spoilt);
        EXPECT_TRUE(RecoverPackageAt(path.c_str()));
        EXPECT_EQ(ReadFileBytes(path), torn);
        EXPECT_FALSE(sideFileExists());
    }
    WriteFileBytes(side, complete);
    EXPECT_TRUE(RecoverPackageAt(path.c_str()));
    EXPECT_EQ(ReadFileBytes(path), OLD_IMAGE);
}

TEST_F(PackageSave, PendingRecoveryBlocksFurtherSavesUntilItSucceeds)
{
    open(OLD_IMAGE);
    freezeAt(3);
    EXPECT_EQ(save(GROWN), SAVE_PENDING);
    EXPECT_EQ(save(SHRUNK), SAVE_PENDING);   // still failing: the side file must survive
    EXPECT_FALSE(RecoverPackage(file, path.c_str()));
    EXPECT_TRUE(sideFileExists());

    PackageRewriteIo = DefaultRewriteIo;
    EXPECT_EQ(save(SHRUNK), SAVE_WRITTEN);
    EXPECT_EQ(ReadFileBytes(path), SHRUNK);
    EXPECT_FALSE(sideFileExists());
}

// A side file left by an interrupted save, whose package was then deleted outside the program,
// must never be put into another package that takes the name later.
TEST_F(PackageSave, SideFileOfAnotherPackageIsDroppedUnread)
{
    open(OLD_IMAGE);
    freezeAt(3);
    EXPECT_EQ(save(GROWN), SAVE_PENDING);
    PackageRewriteIo = DefaultRewriteIo;
    close();
    std::string stale = ReadFileBytes(side);
    std::string torn = ReadFileBytes(path);

    std::string other = std::string(6000, 'x');
    std::string elsewhere = path + ".elsewhere";
    const struct {
        const char* how;
        std::string bytes;
        bool moved;   // made as another file beside it and moved in, as a restored copy is
    } successors[] = {
        { "empty, as new makes it", "", false },
        { "other bytes before the save's offset", other, false },
        { "the very same bytes, but another file", torn, true },
    };
    for (const auto& successor : successors) {
        SCOPED_TRACE(successor.how);
        if (successor.moved)
            WriteFileBytes(elsewhere, successor.bytes);
        DeleteFileA(path.c_str());
        if (successor.moved) {
            ASSERT_TRUE(MoveFileA(elsewhere.c_str(), path.c_str()));
        } else {
            WriteFileBytes(path, successor.bytes);
        }
        WriteFileBytes(side, stale);
        EXPECT_TRUE(RecoverPackageAt(path.c_str()));
        EXPECT_TRUE(ReadFileBytes(path) == successor.bytes);
        EXPECT_FALSE(sideFileExists());
    }
    // The package it belongs to, also renamed meanwhile, still gets its bytes back.
    std::string renamed = path + ".renamed";
    WriteFileBytes(path, OLD_IMAGE);
    open(OLD_IMAGE);
    freezeAt(3);
    EXPECT_EQ(save(GROWN), SAVE_PENDING);
    PackageRewriteIo = DefaultRewriteIo;
    close();
    ASSERT_TRUE(MoveFileA(path.c_str(), renamed.c_str()));
    ASSERT_TRUE(MoveFileA(renamed.c_str(), path.c_str()));
    EXPECT_TRUE(RecoverPackageAt(path.c_str()));
    EXPECT_TRUE(ReadFileBytes(path) == OLD_IMAGE);
}

// A side file as the first form of the store wrote it, without the name of its package, is still
// put back: an interrupted save from before an upgrade is not lost.
TEST_F(PackageSave, SideFileOfTheFirstFormIsStillPutBack)
{
    std::string head = std::string(5000, 'h');
    WriteFileBytes(path, head + std::string(9000, 'n'));
    std::string saved = std::string(7000, 'o');
    std::string trailer(16, '\0');
    uint32_t words[2] = { 5000, 12000 };
    memcpy(&trailer[0], words, 8);
    uint32_t hash = 2166136261u;
    for (char c : trailer.substr(0, 8) + saved)
        hash = (hash ^ (unsigned char)c) * 16777619u;
    memcpy(&trailer[8], &hash, 4);
    memcpy(&trailer[12], "MWun", 4);
    WriteFileBytes(side, saved + trailer);
    EXPECT_TRUE(RecoverPackageAt(path.c_str()));
    EXPECT_TRUE(ReadFileBytes(path) == head + saved);
    EXPECT_FALSE(sideFileExists());
}

}  // namespace

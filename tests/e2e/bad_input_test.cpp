// Whatever a package file holds, Marlowin.exe never crashes and ends with 0; a huge one is read whole.
#include <gtest/gtest.h>

#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

class BadPackage : public ::testing::Test {
protected:
    void SetUp() override { folder = MakeTempFolder("bad"); }
    void TearDown() override { RemoveTree(folder); }

    std::string Write(const std::string& bytes)
    {
        std::string path = folder + "\\bad.mwpack";
        WriteFileBytes(path, bytes);
        return path;
    }

    static std::string RandomBytes(size_t size, unsigned seed)
    {
        std::string bytes(size, '\0');
        for (size_t i = 0; i < size; ++i) {
            seed = seed * 1664525u + 1013904223u;
            bytes[i] = (char)(seed >> 24);
        }
        return bytes;
    }

    RecordSpec Witness(const std::string& arguments)
    {
        return RecorderRecord(arguments, "w", folder);
    }

    std::string folder;
    RecorderLog log;
};

TEST_F(BadPackage, RandomBytesEndWithZero)
{
    for (unsigned seed : { 1u, 2u, 3u }) {
        RunResult run = RunMarlowin(Write(RandomBytes(64 * 1024 + seed * 977, seed)), 60000);
        EXPECT_TRUE(run.finished) << seed;
        EXPECT_EQ(run.exitCode, 0u) << seed;
    }
}

TEST_F(BadPackage, FiftyMegabytesOfRecordsAreAllReadAndOrdered)
{
    // Noise in every field but the object, which stays empty so that the shell is never asked;
    // one witness at the very end of the file proves that the whole file was read.
    std::string noise = RandomBytes(50u << 20, 77);
    const size_t records = noise.size() / 1840;
    for (size_t i = 0; i < records; ++i)
        noise[i * RECORD_SIZE + RecordFieldOffset(FIELD_OBJECT)] = '\0';
    noise.resize(records * RECORD_SIZE);
    noise += EncodePackage({ Witness("last-of-many") });
    RunResult run = RunMarlowin(Write(noise), 180000);
    EXPECT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u);
    std::vector<Recording> seen = log.waitFor(1);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].commandLine, RecorderPath() + " last-of-many");
    EXPECT_EQ(log.settle().size(), 1u);
}

TEST_F(BadPackage, FolderNamedLikeAPackageLaunchesNothing)
{
    std::string path = folder + "\\dir.mwpack";
    CreateDirectoryA(path.c_str(), nullptr);
    EXPECT_EQ(RunMarlowin(path).exitCode, 0u);
}

}  // namespace

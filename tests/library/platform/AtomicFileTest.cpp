// Replacing files without ever losing the one that was there.

#include "AtomicFile.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace TestImages;

namespace {

std::size_t FilesIn(const std::string& folder)
{
    std::size_t n = 0;
    for (auto& entry : std::filesystem::directory_iterator(folder)) {
        (void)entry;
        ++n;
    }
    return n;
}

} // namespace

TEST(AtomicFile, CommitReplacesAndKeepsPermissions)
{
    Sandbox box;
    const std::string target = box.path("a.bin");
    WriteFile(target, {1, 2, 3});
    ::chmod(target.c_str(), 0640);
    AtomicFile file(target);
    ASSERT_TRUE(file.open());
    ASSERT_TRUE(file.write("xyz", 3));
    EXPECT_EQ(ReadFile(target), (std::vector<std::uint8_t>{1, 2, 3})) << "untouched until commit";
    ASSERT_TRUE(file.commit());
    EXPECT_EQ(ReadFile(target), (std::vector<std::uint8_t>{'x', 'y', 'z'}));
    struct stat info {};
    ::stat(target.c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(FilesIn(box.path("")), 1u);
}

TEST(AtomicFile, AbandonedWriteLeavesNoTrace)
{
    Sandbox box;
    const std::string target = box.path("a.bin");
    WriteFile(target, {9});
    {
        AtomicFile file(target);
        ASSERT_TRUE(file.open());
        file.write("partial", 7);
    }
    EXPECT_EQ(ReadFile(target), (std::vector<std::uint8_t>{9}));
    EXPECT_EQ(FilesIn(box.path("")), 1u);
}

TEST(AtomicFile, FailedWriteKeepsTheOldFile)
{
    Sandbox box;
    const std::string target = box.path("a.bin");
    WriteFile(target, {4, 5, 6});
    // A file-size limit makes writes fail for root too.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 1000;
    ::setrlimit(RLIMIT_FSIZE, &small);
    bool committed = true;
    {
        AtomicFile file(target);
        ASSERT_TRUE(file.open());
        const std::vector<char> big(100000, 'x');
        file.write(big.data(), big.size());
        committed = file.commit();
    }
    ::setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_FALSE(committed);
    EXPECT_EQ(ReadFile(target), (std::vector<std::uint8_t>{4, 5, 6}));
    EXPECT_EQ(FilesIn(box.path("")), 1u);
}

TEST(AtomicFile, MissingFolderFailsToOpen)
{
    Sandbox box;
    AtomicFile file(box.path("no/such/folder/a.bin"));
    EXPECT_FALSE(file.open());
    EXPECT_FALSE(file.commit());
}

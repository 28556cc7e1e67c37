// Replacing files without ever losing the one that was there.

#include "AtomicFile.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

namespace {

struct stat StatOf(const std::string& path, bool follow = true)
{
    struct stat info {};
    if ((follow ? ::stat(path.c_str(), &info) : ::lstat(path.c_str(), &info)) != 0)
        ADD_FAILURE() << "no file " << path;
    return info;
}

bool Save(const std::string& target, const std::string& bytes, int* error = nullptr)
{
    AtomicFile file(target);
    const bool ok = file.open() && file.write(bytes.data(), bytes.size()) && file.commit();
    if (error)
        *error = file.error();
    return ok;
}

std::string Text(const std::string& path)
{
    const auto bytes = ReadFile(path);
    return {bytes.begin(), bytes.end()};
}

std::vector<std::string> Names(const std::string& folder)
{
    std::vector<std::string> names;
    for (auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(AtomicFile, TheTargetIsRespectedAsItIs)
{
    struct Case {
        const char* what;
        // Makes "target" (and anything around it) in the folder.
        std::function<void(const Sandbox&)> make;
        bool saved;
        int error;
        // Where the new bytes must be when saved, or the old ones stay.
        const char* holder;
    };
    const auto old = [](const Sandbox& box, const char* name) { WriteFile(box.path(name), {'o', 'l', 'd'}); };
    const std::vector<Case> cases = {
        {"write-protected", [&](const Sandbox& b) { old(b, "target"); ::chmod(b.path("target").c_str(), 0444); },
         false, EACCES, "target"},
        {"protected through a link",
         [&](const Sandbox& b) {
             old(b, "real");
             ::chmod(b.path("real").c_str(), 0444);
             ::symlink("real", b.path("target").c_str());
         },
         false, EACCES, "real"},
        {"relative link", [&](const Sandbox& b) { old(b, "real"); ::symlink("real", b.path("target").c_str()); },
         true, 0, "real"},
        {"link to a link in another folder",
         [&](const Sandbox& b) {
             std::filesystem::create_directory(b.path("sub"));
             old(b, "sub/real");
             ::symlink(b.path("sub/real").c_str(), b.path("sub/hop").c_str());
             ::symlink("sub/hop", b.path("target").c_str());
         },
         true, 0, "sub/real"},
        {"dangling link creates what it names",
         [&](const Sandbox& b) { ::symlink("made", b.path("target").c_str()); }, true, 0, "made"},
        {"link loop", [&](const Sandbox& b) { ::symlink("target", b.path("target").c_str()); }, false, ELOOP, nullptr},
        {"a folder", [&](const Sandbox& b) { std::filesystem::create_directory(b.path("target")); }, false, EISDIR,
         nullptr},
        {"a pipe", [&](const Sandbox& b) { ::mkfifo(b.path("target").c_str(), 0666); }, false, EINVAL, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Sandbox box;
        c.make(box);
        const auto before = Names(box.path(""));
        int error = -1;
        EXPECT_EQ(Save(box.path("target"), "new", &error), c.saved);
        EXPECT_EQ(error, c.error);
        if (c.holder) {
            EXPECT_EQ(Text(box.path(c.holder)), c.saved ? "new" : "old");
        }
        if (std::string(c.what).find("link") != std::string::npos && c.error != ELOOP) {
            EXPECT_TRUE(S_ISLNK(StatOf(box.path("target"), false).st_mode)) << "the link stays a link";
        }
        if (c.holder && std::string(c.holder) == "sub/real") {
            EXPECT_EQ(Names(box.path("sub")), (std::vector<std::string>{"hop", "real"})) << "no temporary left";
        }
        if (!c.saved) {
            EXPECT_EQ(Names(box.path("")), before) << "no temporary left";
        }
    }
}

TEST(AtomicFile, HardLinkedFilesAreRewrittenInPlace)
{
    Sandbox box;
    const std::string a = box.path("a.jpg");
    const std::string b = box.path("b.jpg");
    WriteFile(a, std::vector<std::uint8_t>(5000, 'o'));
    ::chmod(a.c_str(), 0604);
    ASSERT_EQ(::link(a.c_str(), b.c_str()), 0);
    const ino_t inode = StatOf(a).st_ino;
    // Shorter and longer than before: no old byte may survive at the end.
    for (const std::string& bytes : {std::string("short"), std::string(9000, 'n')}) {
        ASSERT_TRUE(Save(a, bytes));
        EXPECT_EQ(Text(b), bytes) << "both names see the new bytes";
        EXPECT_EQ(StatOf(a).st_ino, inode);
        EXPECT_EQ(StatOf(a).st_nlink, 2u);
        EXPECT_EQ(StatOf(a).st_mode & 07777, 0604u);
    }
    EXPECT_EQ(Names(box.path("")), (std::vector<std::string>{"a.jpg", "b.jpg"}));
}

TEST(AtomicFile, ModeAndOwnerOfTheReplacedFileAreKeptAndNewFilesFollowTheUmask)
{
    Sandbox box;
    const mode_t mask = ::umask(027);
    EXPECT_TRUE(Save(box.path("new"), "x"));
    ::umask(mask);
    EXPECT_EQ(StatOf(box.path("new")).st_mode & 07777, 0640u) << "0666 less the umask, not a temporary's 0600";

    WriteFile(box.path("old"), {1});
    ::chmod(box.path("old").c_str(), 0751);
    if (::geteuid() != 0) {
        GTEST_SKIP() << "giving a file away needs root";
    }
    ASSERT_EQ(::chown(box.path("old").c_str(), 4321, 8765), 0);
    ASSERT_TRUE(Save(box.path("old"), "y"));
    const struct stat info = StatOf(box.path("old"));
    EXPECT_EQ(info.st_mode & 07777, 0751u);
    EXPECT_EQ(info.st_uid, 4321u);
    EXPECT_EQ(info.st_gid, 8765u);
}

TEST(AtomicFile, LongestNamesSaveBecauseTheTemporaryNameIsShort)
{
    Sandbox box;
    for (const std::size_t length : {249u, 255u}) {
        const std::string name = std::string(length - 4, 'n') + ".jpg";
        ASSERT_TRUE(Save(box.path(name), "picture")) << length;
        EXPECT_EQ(Text(box.path(name)), "picture");
        EXPECT_TRUE(Save(box.path(name), "again")) << "replacing it too";
    }
    EXPECT_EQ(FilesIn(box.path("")), 2u);
}

TEST(AtomicFile, AFailedWriteInAChildLeavesEveryNameAndFolderAsItWas)
{
    // Plain, linked and hard-linked targets each take their own path to disk.
    for (const char* kind : {"plain", "symlink", "hardlink"}) {
        SCOPED_TRACE(kind);
        Sandbox box;
        std::filesystem::create_directory(box.path("sub"));
        WriteFile(box.path("sub/real"), {'o', 'l', 'd'});
        const std::string target = std::string(kind) == "plain" ? box.path("sub/real") : box.path("name");
        if (std::string(kind) == "symlink")
            ::symlink("sub/real", target.c_str());
        if (std::string(kind) == "hardlink")
            ::link(box.path("sub/real").c_str(), target.c_str());
        const auto top = Names(box.path(""));
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // A file-size limit makes writes fail for root too.
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit small{1000, 1000};
            ::setrlimit(RLIMIT_FSIZE, &small);
            bool reported = false;
            {
                AtomicFile file(target);
                const std::vector<char> big(100000, 'x');
                reported = file.open() && !(file.write(big.data(), big.size()) && file.commit())
                           && file.error() == EFBIG;
            }
            ::_exit(reported ? 0 : 1);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the save was reported failed with EFBIG";
        EXPECT_EQ(Text(target), "old");
        EXPECT_EQ(Names(box.path("sub")), (std::vector<std::string>{"real"}));
        EXPECT_EQ(Names(box.path("")), top);
    }
}

TEST(AtomicFile, OnlyOurOwnOldTemporariesAreCleanedFromAFolder)
{
    Sandbox box;
    const auto age = [&](const std::string& name) {
        const timespec twoDaysAgo{::time(nullptr) - 2 * 24 * 3600, 0};
        const timespec times[2] = {twoDaysAgo, twoDaysAgo};
        ASSERT_EQ(::utimensat(AT_FDCWD, box.path(name).c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << name;
    };
    const auto make = [&](const std::string& name, bool old) {
        WriteFile(box.path(name), {'t'});
        if (old)
            age(name);
    };
    make(".~tamparo-Ab3xY9", true);  // ours, left by a killed save
    make(".~tamparo-Fresh1", false); // ours, new but held by no writer: left by a killed save too
    make(".~tamparo-AB_D12", true);  // not exactly our pattern (the names have their own test)
    make("photo.jpg.KBh8CQ", true);
    std::filesystem::create_directory(box.path(".~tamparo-Dir123"));
    age(".~tamparo-Dir123");
    ::symlink("photo.jpg.KBh8CQ", box.path(".~tamparo-Lnk123").c_str());
    age(".~tamparo-Lnk123");
    const auto before = Names(box.path(""));
    ASSERT_TRUE(Save(box.path("out.jpg"), "x"));
    auto expected = before;
    expected.erase(std::find(expected.begin(), expected.end(), ".~tamparo-Ab3xY9"));
    expected.erase(std::find(expected.begin(), expected.end(), ".~tamparo-Fresh1"));
    expected.insert(std::lower_bound(expected.begin(), expected.end(), "out.jpg"), "out.jpg");
    EXPECT_EQ(Names(box.path("")), expected) << "only the regular files of ours are gone";
}

TEST(AtomicFile, TemporariesOfKilledWritersGoThoseOfLiveOnesStay)
{
    Sandbox box;
    int pret[2];
    ASSERT_EQ(::pipe(pret), 0);
    const pid_t enfant = ::fork();
    ASSERT_GE(enfant, 0);
    if (enfant == 0) {
        AtomicFile file(box.path("a.jpg"));
        const bool ok = file.open() && file.write("half", 4) && std::fflush(file.stream()) == 0;
        (void)!::write(pret[1], ok ? "1" : "0", 1);
        ::pause();
        ::_exit(0);
    }
    char ok = 0;
    ASSERT_EQ(::read(pret[0], &ok, 1), 1);
    ::close(pret[0]);
    ::close(pret[1]);
    ASSERT_EQ(ok, '1');
    ::kill(enfant, SIGKILL);
    ::waitpid(enfant, nullptr, 0);
    const auto laisses = Names(box.path(""));
    ASSERT_EQ(laisses.size(), 1u);
    ASSERT_TRUE(AtomicFile::NomTemporaire(laisses[0]));

    // A writer of another process that is still at work holds its temporary.
    const std::string vivant = box.path(".~tamparo-Live01");
    WriteFile(vivant, {'w'});
    const int fd = ::open(vivant.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    ASSERT_TRUE(Save(box.path("b.jpg"), "x"));
    EXPECT_EQ(Names(box.path("")), (std::vector<std::string>{".~tamparo-Live01", "b.jpg"}));
    ::close(fd);
}

TEST(AtomicFile, TemporaryNamesAreRecognisedExactly)
{
    const std::vector<std::pair<std::string, bool>> cases = {
        {".~tamparo-AZaz09", true}, {".~tamparo-AZaz0", false}, {".~tamparo-AZaz090", false},
        {".~tamparo-AZ.z09", false}, {".~tamparo-AZ/z09", false}, {"~tamparo-AZaz09", false},
        {".~Tamparo-AZaz09", false}, {std::string(".~tamparo-AZ\0z09", 16), false},
    };
    for (const auto& [name, ours] : cases)
        EXPECT_EQ(AtomicFile::NomTemporaire(name), ours) << name;
}

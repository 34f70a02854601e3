// What the game shares with other programs and systems: a score file other
// games save into at the same moment, files reached through links, the
// kernel's own files, the C library of another system, and standard streams
// the game was started without.

#include "tests/support/Scratch.h"

#include "gameplay/Random.h"
#include "gameplay/Rules.h"
#include "platform/Files.h"
#include "platform/Platform.h"
#include "world/FileManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace
{
const std::string kScores = "Assets\\bin\\scores.bin";

class Shared : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { FileManager::Instance()->Initialize(); }
    void TearDown() override { std::cout.rdbuf(m_old); }
    std::string Take()
    {
        const std::string text = m_text.str();
        m_text.str("");
        return text;
    }
    static std::string Scores() { return support::ReadFile(NativePath(kScores)); }

    support::ScratchFolder m_scratch{"dungeon-shared"};
    std::stringstream m_text;
    std::streambuf* m_old = std::cout.rdbuf(m_text.rdbuf());
};

#ifndef _WIN32
// Runs `work` in a child process and returns its exit status (-1 if it died).
template <typename Work> pid_t Spawn(Work work)
{
    const pid_t child = fork();
    if (child == 0)
    {
        std::cout.setstate(std::ios::badbit);
        _exit(work() ? 0 : 1);
    }
    return child;
}
int Status(pid_t child)
{
    int status = -1;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
#endif
} // namespace

TEST_F(Shared, ScoreBytesThatLookLikeLineEndsAreKeptAsTheyAre)
{
    // 10 is 0a, 13 is 0d, 26 is 1a (the end of a text file on Windows): a
    // text-mode file would grow a byte or stop reading at them.
    FileManager* files = FileManager::Instance();
    const std::vector<std::int32_t> scores{10, 13, 26, 0x1a0d0a0d};
    for (std::int32_t score : scores)
    {
        ASSERT_TRUE(files->WriteBinaryFile(score));
    }
    EXPECT_EQ(Scores(), support::Records(scores));
    ASSERT_TRUE(files->ReadBinaryFile(kScoreFileKey));
    EXPECT_EQ(files->GetScores(), scores);
}

TEST(Random, OneSeedGivesOneGameOnEverySystem)
{
    // The sequence of glibc's rand for seed 1, the game's before any seed.
    const std::array<std::int32_t, 4> fromOne{1804289383, 846930886, 1681692777, 1714636915};
    Random::Seed(1);
    for (std::int32_t expected : fromOne)
    {
        EXPECT_EQ(Random::Next(), expected);
    }
    Random::Seed(0); // 0 seeds as 1
    EXPECT_EQ(Random::Next(), fromOne[0]);

#ifdef __GLIBC__
    // Every seed a session or the clock may give, against the C library this
    // game was first played with: seeds past 2^31 are negative to it.
    for (std::uint32_t seed : {2u, 7u, 12345u, 1733500000u, 2147483647u, 2147483648u, 4294967295u})
    {
        SCOPED_TRACE(seed);
        std::srand(seed);
        Random::Seed(seed);
        for (int i = 0; i < 1000; ++i)
        {
            ASSERT_EQ(Random::Next(), std::rand()) << "draw " << i;
        }
    }
#endif

    // The four effects come up alike.
    std::map<int, int> effects;
    Random::Seed(99);
    for (int i = 0; i < 40000; ++i)
    {
        ++effects[Random::Next() % kEffectCount];
    }
    ASSERT_EQ(effects.size(), std::size_t{kEffectCount});
    for (const auto& [effect, count] : effects)
    {
        EXPECT_NEAR(count, 10000, 400) << "effect " << effect;
    }
}

TEST_F(Shared, GamesSavingAtTheSameMomentKeepEveryRecord)
{
    // Eight games save 200 scores each as fast as they can, into one file.
    // Every save opens the file afresh, as another game's would: only the
    // lock orders them.
    constexpr int kGames = 8;
    constexpr int kSaves = 200;
    std::atomic<int> failed{0};
    std::vector<std::thread> games;
    for (int g = 0; g < kGames; ++g)
    {
        games.emplace_back(
            [g, &failed]
            {
                for (int s = 0; s < kSaves; ++s)
                {
                    if (WriteRecord(kScores, support::Records({g * 1000 + s})).status !=
                        DataStatus::kDone)
                    {
                        ++failed;
                    }
                }
            });
    }
    for (std::thread& game : games)
    {
        game.join();
    }
    EXPECT_EQ(failed, 0) << "saves reported failure";
    const std::string bytes = Scores();
    ASSERT_EQ(bytes.size(), std::size_t{4 * kGames * kSaves});
    // Every record whole and present once, in whatever order the games saved.
    std::vector<std::string> kept;
    for (std::size_t at = 0; at < bytes.size(); at += 4)
    {
        kept.push_back(bytes.substr(at, 4));
    }
    std::vector<std::string> expected;
    for (int g = 0; g < kGames; ++g)
    {
        for (int s = 0; s < kSaves; ++s)
        {
            expected.push_back(support::Records({g * 1000 + s}));
        }
    }
    std::sort(kept.begin(), kept.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(kept, expected);
}

#ifndef _WIN32
TEST_F(Shared, ASaveThatCannotHaveTheFileFailsAndChangesNothing)
{
    // Another program holds the file for longer than a save waits (a game
    // stopped in a debugger mid-save).
    support::WriteFile(NativePath(kScores), support::Records({100}) + "\x07");
    std::array<int, 2> toParent{};
    std::array<int, 2> toHolder{};
    ASSERT_EQ(pipe(toParent.data()), 0);
    ASSERT_EQ(pipe(toHolder.data()), 0);
    const pid_t holder = Spawn(
        [&]
        {
            const int fd = open(NativePath(kScores).c_str(), O_RDONLY);
            const char ready = flock(fd, LOCK_EX) == 0 ? 'y' : 'n';
            char done = 0;
            return write(toParent[1], &ready, 1) == 1 && read(toHolder[0], &done, 1) >= 0;
        });
    char ready = 0;
    ASSERT_EQ(read(toParent[0], &ready, 1), 1);
    ASSERT_EQ(ready, 'y');
    EXPECT_FALSE(FileManager::Instance()->WriteBinaryFile(450));
    EXPECT_EQ(Take(), "ERROR! Couldn't write to file: " + kScores +
                          "\nReason: Another program kept the file locked\n");
    EXPECT_EQ(Scores(), support::Records({100}) + "\x07");
    // Once it lets go, saving works again and repairs the tail.
    ASSERT_EQ(write(toHolder[1], "x", 1), 1);
    EXPECT_EQ(Status(holder), 0);
    for (int fd : {toParent[0], toParent[1], toHolder[0], toHolder[1]})
    {
        close(fd);
    }
    EXPECT_TRUE(FileManager::Instance()->WriteBinaryFile(450));
    EXPECT_EQ(Scores(), support::Records({100, 450}));
}

TEST_F(Shared, ALinkedScoreFileIsFollowedButItsStrayBytesAreNotOurs)
{
    // A player's link to a score file elsewhere: read and appended through.
    FileManager* files = FileManager::Instance();
    const fs::path elsewhere = fs::current_path() / "elsewhere.bin";
    support::WriteFile(elsewhere, support::Records({70}));
    fs::create_symlink(elsewhere, NativePath(kScores));
    EXPECT_TRUE(files->WriteBinaryFile(80));
    EXPECT_EQ(support::ReadFile(elsewhere), support::Records({70, 80}));
    ASSERT_TRUE(files->ReadBinaryFile(kScoreFileKey));
    EXPECT_EQ(files->GetScores(), (std::vector<std::int32_t>{70, 80, 0, 0}));

    // A link to a file that is not a score file (27 bytes of text): its last
    // three bytes are not an interrupted save to write over.
    const std::string text = "my notes, do not overwrite\n";
    support::WriteFile(elsewhere, text);
    Take();
    EXPECT_FALSE(files->WriteBinaryFile(90));
    EXPECT_EQ(support::ReadFile(elsewhere), text);
    EXPECT_EQ(Take(), "ERROR! Couldn't write to file: " + kScores +
                          "\nReason: The file is a link to a file that does not end in whole "
                          "records\n");
}

TEST_F(Shared, TheKernelsOwnFilesAreNotDataFiles)
{
    FileManager* files = FileManager::Instance();
    for (const char* kernel : {"/proc/self/stat", "/sys/kernel/profiling"})
    {
        if (!fs::exists(kernel))
        {
            continue;
        }
        SCOPED_TRACE(kernel);
        fs::remove(NativePath(kScores));
        fs::create_symlink(kernel, NativePath(kScores));
        Take();
        EXPECT_FALSE(files->ReadBinaryFile(kScoreFileKey));
        EXPECT_FALSE(files->WriteBinaryFile(1));
        EXPECT_EQ(Take(), "ERROR! Couldn't open binary file:" + kScores +
                              "\nReason: Not a regular file\nERROR! Couldn't open file: " +
                              kScores + "\nReason: Not a regular file\n");
    }
}

TEST(StandardStreams, AStreamTheGameWasStartedWithoutIsTheNullDevice)
{
    // Closed output, or closed output and error: after the call each of them
    // is the null device, and a file opened next gets a number of its own.
    for (const std::vector<int>& closed : {std::vector<int>{2}, std::vector<int>{1, 2}})
    {
        const pid_t child = Spawn(
            [&]
            {
                for (int fd : closed)
                {
                    close(fd);
                }
                OpenMissingStandardStreams();
                std::array<char, 64> target{};
                for (int fd : closed)
                {
                    const std::string link = "/proc/self/fd/" + std::to_string(fd);
                    if (readlink(link.c_str(), target.data(), target.size() - 1) < 0 ||
                        std::string(target.data()) != "/dev/null")
                    {
                        return false;
                    }
                }
                const int next = open(".", O_RDONLY);
                return next > 2;
            });
        EXPECT_EQ(Status(child), 0) << "closed: " << closed.size();
    }
}
#else
// The cases above need what Windows has no form of; they are listed, and skip.
TEST_F(Shared, ASaveThatCannotHaveTheFileFailsAndChangesNothing)
{
    GTEST_SKIP() << "the lock is held by a forked process with flock: Windows has neither";
}
TEST_F(Shared, ALinkedScoreFileIsFollowedButItsStrayBytesAreNotOurs)
{
    GTEST_SKIP() << "needs symbolic links, which Windows gives only to administrators";
}
TEST_F(Shared, TheKernelsOwnFilesAreNotDataFiles)
{
    GTEST_SKIP() << "Windows has no /proc or /sys";
}
TEST(StandardStreams, AStreamTheGameWasStartedWithoutIsTheNullDevice)
{
    GTEST_SKIP() << "closes descriptors in a forked process and reads /proc: not on Windows";
}
#endif

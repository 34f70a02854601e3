// The built program as a player or a launcher runs it: without a display,
// with a log whose reader goes away, killed while it plays.

#include "tests/support/Captured.h"

#include <cstdlib>
#include <string>
#ifndef _WIN32
#include <sys/wait.h>
#endif

using Program = support::Captured;

TEST_F(Program, StartUpStopsWithoutADisplayAndTheGameOutlivesItsLog)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows always has a display, and has no SIGPIPE or FIFOs";
#else
    // No display and no driver asked for: the program stops instead of running
    // unseen for ever (or SDL's own start fails, where it has no such driver).
    const std::string game = std::string("timeout 30 '") + DUNGEON_EXE + "'";
    support::WriteFile("Assets/ini/game.ini", "Dungeon 800 608 0");
    const std::string unseen = "env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER " + game;
    EXPECT_EQ(WEXITSTATUS(std::system((unseen + " >out.txt 2>/dev/null").c_str())), 1);
    const std::string out = support::ReadFile("out.txt");
    EXPECT_TRUE(
        out.ends_with("\nNo display found: SDL's offscreen video driver shows nothing.\n") ||
        out.find("\nSDL did not initialize properly.\nReason: ") != std::string::npos);

    // Like `dungeon | head -1` with the default SIGPIPE: the game outlives its
    // reader, and asked to quit, it shuts down normally.
    const std::string piped = "mkfifo log && (env --default-signal=PIPE " + game +
                              " >log 2>/dev/null & grep -m1 -qx 1 <log; kill $!; wait $!)";
    EXPECT_EQ(WEXITSTATUS(std::system(piped.c_str())), 0);
#endif
}

// The narration is a log read while the game runs (a launcher's, a terminal):
// every line is out as soon as it is printed. A game killed in the menu, with
// no chance to flush anything, has printed every line of its start-up and
// of its frames so far.
TEST_F(Program, AGameKilledInTheMenuHasPrintedEveryLineOfItsStartUp)
{
#ifdef _WIN32
    GTEST_SKIP() << "needs a shell to kill the game with SIGKILL";
#else
    m_scratch.CopyAssets("Dungeon 800 608 0\n");
    // Up to 5 s for the menu's first frame line: a game that keeps its lines
    // back shows none.
    const std::string run = std::string("'") + DUNGEON_EXE +
                            "' >out.txt 2>/dev/null & game=$!; for i in $(seq 250); do grep -qx 1 "
                            "out.txt && break; sleep 0.02; done; kill -KILL $game; wait $game";
    EXPECT_EQ(WEXITSTATUS(std::system(run.c_str())), 128 + SIGKILL);
    std::string startUp = support::ReadFile(DUNGEON_GOLDEN_DIR "/menu_exit.log");
    startUp.resize(startUp.find("#> started\n"));
    const std::string out = support::ReadFile("out.txt");
    ASSERT_TRUE(out.starts_with(startUp)) << out;
    const std::string frames = out.substr(startUp.size());
    EXPECT_TRUE(!frames.empty() && frames.find_first_not_of("1\n") == std::string::npos &&
                frames.ends_with("1\n"))
        << "not whole menu frame lines: " << frames;
#endif
}

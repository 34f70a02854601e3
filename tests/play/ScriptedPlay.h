#pragma once

// Plays whole games through the real per-frame step, the way a person would:
// clicks on the menu's buttons, arrow keys held along a route through every
// piece of gold, P, Return, Space and Escape. Used by the programs that run
// whole sessions (the scripted game under valgrind and the soak test), which
// are not unit tests and do not use the test fixture.

#include <SDL.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace scripted
{

// A scratch working folder holding a copy of the repository's Assets (with no
// score file) and a settings file for a window of the given size. The dummy
// video and audio drivers are selected. The folder is removed by the
// destructor.
//
// Long sessions ask for a small window: the game draws the same things in the
// same calls whatever the window's size (the view does not follow it), but the
// software renderer of the dummy driver then fills far fewer pixels, and
// filling pixels is nearly all of a headless frame's time.
class ScratchFolder
{
public:
    ScratchFolder(const std::string& prefix, int width = 800, int height = 608);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return m_dir; }

private:
    std::filesystem::path m_dir;
    std::filesystem::path m_oldDir;
};

// Sends std::cout to nowhere while it lives: the game narrates every frame.
class SilentCout
{
public:
    SilentCout();
    ~SilentCout();
    SilentCout(const SilentCout&) = delete;
    SilentCout& operator=(const SilentCout&) = delete;

private:
    std::streambuf* m_old;
};

struct Cell
{
    int column = 0;
    int row = 0;
    bool operator==(const Cell&) const = default;
};

// The cells from the player's start through every active piece of gold, each
// step to a neighbouring free cell: the nearest piece first, by a breadth-first
// search over the collision grid. Empty when a piece cannot be reached.
std::vector<Cell> RouteThroughGold();

// The first seed from `from` on whose ten draws of the pickup effects leave
// time to walk the route: no more penalties than bonuses, at most two stucks.
// Seeding the C generator with it makes a win on the route certain on any
// level where the walk itself fits in the clock.
unsigned FavourableSeed(unsigned from);

enum class Screen
{
    None,
    Menu,
    Play,
    Pause,
    Guide,
    Scores,
    Win,
    Lose,
};

const char* Name(Screen screen);

// Drives the game singleton. Every operation checks where it lands and
// records a failure (with a message on std::cerr) when the game did not do
// what a player would expect.
class Driver
{
public:
    Driver();
    ~Driver();
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;

    bool Start();
    void Shutdown();

    // One pass of the main loop that ran a frame (or the game ended).
    void Frame();
    void Frames(int count);
    std::int64_t FramesRun() const { return m_frames; }

    Screen Front() const;
    bool Expect(Screen screen, const char* when);

    // Menu buttons, by a left click (press in one frame, release in the next).
    bool ClickPlay();
    bool VisitScores(); // and back with Return
    // The texts of the score lines on the last visit of the scores screen.
    const std::vector<std::string>& ScoreLines() const { return m_scoreLines; }
    bool VisitGuide(); // and back with Return
    bool ClickExit();

    // In play: walks the route until the win screen shows. False when the game
    // was lost instead or the route could not be walked.
    bool WalkToWin(int pauseAtStep = -1);
    // In play: waits with no key held until the lose screen shows.
    bool WaitForLoss();
    // In play: P, a few frames of pause, Return back to the same game.
    bool PauseAndResume();
    // In play: P, then Space for a new menu; the game is abandoned.
    bool PauseToMenu();
    // On the win or lose screen: Return for a new menu.
    bool ReturnToMenu();

    bool Failed() const { return m_failed; }
    bool Fail(const std::string& message);

private:
    void Hold(int scancode) { m_keys[static_cast<std::size_t>(scancode)] = 1; }
    void Release(int scancode) { m_keys[static_cast<std::size_t>(scancode)] = 0; }
    void ReleaseAll() { m_keys.fill(0); }
    bool Click(int x, int y);
    bool TapUntil(int scancode, Screen screen, const char* when);

    std::array<Uint8, SDL_NUM_SCANCODES> m_keys{};
    std::int64_t m_frames = 0;
    bool m_failed = false;
    std::vector<std::string> m_scoreLines;
};

} // namespace scripted

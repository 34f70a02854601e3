#pragma once

// Plays whole games through the real per-frame step, the way a person would:
// clicks on the menu's buttons, arrow keys held along a route through every
// piece of gold, P, Return, Space and Escape. Used by the programs that run
// whole sessions (the scripted game under valgrind and the soak test), which
// are not unit tests and do not use the test fixture.
//
// Long sessions ask for a small window in their settings: the game draws the
// same things in the same calls whatever the window's size (the view does not
// follow it), but the software renderer of the dummy driver then fills far
// fewer pixels, and filling pixels is nearly all of a headless frame's time.

#include "tests/support/Play.h"
#include "tests/support/Scratch.h"

#include <cstdint>
#include <string>
#include <vector>

namespace scripted
{

using support::FavourableSeed;
using support::ScratchFolder;
using support::SilentCout;

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

// Drives the game singleton. Every operation checks where it lands and
// records a failure (with a message on std::cerr) when the game did not do
// what a player would expect.
class Driver
{
public:
    Driver();

    bool Start();
    void Shutdown();

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
    void Frame();
    // Clicks a menu button and expects `screen` in front afterwards.
    bool ClickOnMenu(int y, Screen screen, const char* button);
    bool TapUntil(int scancode, Screen screen, const char* when);

    support::Keyboard m_keys;
    std::int64_t m_frames = 0;
    bool m_failed = false;
    std::vector<std::string> m_scoreLines;
};

} // namespace scripted

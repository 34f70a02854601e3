// The main loop on a virtual clock: game time keeps real time at any picture
// rate. The platform shows each picture at the display's next refresh, and a
// game is clicked into from the menu and left alone until it is lost.

#include "tests/support/Scratch.h"

#include "core/Game.h"
#include "core/Graphics.h"
#include "core/Platform.h"
#include "gameplay/MenuLayout.h"
#include "gameplay/Rules.h"
#include "world/Map.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <vector>

using namespace std::chrono_literals;
using Nanos = std::chrono::nanoseconds;

namespace
{
constexpr int kPlaySteps = kGameSeconds * kUpdatesPerSecond;

// Time moves when the loop sleeps and when a picture waits for the display,
// whose refreshes come `periods` apart, in turn.
class Display final : public Platform
{
public:
    explicit Display(std::vector<Nanos> periods) : m_periods(std::move(periods)) {}

    TimePoint Now() override { return TimePoint(m_now); }
    void SleepFor(Nanos duration) override
    {
        m_now += duration;
        m_idles += duration == 1ms ? 1 : 0;
    }
    const Uint8* Keys() override
    {
        m_stepTimes.push_back(m_now);
        m_mostSteps = std::max(m_mostSteps, ++m_stepsSincePicture);
        // Pause for `pauseSteps` from the 100th step, leave on the lose screen.
        const auto step = static_cast<int>(m_stepTimes.size());
        m_keys[SDL_SCANCODE_P] = step == 100 && m_pauseSteps > 0 ? 1 : 0;
        m_keys[SDL_SCANCODE_RETURN] = step == 102 + m_pauseSteps ? 1 : 0;
        m_keys[SDL_SCANCODE_ESCAPE] = Map::Instance()->m_lost ? 1 : 0;
        return m_keys.data();
    }
    void Present(SDL_Renderer*) override
    {
        const Nanos period = m_periods[m_pictures++ % m_periods.size()];
        m_now = (m_now / period + 1) * period;
        m_stepsSincePicture = 0;
    }

    std::vector<Nanos> m_periods;
    Nanos m_now{};
    int m_pauseSteps = 0;
    int m_idles = 0;
    int m_pictures = 0;
    int m_stepsSincePicture = 0;
    int m_mostSteps = 0;
    std::vector<Nanos> m_stepTimes;
    std::array<Uint8, SDL_NUM_SCANCODES> m_keys{};
};

// Runs the program from start-up to the end on the display, with a click on
// Play waiting before the first step.
void Play(Display& display)
{
    support::SilentCout quiet;
    support::ScratchFolder scratch("loop");
    scratch.CopyAssets();
    scratch.WriteSettings("Dungeon 160 120 0\n");
    Game* game = Game::Instance();
    ASSERT_TRUE(game->Initialize());
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    // A click on Play where the window shows it; SDL maps it to the picture.
    const ButtonSpec& play = kMenuButtons[kButtonPlay];
    const Graphics* graphics = Graphics::Instance();
    for (const bool down : {true, false})
    {
        SDL_Event click{};
        click.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        click.button.windowID = SDL_GetWindowID(graphics->m_window);
        click.button.button = SDL_BUTTON_LEFT;
        click.button.state = down ? SDL_PRESSED : SDL_RELEASED;
        SDL_RenderLogicalToWindow(graphics->m_renderer, float(play.x + 10), float(play.y + 10),
                                  &click.button.x, &click.button.y);
        SDL_PushEvent(&click);
    }
    EXPECT_TRUE(game->Run(display));
    game->Shutdown();
}

class Loop : public ::testing::TestWithParam<std::vector<Nanos>>
{
};

// Step 1 is the menu's click, steps 2 to 5401 the game, whose last step sees
// the clock run out; the lose screen's first step leaves.
TEST_P(Loop, NinetySecondsOfPlayTakeNinetySecondsAtAnyPictureRate)
{
    Display display(GetParam());
    Play(display);
    const std::vector<Nanos>& steps = display.m_stepTimes;
    ASSERT_EQ(steps.size(), static_cast<std::size_t>(kPlaySteps + 2));
    const Nanos played = steps[kPlaySteps] - steps[1];
    EXPECT_NEAR(std::chrono::duration<double>(played).count(), kGameSeconds, 1.0);
    EXPECT_LE(display.m_mostSteps, 5) << "steps run between two pictures";
    EXPECT_LE(display.m_pictures, kPlaySteps + 2) << "a picture follows steps, never stands alone";
    EXPECT_EQ(display.m_idles, kPlaySteps + 1) << "each step without an event idles 1 ms";
}

INSTANTIATE_TEST_SUITE_P(Rates, Loop,
                         testing::Values(std::vector<Nanos>{Nanos(1s) / 30},
                                         std::vector<Nanos>{Nanos(1s) / 60},
                                         std::vector<Nanos>{Nanos(1s) / 144},
                                         std::vector<Nanos>{5ms, 40ms, 12ms, 70ms, 3ms, 25ms}));

TEST(LoopStall, AStallSlowsTheGameDownWithoutABurstAndAPauseStopsItsClock)
{
    // A 10 s stall at the 50th picture; a pause of 1,800 steps (30 s).
    std::vector<Nanos> periods(60, Nanos(1s) / 60);
    periods[50] = 10s;
    Display display(periods);
    display.m_pauseSteps = 1800;
    Play(display);
    EXPECT_EQ(display.m_mostSteps, 5);
    // The game still lasts 5,400 steps of play, plus the pause's.
    EXPECT_EQ(display.m_stepTimes.size(), static_cast<std::size_t>(kPlaySteps + 2 + 1802));
}
} // namespace

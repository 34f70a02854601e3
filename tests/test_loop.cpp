// The main loop on a virtual clock: game time keeps real time at any picture rate.
// A game is started from the menu, paused for 10 s and left alone until it is lost.

#include "tests/support/Scratch.h"

#include "core/Game.h"
#include "gameplay/MenuLayout.h"
#include "gameplay/Rules.h"
#include "platform/Platform.h"
#include "world/Map.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <utility>
#include <vector>

using namespace std::chrono_literals;
using Nanos = std::chrono::nanoseconds;

namespace
{
constexpr int kPauseSteps = 10 * kUpdatesPerSecond;

// The display's refreshes come `first` apart in turn; the 50th picture waits `second` longer.
using Rate = std::pair<std::vector<Nanos>, std::chrono::seconds>;

// Time moves only when the loop sleeps and when a picture waits for a refresh.
struct Display final : Platform
{
    explicit Display(Rate rate) : m_rate(std::move(rate)) {}

    // The loop reads the clock once as each of its passes begins.
    TimePoint Now() override
    {
        m_stepsThisPass = 0;
        return TimePoint(m_now);
    }
    void SleepFor(Nanos duration) override
    {
        m_now += duration;
        m_idles += duration == 1ms ? 1 : 0;
    }
    const Uint8* Keys() override
    {
        m_steps.push_back(m_now);
        m_mostSteps = std::max(m_mostSteps, ++m_stepsThisPass);
        m_keys[SDL_SCANCODE_P] = m_steps.size() == 100;
        m_keys[SDL_SCANCODE_RETURN] = m_steps.size() == 102 + kPauseSteps;
        m_keys[SDL_SCANCODE_ESCAPE] = Map::Instance()->m_lost;
        return m_keys.data();
    }
    void Present(SDL_Renderer*) override
    {
        const Nanos period = m_rate.first[m_pictures % m_rate.first.size()];
        m_now = (m_now / period + 1) * period + (++m_pictures == 50 ? m_rate.second : 0s);
    }

    Rate m_rate;
    Nanos m_now{};
    std::size_t m_pictures = 0;
    int m_idles = 0;
    int m_stepsThisPass = 0;
    int m_mostSteps = 0;
    std::vector<Nanos> m_steps;
    std::array<Uint8, SDL_NUM_SCANCODES> m_keys{};
};

using Loop = testing::TestWithParam<Rate>;

TEST_P(Loop, GameTimeKeepsRealTimeAtAnyPictureRate)
{
    support::SilentCout quiet(true);
    support::ScratchFolder scratch("loop");
    // Nothing here looks at the pictures: a one-pixel window draws them at
    // next to no cost, over thousands of steps.
    scratch.CopyAssets("Dungeon 1 1 0\n");
    Game* game = Game::Instance();
    ASSERT_TRUE(game->Initialize()) << quiet.Tail() << SDL_GetError();
    // A press on Play, in the picture's coordinates (no window to map them from).
    const ButtonPlace& play = kMenuButtons[kButtonPlay];
    SDL_Event press{.button = {SDL_MOUSEBUTTONDOWN, 0, 0, 0, SDL_BUTTON_LEFT, SDL_PRESSED, 1, 0,
                               play.x + 10, play.y + 10}};
    SDL_PushEvent(&press);
    Display display(GetParam());
    EXPECT_TRUE(game->Run(display));
    game->Shutdown();
    // The menu's step, the game's, the pause screen's from P to Return, and
    // the lose screen's, which leaves. A stall is lost, not caught up.
    const std::vector<Nanos>& steps = display.m_steps;
    ASSERT_EQ(std::ssize(steps), 1 + kGameSeconds * kUpdatesPerSecond + kPauseSteps + 2 + 1);
    const std::chrono::duration<double> played = steps.end()[-2] - steps[1];
    EXPECT_NEAR(played.count(), kGameSeconds + 10 + GetParam().second.count(), 1.0);
    EXPECT_LE(display.m_mostSteps, 5) << "steps run in one pass";
    // A picture is presented when it changes: at least each second of play,
    // as the clock counts down, and far from every step (the menu and the
    // pause screen stand still, and so does the player).
    EXPECT_GE(display.m_pictures, static_cast<std::size_t>(kGameSeconds));
    EXPECT_LT(display.m_pictures, steps.size() / 4);
    EXPECT_EQ(display.m_idles, std::ssize(steps) - 1) << "each step without an event idles 1 ms";
}

// 30 and 144 pictures a second bracket the step rate; the irregular display
// also stalls for 10 s, which must be lost rather than caught up.
INSTANTIATE_TEST_SUITE_P(Rates, Loop,
                         testing::Values(Rate{{Nanos(1s) / 30}, 0s}, Rate{{Nanos(1s) / 144}, 0s},
                                         Rate{{5ms, 40ms, 12ms, 70ms, 3ms, 25ms}, 10s}));
} // namespace

// A browser calls one pass per animation frame. Its frames come near the
// step rate, a hair faster and with some jitter; with a little leeway for a
// step that is almost due, nearly every frame still gets a picture.
TEST(Frame, AnimationFramesNearTheStepRateEachShowAPicture)
{
    support::SilentCout quiet(true);
    support::ScratchFolder scratch("frame");
    scratch.CopyAssets("Dungeon 1 1 0\n");
    Game* game = Game::Instance();
    ASSERT_TRUE(game->Initialize()) << quiet.Tail() << SDL_GetError();
    Display display(Rate{{Nanos(1s) / 60}, 0s});
    int pictures = 0;
    for (int frame = 0; frame < 600; ++frame)
    {
        display.m_now = frame * 16'600us + (frame % 2) * 700us;
        pictures += game->Frame(display, 4ms) == 0ns ? 1 : 0;
    }
    game->Shutdown();
    EXPECT_GE(pictures, 597);
}

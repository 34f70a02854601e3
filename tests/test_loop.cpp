// The main loop's frame pacing, on a virtual clock: the loop runs the menu
// until Escape, held from a chosen frame on, ends it.

#include "tests/support/Scratch.h"

#include "core/Game.h"
#include "core/Platform.h"
#include "gameplay/Rules.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <utility>
#include <vector>

using namespace std::chrono_literals;
using Nanos = std::chrono::nanoseconds;

namespace
{
constexpr int kFrames = 30;    // Escape is held from this frame on
constexpr int kSlowFrame = 10; // the work of this frame takes 40 ms
constexpr Nanos kSlowWork = 40ms;

// Time moves only when the loop sleeps or the slow frame works.
class VirtualPlatform final : public Platform
{
public:
    TimePoint Now() override { return TimePoint(m_now); }
    void SleepFor(Nanos duration) override
    {
        m_sleeps.push_back({m_frames, duration});
        m_now += duration;
    }
    const Uint8* Keys() override
    {
        ++m_frames;
        m_now += m_frames == kSlowFrame ? kSlowWork : 0ns;
        m_keys[SDL_SCANCODE_ESCAPE] = m_frames >= kFrames ? 1 : 0;
        return m_keys.data();
    }

    Nanos m_now{};
    int m_frames = 0;
    // Each sleep with the number of frames begun before it.
    std::vector<std::pair<int, Nanos>> m_sleeps;
    std::array<Uint8, SDL_NUM_SCANCODES> m_keys{};
};

TEST(Loop, FramesRunAtSixtyASecondIdleWithoutEventsAndDoNotCatchUpAfterASlowOne)
{
    support::SilentCout quiet;
    support::ScratchFolder scratch("loop");
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    scratch.CopyAssets();
    scratch.WriteSettings("Dungeon 800 608 0\n");
    Game* game = Game::Instance();
    ASSERT_TRUE(game->Initialize());
    // Only the test decides which frames find an event waiting: the first.
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    SDL_Event user{};
    user.type = SDL_USEREVENT;
    SDL_PushEvent(&user);
    VirtualPlatform platform;
    EXPECT_TRUE(game->Run(platform));
    game->Shutdown();

    EXPECT_EQ(platform.m_frames, kFrames);
    // Every frame but the slow one takes a sixtieth of a second; that one its
    // idle millisecond and its work, and the frames after it are not cut short.
    const Nanos ideal = (kFrames - 1) * Nanos(1s) / kUpdatesPerSecond + 1ms + kSlowWork;
    EXPECT_LE(std::abs((platform.m_now - ideal).count()), kFrames) << platform.m_now.count();
    int idles = 0;
    for (const auto& [frames, slept] : platform.m_sleeps)
    {
        idles += slept == 1ms ? 1 : 0;
        EXPECT_NE(frames, 0) << "the first frame had an event waiting";
        EXPECT_TRUE(frames != kSlowFrame || slept == 1ms) << "only the next frame's idle follows";
    }
    EXPECT_EQ(idles, kFrames - 1) << "one idle millisecond per frame without events";
}
} // namespace

// The main loop's frame pacing, on a virtual clock: the loop is run on the
// menu until Escape, held from a chosen frame on, ends it.

#include "tests/support/Scratch.h"

#include "core/Game.h"
#include "core/Input.h"
#include "core/Platform.h"
#include "gameplay/Rules.h"

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
        if (m_frames == m_slowFrame)
        {
            m_now += m_slowBy;
        }
        m_keys[SDL_SCANCODE_ESCAPE] = m_frames >= m_escapeFrom ? 1 : 0;
        return m_keys.data();
    }

    struct Sleep
    {
        int afterFrame; // frames begun before it
        Nanos duration;
    };
    Nanos m_now{};
    int m_frames = 0;
    int m_escapeFrom = 0;
    int m_slowFrame = 0;
    Nanos m_slowBy{};
    std::vector<Sleep> m_sleeps;

private:
    std::array<Uint8, SDL_NUM_SCANCODES> m_keys{};
};

class Loop : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        scratch.CopyAssets();
        scratch.WriteSettings("Dungeon 800 608 0\n");
        ASSERT_TRUE(Game::Instance()->Initialize());
        // Start from an empty queue so that which frames find an event
        // waiting is up to the test.
        SDL_PumpEvents();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
    void TearDown() override { Game::Instance()->Shutdown(); }

    // The expected run time, to the rounding of a frame to whole nanoseconds.
    static void ExpectTook(Nanos took, int frames, Nanos extra)
    {
        const Nanos ideal = frames * Nanos(1s) / kUpdatesPerSecond + extra;
        EXPECT_LE(std::abs((took - ideal).count()), frames) << took.count() << " ns";
    }

    support::SilentCout quiet;
    support::ScratchFolder scratch{"loop"};
    VirtualPlatform platform;
};

constexpr int kFrames = 30;

TEST_F(Loop, FramesRunAtSixtyASecondAndIdleOneMillisecondWithoutEvents)
{
    platform.m_escapeFrom = kFrames;
    SDL_Event user{};
    user.type = SDL_USEREVENT;
    SDL_PushEvent(&user); // waiting for the first frame, which does not idle
    EXPECT_TRUE(Game::Instance()->Run(platform));
    EXPECT_EQ(platform.m_frames, kFrames);
    ExpectTook(platform.m_now, kFrames, 0ns);
    int idles = 0;
    for (const auto& sleep : platform.m_sleeps)
    {
        idles += sleep.duration == 1ms ? 1 : 0;
        EXPECT_NE(sleep.afterFrame, 0) << "the first frame had an event waiting";
    }
    EXPECT_EQ(idles, kFrames - 1);
}

TEST_F(Loop, ASlowFrameIsNeitherSleptAfterNorMadeUpFor)
{
    const int slow = 10;
    platform.m_escapeFrom = kFrames;
    platform.m_slowFrame = slow;
    platform.m_slowBy = 40ms;
    EXPECT_TRUE(Game::Instance()->Run(platform));
    // The slow frame took its idle millisecond and 40 ms; every other frame
    // its sixtieth of a second.
    ExpectTook(platform.m_now, kFrames - 1, 41ms);
    for (const auto& sleep : platform.m_sleeps)
    {
        if (sleep.afterFrame == slow)
        {
            EXPECT_EQ(sleep.duration, 1ms) << "only the next frame's idle follows the slow one";
        }
    }
}
} // namespace

// Times the per-frame work of a game in progress, headless on SDL's software
// renderer: the rules update, the world drawing, and a whole play frame
// through the main loop's step. Run with `make bench`.
#include "core/Game.h"
#include "core/Graphics.h"
#include "tests/golden/Session.h"
#include "tests/support/Scratch.h"
#include "world/Map.h"

#include <benchmark/benchmark.h>

#include <sstream>

namespace
{
// Once per process: a game under way in a scratch copy of the assets, started
// by the driver the golden sessions use.
golden::Session* Playing()
{
    static golden::Session* session = []() -> golden::Session*
    {
        static const support::ScratchFolder scratch("dungeon-bench");
        scratch.CopyAssets("Dungeon 800 608 0\n");
        std::istringstream script("start\nseed 1\nframes 2\nclick Play\nframes 2\n");
        std::vector<golden::Command> commands;
        static golden::Session s;
        return golden::Parse(script, commands) && s.Run(commands) ? &s : nullptr;
    }();
    return session;
}

// Runs `work` per iteration with the log silenced and the clock kept from
// running out.
template <typename Work> void Time(benchmark::State& state, Work work)
{
    const support::SilentCout quiet;
    golden::Session* session = Playing();
    if (session == nullptr)
    {
        state.SkipWithError("the game did not start");
        return;
    }
    for (auto _ : state)
    {
        work(*session);
        Map::Instance()->m_timeLeft = 90;
    }
}

void BM_MapUpdate(benchmark::State& state)
{
    Time(state, [](golden::Session&) { Map::Instance()->Update(); });
}

void BM_MapRender(benchmark::State& state)
{
    // SDL batches drawing until the frame is presented: flush so the time
    // includes the drawing itself.
    Time(state,
         [](golden::Session&)
         {
             Map::Instance()->Render();
             SDL_RenderFlush(Graphics::Instance()->m_renderer);
         });
}

void BM_PlayFrame(benchmark::State& state)
{
    Time(state, [](golden::Session& s) { Game::Instance()->Step(s.Platform()); });
}

BENCHMARK(BM_MapUpdate)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MapRender)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlayFrame)->Unit(benchmark::kMicrosecond);
} // namespace

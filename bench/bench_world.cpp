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
void Time(benchmark::State& state, void (*work)(golden::Session&))
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

void MapUpdate(golden::Session&)
{
    Map::Instance()->Update();
}

// SDL batches drawing until the frame is presented: flush so the time
// includes the drawing itself.
void MapRender(golden::Session&)
{
    Map::Instance()->Render();
    SDL_RenderFlush(Graphics::Instance()->m_renderer);
}

void PlayFrame(golden::Session& s)
{
    Game::Instance()->Step(s.Platform());
}

BENCHMARK_CAPTURE(Time, MapUpdate, MapUpdate)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Time, MapRender, MapRender)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Time, PlayFrame, PlayFrame)->Unit(benchmark::kMicrosecond);
} // namespace

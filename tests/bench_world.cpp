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
// Once per process: a scratch copy of the assets and a game under way, started
// by the same session driver the golden transcripts use.
golden::Session* Playing()
{
    static golden::Session* session = []
    {
        static const support::ScratchFolder scratch("dungeon-bench");
        scratch.CopyAssets();
        scratch.WriteSettings("Dungeon 800 608 0\n");
        std::istringstream script("start\nseed 1\nframes 2\nclick Play\nframes 2\n");
        std::vector<golden::Command> commands;
        auto* s = new golden::Session();
        const support::SilentCout quiet;
        return golden::Parse(script, commands) && s->Run(commands) ? s : nullptr;
    }();
    return session;
}

// The clock must not run out while a benchmark keeps playing.
void KeepPlaying()
{
    Map::Instance()->m_timeLeft = 90;
}

void BM_MapUpdate(benchmark::State& state)
{
    const support::SilentCout quiet;
    if (Playing() == nullptr)
    {
        state.SkipWithError("the game did not start");
        return;
    }
    for (auto _ : state)
    {
        Map::Instance()->Update();
        KeepPlaying();
    }
}
BENCHMARK(BM_MapUpdate)->Unit(benchmark::kMicrosecond);

void BM_MapRender(benchmark::State& state)
{
    const support::SilentCout quiet;
    if (Playing() == nullptr)
    {
        state.SkipWithError("the game did not start");
        return;
    }
    for (auto _ : state)
    {
        Map::Instance()->Render();
        // SDL batches drawing until the frame is presented: flush so the time
        // includes the drawing itself.
        SDL_RenderFlush(Graphics::Instance()->m_renderer);
    }
}
BENCHMARK(BM_MapRender)->Unit(benchmark::kMicrosecond);

void BM_PlayFrame(benchmark::State& state)
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
        Game::Instance()->Step(session->Platform());
        KeepPlaying();
    }
}
BENCHMARK(BM_PlayFrame)->Unit(benchmark::kMicrosecond);
} // namespace

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

// A play frame whose picture is drawn and shown anew, in a window of the size
// given: at 1 x, at 2 x, and filling a 1920 x 1080 screen (the picture
// enlarged 2 x, then reduced smoothly to 1421 x 1080).
void ShownFrame(benchmark::State& state)
{
    {
        const support::SilentCout quiet;
        Playing(); // the window
    }
    SDL_Window* window = Graphics::Instance()->m_window;
    SDL_SetWindowSize(window, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    Time(state,
         [](golden::Session& s)
         {
             Graphics::Instance()->Redraw();
             Game::Instance()->Step(s.Platform());
         });
    SDL_SetWindowSize(window, 800, 608);
}

BENCHMARK_CAPTURE(Time, MapUpdate, MapUpdate)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Time, MapRender, MapRender)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Time, PlayFrame, PlayFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(ShownFrame)
    ->Args({800, 608})
    ->Args({1600, 1216})
    ->Args({1920, 1080})
    ->Unit(benchmark::kMicrosecond);
} // namespace

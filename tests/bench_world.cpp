// Times the per-frame work of a game in progress, headless: the rules update,
// the world drawing on the software renderer, and a whole play frame through
// the main loop. Run by hand: ./build/tests/bench_world
#include "core/Game.h"
#include "core/GameState.h"
#include "core/Graphics.h"
#include "core/Input.h"
#include "gameplay/Player.h"
#include "tests/support/Play.h"
#include "tests/support/Scratch.h"
#include "world/Map.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace
{
bool s_ready = false;

// Silences the log while a benchmark runs; the results are printed to
// std::cout too, after the benchmark returns.
using Quiet = support::SilentCout;

void Click(int x, int y, bool down)
{
    support::PushMouseButton(x, y, SDL_BUTTON_LEFT, down);
}

// Once per process: a scratch copy of the committed Assets as the working
// folder, the program started headless and a game under way.
bool StartGame(benchmark::State& state)
{
    if (s_ready)
    {
        return true;
    }
    const fs::path source = support::SourceAssets();
    if (!fs::exists(source / "Maps"))
    {
        state.SkipWithError("no level in the repository's Assets");
        return false;
    }
    // The window of the committed settings: the figures are for a real game.
    static const support::ScratchFolder scratch("dungeon-bench");
    scratch.CopyAssets();
    scratch.WriteSettings(support::ReadFile(source / "ini" / "game.ini"));
    Game* game = Game::Instance();
    if (!game->Initialize())
    {
        state.SkipWithError("the game did not start");
        return false;
    }
    std::srand(1);
    Click(100, 330, true);
    while (Map::Instance()->m_player == nullptr && !game->m_quit)
    {
        game->Step(support::ThePlatform());
    }
    Click(100, 330, false);
    for (int i = 0; i < 60; ++i)
    {
        game->Step(support::ThePlatform());
    }
    s_ready = Map::Instance()->m_player != nullptr && !game->m_quit;
    if (!s_ready)
    {
        state.SkipWithError("the game did not begin");
    }
    return s_ready;
}

// Keeps the game running however long the benchmark lasts.
void KeepPlaying()
{
    Map::Instance()->m_timeLeft = 90;
}

void BM_MapUpdate(benchmark::State& state)
{
    const Quiet quiet;
    if (!StartGame(state))
    {
        return;
    }
    Map* map = Map::Instance();
    for (auto _ : state)
    {
        map->Update();
        KeepPlaying();
    }
}
BENCHMARK(BM_MapUpdate)->Unit(benchmark::kMicrosecond);

void BM_MapRender(benchmark::State& state)
{
    const Quiet quiet;
    if (!StartGame(state))
    {
        return;
    }
    Map* map = Map::Instance();
    SDL_Renderer* renderer = Graphics::Instance()->m_renderer;
    for (auto _ : state)
    {
        map->Render();
        // SDL batches drawing until the frame is presented; flushing here
        // makes the time include the drawing itself, and keeps the batch from
        // piling up across iterations.
        SDL_RenderFlush(renderer);
    }
}
BENCHMARK(BM_MapRender)->Unit(benchmark::kMicrosecond);

void BM_PlayFrame(benchmark::State& state)
{
    const Quiet quiet;
    if (!StartGame(state))
    {
        return;
    }
    Game* game = Game::Instance();
    for (auto _ : state)
    {
        game->Step(support::ThePlatform());
        KeepPlaying();
    }
    if (game->m_quit)
    {
        state.SkipWithError("the game ended during the benchmark");
    }
}
BENCHMARK(BM_PlayFrame)->Unit(benchmark::kMicrosecond);
} // namespace

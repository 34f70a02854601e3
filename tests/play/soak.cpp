// Soak: 300 games in one process through the per-frame step, with wins along
// the route, losses by waiting, pauses, games abandoned with Space from the
// pause screen, and visits to the guide and scores screens. From the end of
// game 20 to the end, resident memory may grow by at most 1 MiB and the open
// files and live textures and fonts must stay flat; the score file must hold
// one record per won game. Prints the figures; exits non-zero on a failure.
#include "tests/play/ScriptedPlay.h"

#include "graphics/ResourceManager.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <unistd.h>

// Every texture and font the game makes or frees goes through these: the link
// wraps the game's calls, so the counts are the game's own, whatever SDL keeps
// inside.
namespace
{
long s_liveTextures = 0;
long s_liveFonts = 0;
} // namespace

extern "C"
{
    SDL_Texture* __real_SDL_CreateTextureFromSurface(SDL_Renderer* renderer, SDL_Surface* surface);
    void __real_SDL_DestroyTexture(SDL_Texture* texture);
    TTF_Font* __real_TTF_OpenFont(const char* file, int size);
    void __real_TTF_CloseFont(TTF_Font* font);

    SDL_Texture* __wrap_SDL_CreateTextureFromSurface(SDL_Renderer* renderer, SDL_Surface* surface)
    {
        SDL_Texture* texture = __real_SDL_CreateTextureFromSurface(renderer, surface);
        s_liveTextures += texture != nullptr ? 1 : 0;
        return texture;
    }

    void __wrap_SDL_DestroyTexture(SDL_Texture* texture)
    {
        s_liveTextures -= texture != nullptr ? 1 : 0;
        __real_SDL_DestroyTexture(texture);
    }

    TTF_Font* __wrap_TTF_OpenFont(const char* file, int size)
    {
        TTF_Font* font = __real_TTF_OpenFont(file, size);
        s_liveFonts += font != nullptr ? 1 : 0;
        return font;
    }

    void __wrap_TTF_CloseFont(TTF_Font* font)
    {
        s_liveFonts -= font != nullptr ? 1 : 0;
        __real_TTF_CloseFont(font);
    }
}

namespace
{
constexpr int kGames = 300;
constexpr int kWarmUpGames = 20;
constexpr long kMaxGrowth = 1024 * 1024;

struct Figures
{
    long residentBytes = 0;
    long openFiles = 0;
    long liveTextures = 0;
    long liveFonts = 0;
    std::size_t cachedTextures = 0;
    std::size_t cachedFonts = 0;
};

Figures Measure()
{
    Figures f;
    long pages = 0;
    long resident = 0;
    std::ifstream statm("/proc/self/statm");
    statm >> pages >> resident;
    f.residentBytes = resident * sysconf(_SC_PAGESIZE);
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
    {
        ++f.openFiles;
    }
    f.liveTextures = s_liveTextures;
    f.liveFonts = s_liveFonts;
    f.cachedTextures = AssetCache::Instance()->m_textures.size();
    f.cachedFonts = AssetCache::Instance()->m_fonts.size();
    return f;
}

void Print(const char* when, const Figures& f)
{
    std::printf("%-22s resident %8.2f MiB  open files %3ld  live textures %3ld (cached %zu)  "
                "live fonts %ld (cached %zu)\n",
                when, static_cast<double>(f.residentBytes) / (1024.0 * 1024.0), f.openFiles,
                f.liveTextures, f.cachedTextures, f.liveFonts, f.cachedFonts);
}

enum class Kind
{
    Win,
    Loss,
    Abandoned,
};

// The mix: most games are won on the route (every third with a pause on the
// way), one in 25 is left alone until it is lost, one in 10 is abandoned from
// the pause screen with Space.
Kind KindOf(int game)
{
    if (game % 25 == 12)
    {
        return Kind::Loss;
    }
    if (game % 10 == 5)
    {
        return Kind::Abandoned;
    }
    return Kind::Win;
}
} // namespace

int main()
{
    using Clock = std::chrono::steady_clock;
    const auto started = Clock::now();
    scripted::ScratchFolder scratch("dungeon-soak");
    scratch.CopyAssets();
    // A small window keeps the thousands of frames quick; see ScriptedPlay.h.
    scratch.WriteSettings("Dungeon 80 60 0\n");
    scripted::Driver driver;
    int won = 0;
    int lost = 0;
    int abandoned = 0;
    int scoresVisits = 0;
    int guideVisits = 0;
    Figures warm;
    Figures last;
    {
        scripted::SilentCout quiet;
        bool ok = driver.Start();
        for (int game = 0; ok && game < kGames; ++game)
        {
            ok = driver.ClickPlay();
            switch (ok ? KindOf(game) : Kind::Abandoned)
            {
            case Kind::Win:
                std::srand(scripted::FavourableSeed(static_cast<unsigned>(game) * 1000 + 1));
                if (driver.WalkToWin(game % 3 == 0 ? 15 + game % 7 : -1))
                {
                    ++won;
                }
                else if (!driver.Failed())
                {
                    ok = driver.Fail("a game on the route was lost, game " + std::to_string(game));
                }
                ok = ok && driver.ReturnToMenu();
                break;
            case Kind::Loss:
                ok = driver.WaitForLoss() && driver.ReturnToMenu();
                ++lost;
                break;
            case Kind::Abandoned:
                if (ok)
                {
                    driver.Frames(90);
                    ok = driver.PauseToMenu();
                    ++abandoned;
                }
                break;
            }
            if (ok && game % 4 == 3)
            {
                ok = driver.VisitScores();
                ++scoresVisits;
            }
            if (ok && game % 6 == 1)
            {
                ok = driver.VisitGuide();
                ++guideVisits;
            }
            // Measured on the menu, the same screen every time.
            if (game + 1 == kWarmUpGames)
            {
                warm = Measure();
            }
            last = Measure();
        }
        if (!driver.Failed())
        {
            driver.ClickExit();
        }
        driver.Shutdown();
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
    const auto records = static_cast<long>(
        std::filesystem::file_size(scratch.Path() / "Assets" / "bin" / "scores.bin") / 4);

    std::printf("Soak: %d games (%d won, %d lost, %d abandoned), %d scores and %d guide visits, "
                "%lld frames in %.1f s\n",
                won + lost + abandoned, won, lost, abandoned, scoresVisits, guideVisits,
                static_cast<long long>(driver.FramesRun()), seconds);
    Print("after game 20:", warm);
    Print("after game 300:", last);
    const long growth = last.residentBytes - warm.residentBytes;
    std::printf("resident growth %+ld bytes (limit %ld); score records %ld for %d won games\n",
                growth, kMaxGrowth, records, won);

    bool failed = driver.Failed();
    const auto check = [&failed](bool good, const char* what)
    {
        if (!good)
        {
            std::printf("FAILED: %s\n", what);
            failed = true;
        }
    };
    check(won + lost + abandoned == kGames, "not every game was played");
    check(growth <= kMaxGrowth, "resident memory grew by more than 1 MiB");
    check(last.openFiles == warm.openFiles, "the number of open files changed");
    check(last.liveTextures == warm.liveTextures && last.cachedTextures == warm.cachedTextures,
          "the number of live textures changed");
    check(last.liveFonts == warm.liveFonts && last.cachedFonts == warm.cachedFonts,
          "the number of live fonts changed");
    check(records == won, "the score file does not hold one record per won game");
    std::printf("%s\n", failed ? "Soak FAILED" : "Soak passed");
    return failed ? 1 : 0;
}

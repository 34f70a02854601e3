// The browser's entry point, in place of main.cpp. A page may not block: the
// browser calls one pass of the main loop per animation frame, and the score
// file lives in the browser's IndexedDB, loaded before the game starts and
// saved after every file written.

#include "core/Game.h"
#include "core/Input.h"
#include "gameplay/Rules.h"
#include "platform/Files.h"
#include "platform/Platform.h"
#include "world/FileManager.h"

#include <SDL.h>
#include <emscripten.h>

#include <string>

// The page hears of the game through the Module callbacks it defines.
// clang-format off
EM_JS(void, TellPage, (const char* event), {
    const handler = Module[UTF8ToString(event)];
    if (handler) {
        handler();
    }
});

// The folder is loaded from the browser's storage, and saved there after each
// file the game writes into it, by web/storage.js.
EM_JS(void, LoadScoresThenStart, (const char* folder), {
    Module.loadFolder(UTF8ToString(folder), Module._StartGame);
});

// A browser with a touch screen says so before the first touch; SDL learns of
// it only with that touch.
EM_JS(int, HasTouchScreen, (), { return navigator.maxTouchPoints > 0 ? 1 : 0; });

EM_JS(void, SaveScores, (), { Module.saveFolder(); });
// clang-format on

namespace
{
// The system's clock, keyboard and display, with no waiting: the animation
// frames pace the game, and a page that sleeps freezes the browser's tab.
class BrowserPlatform final : public Platform
{
public:
    TimePoint Now() override { return m_system.Now(); }
    void SleepFor(std::chrono::nanoseconds /*duration*/) override {}
    const Uint8* Keys() override { return m_system.Keys(); }
    void Present(SDL_Renderer* renderer) override { m_system.Present(renderer); }

private:
    SystemPlatform m_system;
};

BrowserPlatform s_platform;

// A quarter of a step: enough for the jitter of animation frames at 60 a
// second, too little to run two steps on two frames of a 120 Hz display.
constexpr auto kEarlyStep = std::chrono::nanoseconds(1'000'000'000 / kUpdatesPerSecond / 4);

void AnimationFrame()
{
    Game* game = Game::Instance();
    game->Frame(s_platform, kEarlyStep);
    if (game->m_quit)
    {
        emscripten_cancel_main_loop();
        game->Shutdown();
        TellPage("gameEnded");
    }
}

// The folder of the score file, as the browser's file system names it.
std::string ScoreFolder()
{
    const std::string path = NativePath(kScoreFilePath);
    return path.substr(0, path.find_last_of('/'));
}
} // namespace

// Called back once the stored scores are in place, and again by the page's
// "Play again" after a game has ended: a new start in the same page, with
// the scores of the folder already loaded.
extern "C" EMSCRIPTEN_KEEPALIVE void StartGame()
{
    Game* game = Game::Instance();
    // Keys go to the canvas, which holds the focus, so the arrows do not
    // scroll the page.
    SDL_SetHint(SDL_HINT_EMSCRIPTEN_KEYBOARD_ELEMENT, "#canvas");
    if (!game->Initialize())
    {
        TellPage("gameEnded");
        return;
    }
    FileManager::Instance()->m_fileWritten = SaveScores;
    if (HasTouchScreen() != 0)
    {
        Input::Instance()->m_touch.Show();
    }
    TellPage("gameStarted");
    // Zero frames per second: one pass per animation frame of the browser.
    emscripten_set_main_loop(AnimationFrame, 0, 0);
}

int main(int /*argc*/, char* /*argv*/[])
{
    LoadScoresThenStart(ScoreFolder().c_str());
    return 0;
}

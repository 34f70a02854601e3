#include "core/Game.h"

#include "core/GameState.h"
#include "core/Graphics.h"
#include "core/Input.h"
#include "core/Settings.h"
#include "core/Sound.h"
#include "core/Window.h"
#include "gameplay/MenuState.h"
#include "gameplay/Random.h"
#include "gameplay/Rules.h"
#include "graphics/Log.h"
#include "graphics/ResourceManager.h"
#include "platform/Platform.h"
#include "world/FileManager.h"
#include "world/Map.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <iostream>

Game* Game::Instance()
{
    static Game* instance = new Game();
    return instance;
}

bool Game::ReadSettings()
{
    Settings settings;
    if (!ReadSettingsFile(settings))
    {
        return false;
    }
    m_settings = settings.tokens;
    m_title = m_settings[0].c_str();
    m_width = settings.width;
    m_height = settings.height;
    m_fullscreen = settings.fullscreen;
    return true;
}

bool Game::Initialize()
{
    FileManager::Instance()->Initialize();
    Random::Seed(static_cast<std::uint32_t>(std::time(nullptr)));
    LogBlock("Game Initialize function called...");
    if (!ReadSettings())
    {
        return false;
    }
    // The player's last choices stand over the settings file's.
    m_preferences = LoadPreferences(kPreferencesPath);
    if (m_preferences.fullscreen.has_value())
    {
        m_fullscreen = *m_preferences.fullscreen;
    }
    Sound::Instance()->SetMuted(m_preferences.sound.has_value() && !*m_preferences.sound);

    // Without SDL, a window or a renderer nobody could see or close the game,
    // so these failures stop the program after undoing what was set up. SDL's
    // own words follow the game's line. Audio is started apart (Sound::Open):
    // a machine without it must still play.
    if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_VIDEO | SDL_INIT_JOYSTICK | SDL_INIT_HAPTIC |
                 SDL_INIT_GAMECONTROLLER | SDL_INIT_EVENTS) == -1)
    {
        LogLine("SDL did not initialize properly.");
        LogReason(SDL_GetError());
        SDL_Quit();
        return false;
    }
    Input::Instance()->WatchTouches();
    if (!OpenGameWindow(m_title, m_width, m_height, m_fullscreen))
    {
        SDL_Quit();
        return false;
    }
    AssetCache::Instance();
    if (TTF_Init() == -1)
    {
        LogLine("Font sub-system did not initialize properly.");
    }
    Sound::Instance()->Open();
    PushStateFront(std::make_unique<MenuState>(nullptr));
    LogBlock("Game Initialized successfully...");
    return true;
}

void Game::PushStateFront(std::unique_ptr<GameState> state)
{
    m_states.push_front(std::move(state));
}

void Game::PushStateBack(std::unique_ptr<GameState> state)
{
    m_states.push_back(std::move(state));
}

void Game::RunFrame(Platform& platform, bool draw)
{
    Graphics* graphics = Graphics::Instance();
    if (draw)
    {
        graphics->BeginPicture();
    }
    Input* input = Input::Instance();
    // A frame that finds nothing waiting gives the machine a moment.
    if (!input->EventWaiting())
    {
        platform.SleepFor(std::chrono::milliseconds(1));
    }
    input->Fill(platform.Keys());
    Sound* sound = Sound::Instance();
    if (input->m_toggleSound)
    {
        sound->ToggleMute();
    }
    HandleWindowEvents(*input);
    if (input->m_toggleSound || input->m_toggleFullscreen)
    {
        RememberChoices(input->m_toggleSound, input->m_toggleFullscreen);
    }
    m_currentState->Update();
    sound->EndFrame();
    if (draw)
    {
        m_currentState->Render();
        m_overlay.Note(sound->Muted());
        // An unchanged picture is neither drawn nor presented again.
        if (graphics->ShowPicture())
        {
            m_overlay.DrawOverShown();
            platform.Present(graphics->m_renderer);
        }
    }
    // Every frame reports how many screens are queued.
    std::cout << static_cast<unsigned>(m_states.size()) << std::endl;
}

void Game::RememberChoices(bool sound, bool fullscreen)
{
    if (sound)
    {
        m_preferences.sound = !Sound::Instance()->Muted();
    }
    if (fullscreen)
    {
        m_preferences.fullscreen = GameWindowFullscreen();
    }
    SavePreferences(kPreferencesPath, m_preferences);
}

bool Game::Step(Platform& platform, bool draw)
{
    if (m_quit || m_states.empty())
    {
        m_quit = true;
        return false;
    }
    // A pass of the loop keeps running the screen it started with, even if
    // that screen puts another in front of itself while still running.
    if (m_currentState == nullptr)
    {
        m_currentState = m_states.front().get();
    }
    bool ranFrame = false;
    if (m_currentState->m_running)
    {
        RunFrame(platform, draw);
        ranFrame = true;
    }
    if (!m_currentState->m_running)
    {
        // The front is removed, which is not always the screen that just ran:
        // a screen that ended while putting another in front of itself takes
        // that one down unseen, and is removed itself on the next pass.
        if (!m_currentState->m_alive)
        {
            m_states.pop_front();
        }
        m_currentState = nullptr;
        if (m_states.empty())
        {
            m_quit = true;
        }
    }
    return ranFrame;
}

std::chrono::nanoseconds Game::Frame(Platform& platform, std::chrono::nanoseconds early)
{
    // Game time is counted in steps of 1/60 s, and steps keep real time: when
    // pictures come slower than that, the steps that are due run before the
    // next picture, which follows the last of them. Beyond a few steps a
    // picture the backlog is dropped, so a stalled machine slows the game
    // down instead of freezing it in a burst of catching up.
    constexpr auto kStep = std::chrono::nanoseconds(1'000'000'000 / kUpdatesPerSecond);
    constexpr int kMostStepsPerPicture = 5;
    if (!m_due)
    {
        m_due = platform.Now();
    }
    auto& due = *m_due;
    const auto now = platform.Now();
    if (now + early < due)
    {
        return due - now;
    }
    const auto behind =
        static_cast<int>(std::min<std::int64_t>((now - due) / kStep + 1, kMostStepsPerPicture));
    // A pass that only removes a finished screen is not a step.
    for (int ran = 0; ran < behind && !m_quit;)
    {
        ran += Step(platform, ran == behind - 1) ? 1 : 0;
    }
    due += behind * kStep;
    if (now - due >= kStep)
    {
        due = now;
    }
    return std::chrono::nanoseconds::zero();
}

bool Game::Run(Platform& platform)
{
    m_due.reset();
    while (!m_quit)
    {
        const auto wait = Frame(platform);
        if (wait > std::chrono::nanoseconds::zero())
        {
            platform.SleepFor(wait);
        }
    }
    return true;
}

void Game::Shutdown()
{
    LogBlock("Game shut down function called...");
    DeleteObjects(m_states);
    m_currentState = nullptr;
    AssetCache::Instance()->Release(kFonts, kReleaseAll, "Fixedsys");
    FileManager::Instance()->Shutdown();
    Map::Instance()->Shutdown();
    // What the cache still holds goes with the renderer; a next run must not
    // find it there.
    AssetCache::Instance()->Release(kTextures, kReleaseAll, "");
    TTF_Quit();
    Sound::Instance()->Close();
    Input::Instance()->Shutdown();
    ResourceManager::Instance()->Forget();
    CloseGameWindow();
    SDL_Quit();
    // Left as a fresh process finds the game, so that it can start again.
    m_quit = false;
    m_due.reset();
    m_overlay.Reset();
    LogBlock("Game shut down successfully.");
}

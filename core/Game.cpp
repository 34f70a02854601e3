#include "core/Game.h"

#include "core/GameState.h"
#include "core/Graphics.h"
#include "core/Input.h"
#include "core/MutedMark.h"
#include "core/Platform.h"
#include "core/Sound.h"
#include "core/TouchControls.h"
#include "gameplay/MenuState.h"
#include "gameplay/Random.h"
#include "gameplay/Rules.h"
#include "graphics/DataFile.h"
#include "graphics/Log.h"
#include "graphics/ResourceManager.h"
#include "graphics/Util.h"
#include "world/FileManager.h"
#include "world/Level.h"
#include "world/Map.h"

#include <SDL.h>
#include <SDL_image.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <sstream>

Game* Game::Instance()
{
    static Game* instance = new Game();
    return instance;
}

namespace
{
// A window size that is not a positive number would give a 1 x 1 window; the
// game's own view size is used instead, and the log names the bad value.
std::int32_t WindowSize(const char* what, const std::string& token, std::int32_t fallback)
{
    const std::int32_t size = ParseInt(token);
    if (size > 0)
    {
        return size;
    }
    LogLine(std::string("Window ") + what + " \"" + token + "\" is not a positive number, using " +
            ToString(fallback) + ".");
    return fallback;
}

// With no display to reach, SDL falls back to a video driver that shows
// nothing, and the game would run unseen for ever. Such a driver is only used
// when it was asked for (SDL_VIDEODRIVER, as the tests do).
bool OnADisplay()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* asked = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    if (driver == nullptr || (asked != nullptr && *asked != '\0'))
    {
        return true;
    }
    const std::string name = driver;
    if (name != "offscreen" && name != "dummy")
    {
        return true;
    }
    LogLine("No display found: SDL's " + name + " video driver shows nothing.");
    return false;
}
// The largest window of the shape width x height that fits in the desktop's
// usable part (the screen less its panels), at least 1 x 1. The shapes are
// compared without dividing, in 64 bits, where the products cannot overflow.
SDL_Rect FitInto(const SDL_Rect& desktop, std::int64_t width, std::int64_t height)
{
    SDL_Rect window{0, 0, desktop.w, desktop.h};
    if (width * desktop.h >= height * desktop.w)
    {
        window.h = static_cast<int>(std::max<std::int64_t>(1, height * desktop.w / width));
    }
    else
    {
        window.w = static_cast<int>(std::max<std::int64_t>(1, width * desktop.h / height));
    }
    window.x = desktop.x + (desktop.w - window.w) / 2;
    window.y = desktop.y + (desktop.h - window.h) / 2;
    return window;
}

// The icon is a picture like the others; without it the window has none.
void SetWindowIcon(SDL_Window* window)
{
    SDL_Surface* icon = IMG_Load(NativePath(kWindowIconPath).c_str());
    if (icon != nullptr)
    {
        SDL_SetWindowIcon(window, icon);
        SDL_FreeSurface(icon);
    }
}
} // namespace

bool Game::ReadSettings()
{
    FileManager* files = FileManager::Instance();
    const char* path = files->Path(kSettingsKey);
    if (path == nullptr)
    {
        LogLine("Invalid file parameter passed: " + ToString(kSettingsKey));
        return false;
    }
    // Read-only: an installed game may not own its settings file.
    const DataFile file = ReadDataFile(path, kSettingsFileLimit);
    if (file.status == DataStatus::kNotOpened)
    {
        LogLine(std::string("Error opening file: ") + path);
        LogReason(file.reason);
        return false;
    }
    // A file that cannot be read through, or is far too long to be settings,
    // is taken as holding no tokens: the game goes on as for an empty one.
    if (file.status != DataStatus::kDone)
    {
        LogLine(std::string("Error reading file: ") + path);
        LogReason(file.reason);
    }
    else
    {
        LogLine(std::string("File loaded successfully: ") + path);
    }
    std::istringstream in(file.bytes);
    for (std::string& token : m_settings)
    {
        // A failed extraction leaves its string alone: a token the file does
        // not have must come out empty, not as left by an earlier reading.
        token.clear();
        in >> token;
    }
    m_title = m_settings[0].c_str();
    m_width = WindowSize("width", m_settings[1], kViewWidth);
    m_height = WindowSize("height", m_settings[2], kViewHeight);
    // Only the exact token "0" asks for a window; anything else, even a missing
    // token, means fullscreen.
    m_fullscreen = m_settings[3] != "0";
    if (file.status == DataStatus::kDone)
    {
        LogLine(std::string("File closed: ") + path);
    }
    return true;
}

bool Game::CreateRenderer()
{
    Graphics* graphics = Graphics::Instance();
    // No waiting for the display's refresh: the loop keeps its own time, and
    // a picture that did not change is not presented at all.
    graphics->m_renderer = SDL_CreateRenderer(graphics->m_window, -1, SDL_RENDERER_ACCELERATED);
    if (graphics->m_renderer == nullptr)
    {
        // A machine without GPU drivers must still play the game.
        graphics->m_renderer = SDL_CreateRenderer(graphics->m_window, -1, SDL_RENDERER_SOFTWARE);
        if (graphics->m_renderer != nullptr)
        {
            LogLine("Accelerated renderer unavailable, using the software renderer.");
        }
    }
    if (graphics->m_renderer == nullptr)
    {
        LogLine("Renderer could not be created.");
        LogReason(SDL_GetError());
        return false;
    }
    graphics->m_width = m_width;
    graphics->m_height = m_height;
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

    Graphics* graphics = Graphics::Instance();
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
    if (!OnADisplay())
    {
        SDL_Quit();
        return false;
    }
    // Fullscreen covers the desktop at its own mode. The window is made at the
    // desktop's size too, so a screen without a window manager is covered.
    SDL_Rect window{SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, m_width, m_height};
    SDL_Rect desktop{};
    if (m_fullscreen && SDL_GetDisplayBounds(0, &desktop) == 0)
    {
        window = desktop;
    }
    // A window larger than the desktop would open mostly off the screen, or
    // not at all: it is made as large as fits, of the shape asked for.
    else if (!m_fullscreen && SDL_GetDisplayUsableBounds(0, &desktop) == 0 && desktop.w > 0 &&
             desktop.h > 0 && (m_width > desktop.w || m_height > desktop.h))
    {
        window = FitInto(desktop, m_width, m_height);
        LogLine("Window size reduced to fit the desktop: " + ToString(window.w) + " x " +
                ToString(window.h));
    }
    // High DPI in the browser: a page with more pixels than points (a phone)
    // gets them all, and the view is fitted to them. On Windows the
    // program's manifest already leaves the desktop's scaling to the game:
    // the window, the pointer and the picture are all counted in real pixels,
    // so game.ini's size is the window's size in pixels at any scaling.
#ifdef __EMSCRIPTEN__
    constexpr Uint32 kHighDpi = SDL_WINDOW_ALLOW_HIGHDPI;
#else
    constexpr Uint32 kHighDpi = 0;
#endif
    const Uint32 flags =
        SDL_WINDOW_RESIZABLE | kHighDpi | (m_fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    graphics->m_window = SDL_CreateWindow(m_title, window.x, window.y, window.w, window.h, flags);
    // A size SDL still refuses (larger than it can make, whatever the
    // desktop) gives way to the game's own view size.
    if (graphics->m_window == nullptr && !m_fullscreen &&
        (window.w != kViewWidth || window.h != kViewHeight))
    {
        LogLine("Game window of " + ToString(window.w) + " x " + ToString(window.h) +
                " could not be created, using " + ToString(kViewWidth) + " x " +
                ToString(kViewHeight) + ".");
        LogReason(SDL_GetError());
        graphics->m_window =
            SDL_CreateWindow(m_title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kViewWidth,
                             kViewHeight, flags);
    }
    if (graphics->m_window == nullptr)
    {
        LogLine("Game window could not be created.");
        LogReason(SDL_GetError());
        SDL_Quit();
        return false;
    }
    if (!CreateRenderer())
    {
        SDL_DestroyWindow(graphics->m_window);
        graphics->m_window = nullptr;
        SDL_Quit();
        return false;
    }
    SDL_SetRenderDrawColor(graphics->m_renderer, 0, 0, 0, 255);
    // Pictures drawn stretched stay pixel art: nearest neighbour, never
    // smoothed. Only the whole picture is smoothed, when it is shown.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    graphics->FitView();
    SetWindowIcon(graphics->m_window);
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
    SDL_Renderer* renderer = graphics->m_renderer;
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
    if (input->m_toggleFullscreen)
    {
        graphics->ToggleFullscreen();
    }
    else if (input->m_resized)
    {
        graphics->FitView();
    }
    if (input->m_uncovered || input->m_toggleFullscreen || input->m_texturesLost)
    {
        graphics->Redraw();
    }
    if (input->m_texturesLost)
    {
        graphics->ReleasePicture();
        Map::Instance()->ForgetLayerPictures();
    }
    if (input->m_toggleSound || input->m_toggleFullscreen)
    {
        RememberChoices(input->m_toggleSound, input->m_toggleFullscreen);
    }
    m_currentState->Update();
    sound->EndFrame();
    if (draw)
    {
        m_currentState->Render();
        if (sound->Muted())
        {
            DrawMutedMark();
        }
        // The touch controls lie over the shown picture: a finger coming or
        // going on one changes what is on the window.
        const std::uint32_t touchLook = input->m_touch.Look();
        if (touchLook != m_touchLook)
        {
            m_touchLook = touchLook;
            graphics->Redraw();
        }
        // An unchanged picture is neither drawn nor presented again.
        if (graphics->ShowPicture())
        {
            int outputWidth = 0;
            int outputHeight = 0;
            SDL_GetRendererOutputSize(renderer, &outputWidth, &outputHeight);
            DrawTouchControls(renderer, graphics->ViewRect(), outputWidth, outputHeight);
            platform.Present(renderer);
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
        SDL_Window* window = Graphics::Instance()->m_window;
        m_preferences.fullscreen = (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0;
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
    Graphics* graphics = Graphics::Instance();
    graphics->ReleasePicture();
    SDL_DestroyRenderer(graphics->m_renderer);
    SDL_DestroyWindow(graphics->m_window);
    graphics->m_renderer = nullptr;
    graphics->m_window = nullptr;
    SDL_Quit();
    // Left as a fresh process finds the game, so that it can start again.
    m_quit = false;
    m_due.reset();
    m_touchLook = 0;
    LogBlock("Game shut down successfully.");
}

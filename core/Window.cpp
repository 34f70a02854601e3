#include "core/Window.h"

#include "core/Graphics.h"
#include "core/Input.h"
#include "graphics/Log.h"
#include "graphics/Pictures.h"
#include "graphics/View.h"
#include "platform/Files.h"
#include "platform/System.h"
#include "world/Map.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>

namespace
{
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

// Fullscreen covers the desktop at its own mode. The window is made at the
// desktop's size too, so a screen without a window manager is covered. A
// window larger than the desktop would open mostly off the screen, or not at
// all: it is made as large as fits, of the shape asked for.
SDL_Rect Placed(std::int32_t width, std::int32_t height, bool fullscreen)
{
    SDL_Rect window{SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height};
    SDL_Rect desktop{};
    if (fullscreen && SDL_GetDisplayBounds(0, &desktop) == 0)
    {
        window = desktop;
    }
    else if (!fullscreen && SDL_GetDisplayUsableBounds(0, &desktop) == 0 && desktop.w > 0 &&
             desktop.h > 0 && (width > desktop.w || height > desktop.h))
    {
        window = FitInto(desktop, width, height);
        LogLine("Window size reduced to fit the desktop: " + ToString(window.w) + " x " +
                ToString(window.h));
    }
    return window;
}

SDL_Window* MakeWindow(const char* title, std::int32_t width, std::int32_t height, bool fullscreen)
{
    const SDL_Rect window = Placed(width, height, fullscreen);
    const Uint32 flags = SDL_WINDOW_RESIZABLE | SystemWindowFlags() |
                         (fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    SDL_Window* made = SDL_CreateWindow(title, window.x, window.y, window.w, window.h, flags);
    // A size SDL still refuses (larger than it can make, whatever the
    // desktop) gives way to the game's own view size.
    if (made == nullptr && !fullscreen && (window.w != kViewWidth || window.h != kViewHeight))
    {
        LogLine("Game window of " + ToString(window.w) + " x " + ToString(window.h) +
                " could not be created, using " + ToString(kViewWidth) + " x " +
                ToString(kViewHeight) + ".");
        LogReason(SDL_GetError());
        made = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kViewWidth,
                                kViewHeight, flags);
    }
    if (made == nullptr)
    {
        LogLine("Game window could not be created.");
        LogReason(SDL_GetError());
    }
    return made;
}

SDL_Renderer* MakeRenderer(SDL_Window* window)
{
    // No waiting for the display's refresh: the loop keeps its own time, and
    // a picture that did not change is not presented at all.
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
    if (renderer == nullptr)
    {
        // A machine without GPU drivers must still play the game.
        renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
        if (renderer != nullptr)
        {
            LogLine("Accelerated renderer unavailable, using the software renderer.");
        }
    }
    if (renderer == nullptr)
    {
        LogLine("Renderer could not be created.");
        LogReason(SDL_GetError());
    }
    return renderer;
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

bool OpenGameWindow(const char* title, std::int32_t width, std::int32_t height, bool fullscreen)
{
    if (!OnADisplay())
    {
        return false;
    }
    Graphics* graphics = Graphics::Instance();
    graphics->m_window = MakeWindow(title, width, height, fullscreen);
    if (graphics->m_window == nullptr)
    {
        return false;
    }
    graphics->m_renderer = MakeRenderer(graphics->m_window);
    if (graphics->m_renderer == nullptr)
    {
        SDL_DestroyWindow(graphics->m_window);
        graphics->m_window = nullptr;
        return false;
    }
    graphics->m_width = width;
    graphics->m_height = height;
    SDL_SetRenderDrawColor(graphics->m_renderer, 0, 0, 0, 255);
    // Pictures drawn stretched stay pixel art: nearest neighbour, never
    // smoothed. Only the whole picture is smoothed, when it is shown.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    graphics->FitView();
    SetWindowIcon(graphics->m_window);
    return true;
}

void CloseGameWindow()
{
    Graphics* graphics = Graphics::Instance();
    graphics->ReleasePicture();
    SDL_DestroyRenderer(graphics->m_renderer);
    SDL_DestroyWindow(graphics->m_window);
    graphics->m_renderer = nullptr;
    graphics->m_window = nullptr;
}

void HandleWindowEvents(const Input& input)
{
    Graphics* graphics = Graphics::Instance();
    if (input.m_toggleFullscreen)
    {
        graphics->ToggleFullscreen();
    }
    else if (input.m_resized)
    {
        graphics->FitView();
    }
    if (input.m_uncovered || input.m_toggleFullscreen || input.m_texturesLost)
    {
        graphics->Redraw();
    }
    if (input.m_texturesLost)
    {
        graphics->ReleasePicture();
        Map::Instance()->ForgetLayerPictures();
    }
}

bool GameWindowFullscreen()
{
    return (SDL_GetWindowFlags(Graphics::Instance()->m_window) & SDL_WINDOW_FULLSCREEN) != 0;
}

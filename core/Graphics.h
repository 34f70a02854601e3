#pragma once

#include <SDL.h>

#include <cstdint>

// Holds the window and the renderer every drawing call uses.
class Graphics final
{
public:
    static Graphics* Instance();

    Graphics(const Graphics&) = delete;
    Graphics& operator=(const Graphics&) = delete;

    // Fits the 800 x 608 picture into the window: by the largest whole factor
    // when one fits, else by the largest fraction, with even black bars, and
    // pixels kept square and sharp. Mouse positions are mapped back by SDL.
    void FitView();
    // Between a window and the desktop's fullscreen, at the same scaling.
    void ToggleFullscreen();

    std::int32_t m_width = 0;
    std::int32_t m_height = 0;
    SDL_Window* m_window = nullptr;
    SDL_Renderer* m_renderer = nullptr;

private:
    Graphics() = default;
};

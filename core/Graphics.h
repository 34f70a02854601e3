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

    std::int32_t m_width = 0;
    std::int32_t m_height = 0;
    SDL_Window* m_window = nullptr;
    SDL_Renderer* m_renderer = nullptr;

private:
    Graphics() = default;
};

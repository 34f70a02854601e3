#include "core/Graphics.h"

#include "world/Level.h"

Graphics* Graphics::Instance()
{
    static Graphics* instance = new Graphics();
    return instance;
}

void Graphics::FitView()
{
    int width = 0;
    int height = 0;
    SDL_GetRendererOutputSize(m_renderer, &width, &height);
    const bool wholeFactor = width >= kViewWidth && height >= kViewHeight;
    SDL_RenderSetIntegerScale(m_renderer, wholeFactor ? SDL_TRUE : SDL_FALSE);
    SDL_RenderSetLogicalSize(m_renderer, kViewWidth, kViewHeight);
}

void Graphics::ToggleFullscreen()
{
    const bool fullscreen = (SDL_GetWindowFlags(m_window) & SDL_WINDOW_FULLSCREEN) != 0;
    SDL_SetWindowFullscreen(m_window, fullscreen ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
    FitView();
}

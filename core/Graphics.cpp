#include "core/Graphics.h"

#include "world/Level.h"

#include <algorithm>
#include <cmath>

Graphics* Graphics::Instance()
{
    static Graphics* instance = new Graphics();
    return instance;
}

namespace
{
// How many times the picture's size the window shows it at: the largest
// scale at which both sides fit.
double ViewScale(int outputWidth, int outputHeight)
{
    return std::min(static_cast<double>(outputWidth) / kViewWidth,
                    static_cast<double>(outputHeight) / kViewHeight);
}

// A texture to draw into, copied as it is (its alpha does not blend).
SDL_Texture* NewTarget(SDL_Renderer* renderer, int width, int height)
{
    if (!SDL_RenderTargetSupported(renderer))
    {
        return nullptr;
    }
    SDL_Texture* texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888,
                                             SDL_TEXTUREACCESS_TARGET, width, height);
    if (texture != nullptr)
    {
        SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_NONE);
    }
    return texture;
}
} // namespace

void Graphics::FitView()
{
    SDL_RenderSetIntegerScale(m_renderer, SDL_FALSE);
    SDL_RenderSetLogicalSize(m_renderer, kViewWidth, kViewHeight);
}

void Graphics::ToggleFullscreen()
{
    const bool fullscreen = (SDL_GetWindowFlags(m_window) & SDL_WINDOW_FULLSCREEN) != 0;
    SDL_SetWindowFullscreen(m_window, fullscreen ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
    FitView();
}

SDL_Rect Graphics::ViewRect() const
{
    int width = 0;
    int height = 0;
    SDL_GetRendererOutputSize(m_renderer, &width, &height);
    const double scale = ViewScale(width, height);
    const int w = std::clamp(static_cast<int>(std::floor(kViewWidth * scale)), 0, width);
    const int h = std::clamp(static_cast<int>(std::floor(kViewHeight * scale)), 0, height);
    return SDL_Rect{(width - w) / 2, (height - h) / 2, w, h};
}

void Graphics::BeginPicture()
{
    if (m_view == nullptr && !m_viewRefused)
    {
        m_view = NewTarget(m_renderer, kViewWidth, kViewHeight);
    }
    if (m_view != nullptr && SDL_SetRenderTarget(m_renderer, m_view) != 0)
    {
        ReleasePicture();
    }
    // A renderer that cannot draw into textures draws on the window, scaled
    // by SDL alone.
    m_viewRefused = m_view == nullptr;
    SDL_RenderClear(m_renderer);
}

SDL_Texture* Graphics::Sharp(int factor)
{
    if (m_sharp != nullptr && m_sharpFactor == factor)
    {
        return m_sharp;
    }
    if (m_sharp != nullptr)
    {
        SDL_DestroyTexture(m_sharp);
    }
    m_sharp = NewTarget(m_renderer, kViewWidth * factor, kViewHeight * factor);
    m_sharpFactor = m_sharp != nullptr ? factor : 0;
    if (m_sharp != nullptr)
    {
        SDL_SetTextureScaleMode(m_sharp, SDL_ScaleModeLinear);
    }
    return m_sharp;
}

void Graphics::ShowPicture()
{
    if (m_view == nullptr)
    {
        return; // drawn on the window already
    }
    SDL_SetRenderTarget(m_renderer, nullptr);
    int width = 0;
    int height = 0;
    SDL_GetRendererOutputSize(m_renderer, &width, &height);
    const double scale = ViewScale(width, height);
    SDL_RendererInfo info{};
    SDL_GetRendererInfo(m_renderer, &info);
    // The enlargement is the next whole multiple, as far as the renderer's
    // largest texture allows (none: no limit given).
    int factor = static_cast<int>(std::ceil(scale));
    if (info.max_texture_width > 0 && info.max_texture_height > 0)
    {
        factor = std::min(
            {factor, info.max_texture_width / kViewWidth, info.max_texture_height / kViewHeight});
    }
    const bool whole = scale == std::floor(scale);
    SDL_Texture* shown = m_view;
    SDL_SetTextureScaleMode(m_view,
                            whole || scale > 1.0 ? SDL_ScaleModeNearest : SDL_ScaleModeLinear);
    if (!whole && scale > 1.0 && factor > 1 && Sharp(factor) != nullptr &&
        SDL_SetRenderTarget(m_renderer, m_sharp) == 0)
    {
        SDL_RenderCopy(m_renderer, m_view, nullptr, nullptr);
        SDL_SetRenderTarget(m_renderer, nullptr);
        shown = m_sharp;
    }
    Uint8 r = 0;
    Uint8 g = 0;
    Uint8 b = 0;
    Uint8 a = 0;
    SDL_GetRenderDrawColor(m_renderer, &r, &g, &b, &a);
    SDL_SetRenderDrawColor(m_renderer, 0, 0, 0, 255);
    SDL_RenderClear(m_renderer);
    SDL_SetRenderDrawColor(m_renderer, r, g, b, a);
    SDL_RenderCopy(m_renderer, shown, nullptr, nullptr);
}

void Graphics::ReleasePicture()
{
    if (m_renderer != nullptr)
    {
        SDL_SetRenderTarget(m_renderer, nullptr);
    }
    for (SDL_Texture** texture : {&m_view, &m_sharp})
    {
        if (*texture != nullptr)
        {
            SDL_DestroyTexture(*texture);
            *texture = nullptr;
        }
    }
    m_sharpFactor = 0;
    m_viewRefused = false;
}

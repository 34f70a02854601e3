#include "core/Graphics.h"

#include "graphics/View.h"
#include "platform/System.h"

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

// Where in the window the view is shown, in pixels: the place SDL's logical
// size gives it, centred between bars.
SDL_Rect ViewPlace(int outputWidth, int outputHeight)
{
    const float scale = static_cast<float>(ViewScale(outputWidth, outputHeight));
    const int width = std::min(outputWidth, static_cast<int>(std::floor(kViewWidth * scale)));
    const int height = std::min(outputHeight, static_cast<int>(std::floor(kViewHeight * scale)));
    return SDL_Rect{(outputWidth - width) / 2, (outputHeight - height) / 2, width, height};
}

// The pixel format of the pictures drawn before the window shows them. SDL's
// software renderer smooths a copy in one pass only between two surfaces of
// one format; from any other it first converts the whole source into a new
// surface, every picture. Its pictures take the window's own format then, in
// which the 1 x picture is drawn too (the window has no alpha to keep).
Uint32 TargetFormat(SDL_Renderer* renderer, SDL_Window* window)
{
    SDL_RendererInfo info{};
    const Uint32 format = SDL_GetWindowPixelFormat(window);
    if (SDL_GetRendererInfo(renderer, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE) != 0 &&
        SDL_BYTESPERPIXEL(format) == 4 && !SDL_ISPIXELFORMAT_INDEXED(format) &&
        format != SDL_PIXELFORMAT_ARGB2101010)
    {
        return format;
    }
    return SDL_PIXELFORMAT_ARGB8888;
}

// A texture to draw into, copied as it is (its alpha does not blend).
SDL_Texture* NewTarget(SDL_Renderer* renderer, SDL_Window* window, int width, int height)
{
    if (!SDL_RenderTargetSupported(renderer))
    {
        return nullptr;
    }
    SDL_Texture* texture = SDL_CreateTexture(renderer, TargetFormat(renderer, window),
                                             SDL_TEXTUREACCESS_TARGET, width, height);
    if (texture != nullptr)
    {
        SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_NONE);
    }
    return texture;
}
} // namespace

Uint32 Graphics::PictureFormat() const
{
    return TargetFormat(m_renderer, m_window);
}

void Graphics::FitView()
{
    SDL_RenderSetIntegerScale(m_renderer, SDL_FALSE);
    SDL_RenderSetLogicalSize(m_renderer, kViewWidth, kViewHeight);
}

void Graphics::ToggleFullscreen()
{
    const bool fullscreen = (SDL_GetWindowFlags(m_window) & SDL_WINDOW_FULLSCREEN) != 0;
    // On X, covering the screen is the window manager's work, and a screen
    // may have none: then the window keeps its size, while SDL takes it for
    // the desktop's, and the game would draw for a screen it does not cover.
    // There the window is given the desktop's place and size first, as a
    // window manager would, and its own back after.
    SDL_Rect desktop{};
    if (!fullscreen && !SystemCoversTheScreen(m_window) &&
        SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(m_window), &desktop) == 0)
    {
        SDL_GetWindowPosition(m_window, &m_windowed.x, &m_windowed.y);
        SDL_GetWindowSize(m_window, &m_windowed.w, &m_windowed.h);
        SDL_SetWindowPosition(m_window, desktop.x, desktop.y);
        SDL_SetWindowSize(m_window, desktop.w, desktop.h);
    }
    SDL_SetWindowFullscreen(m_window, fullscreen ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
    // A window that opened fullscreen has no size of its own to go back to:
    // it keeps the desktop's, as SDL leaves it.
    if (fullscreen && m_windowed.w > 0)
    {
        SDL_SetWindowSize(m_window, m_windowed.w, m_windowed.h);
        SDL_SetWindowPosition(m_window, m_windowed.x, m_windowed.y);
        m_windowed = SDL_Rect{};
    }
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
    m_calls.clear();
    SDL_GetRenderDrawColor(m_renderer, &m_clearColor[0], &m_clearColor[1], &m_clearColor[2],
                           &m_clearColor[3]);
    m_noting = true;
}

void Graphics::Copy(SDL_Texture* texture, const SDL_Rect* source, const SDL_Rect& destination,
                    double angle, const SDL_Point* centre, SDL_RendererFlip flip)
{
    if (texture == nullptr)
    {
        SDL_SetError("Parameter 'texture' is invalid"); // as SDL's own copy says
        return;
    }
    Call call;
    call.texture = texture;
    if (source != nullptr)
    {
        call.source = {source->x, source->y, source->w, source->h};
        call.wholeSource = false;
    }
    call.destination = {destination.x, destination.y, destination.w, destination.h};
    call.angle = angle;
    if (centre != nullptr)
    {
        call.centre = {centre->x, centre->y};
        call.centred = false;
    }
    call.flip = flip;
    SDL_GetTextureColorMod(texture, &call.color[0], &call.color[1], &call.color[2]);
    SDL_GetTextureAlphaMod(texture, &call.color[3]);
    Note(call);
}

void Graphics::Rectangle(const SDL_Rect& rect, SDL_Color color, SDL_BlendMode blend, bool filled)
{
    Call call;
    call.destination = {rect.x, rect.y, rect.w, rect.h};
    call.color = {color.r, color.g, color.b, color.a};
    call.blend = blend;
    call.filled = filled;
    Note(call);
}

void Graphics::Clip(const SDL_Rect* rect)
{
    Call call;
    call.clip = true;
    if (rect != nullptr)
    {
        call.destination = {rect->x, rect->y, rect->w, rect->h};
        call.wholeSource = false;
    }
    Note(call);
}

void Graphics::Note(const Call& call)
{
    if (m_noting)
    {
        m_calls.push_back(call);
    }
    else
    {
        Carry(call);
    }
}

void Graphics::Carry(const Call& call)
{
    const SDL_Rect destination{call.destination[0], call.destination[1], call.destination[2],
                               call.destination[3]};
    if (call.clip)
    {
        SDL_RenderSetClipRect(m_renderer, call.wholeSource ? nullptr : &destination);
        return;
    }
    if (call.texture == nullptr)
    {
        // The draw colour and blending are the renderer's: put back as found.
        Uint8 r = 0;
        Uint8 g = 0;
        Uint8 b = 0;
        Uint8 a = 0;
        SDL_BlendMode blend = SDL_BLENDMODE_NONE;
        SDL_GetRenderDrawColor(m_renderer, &r, &g, &b, &a);
        SDL_GetRenderDrawBlendMode(m_renderer, &blend);
        SDL_SetRenderDrawBlendMode(m_renderer, static_cast<SDL_BlendMode>(call.blend));
        SDL_SetRenderDrawColor(m_renderer, call.color[0], call.color[1], call.color[2],
                               call.color[3]);
        if (call.filled)
        {
            SDL_RenderFillRect(m_renderer, &destination);
        }
        else
        {
            SDL_RenderDrawRect(m_renderer, &destination);
        }
        SDL_SetRenderDrawColor(m_renderer, r, g, b, a);
        SDL_SetRenderDrawBlendMode(m_renderer, blend);
        return;
    }
    // The modulation the call was noted with, and the texture's own after.
    std::array<Uint8, 4> own{};
    SDL_GetTextureColorMod(call.texture, &own[0], &own[1], &own[2]);
    SDL_GetTextureAlphaMod(call.texture, &own[3]);
    SDL_SetTextureColorMod(call.texture, call.color[0], call.color[1], call.color[2]);
    SDL_SetTextureAlphaMod(call.texture, call.color[3]);
    const SDL_Rect source{call.source[0], call.source[1], call.source[2], call.source[3]};
    const SDL_Point centre{call.centre[0], call.centre[1]};
    // A copy noted with a centre of turning was asked for as a turned copy.
    if (call.centred && call.angle == 0.0 && call.flip == SDL_FLIP_NONE)
    {
        SDL_RenderCopy(m_renderer, call.texture, call.wholeSource ? nullptr : &source,
                       &destination);
    }
    else
    {
        SDL_RenderCopyEx(m_renderer, call.texture, call.wholeSource ? nullptr : &source,
                         &destination, call.angle, call.centred ? nullptr : &centre,
                         static_cast<SDL_RendererFlip>(call.flip));
    }
    SDL_SetTextureColorMod(call.texture, own[0], own[1], own[2]);
    SDL_SetTextureAlphaMod(call.texture, own[3]);
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
    m_sharp = NewTarget(m_renderer, m_window, kViewWidth * factor, kViewHeight * factor);
    m_sharpFactor = m_sharp != nullptr ? factor : 0;
    if (m_sharp != nullptr)
    {
        SDL_SetTextureScaleMode(m_sharp, SDL_ScaleModeLinear);
    }
    return m_sharp;
}

bool Graphics::ShowPicture()
{
    m_noting = false;
    int width = 0;
    int height = 0;
    SDL_GetRendererOutputSize(m_renderer, &width, &height);
    if (!m_redraw && m_calls == m_shownCalls && m_clearColor == m_shownClearColor &&
        m_textureEpoch == m_shownEpoch && m_shownOutput == std::array<int, 2>{width, height})
    {
        return false;
    }
    m_redraw = false;
    m_shownOutput = {width, height};
    m_shownClearColor = m_clearColor;
    m_shownEpoch = m_textureEpoch;
    m_shownCalls.swap(m_calls);
    Draw();
    return true;
}

void Graphics::ClearTarget(SDL_Color color)
{
    Uint8 r = 0;
    Uint8 g = 0;
    Uint8 b = 0;
    Uint8 a = 0;
    SDL_GetRenderDrawColor(m_renderer, &r, &g, &b, &a);
    SDL_SetRenderDrawColor(m_renderer, color.r, color.g, color.b, color.a);
    SDL_RenderClear(m_renderer);
    SDL_SetRenderDrawColor(m_renderer, r, g, b, a);
}

void Graphics::Replay()
{
    m_drawing = true;
    ClearTarget(SDL_Color{m_shownClearColor[0], m_shownClearColor[1], m_shownClearColor[2],
                          m_shownClearColor[3]});
    for (const Call& call : m_shownCalls)
    {
        Carry(call);
    }
    SDL_RenderSetClipRect(m_renderer, nullptr);
    m_drawing = false;
}

void Graphics::Draw()
{
    // At the picture's own size it is drawn on the window itself: showing it
    // would be a copy of every pixel for nothing.
    const bool direct = m_shownOutput == std::array<int, 2>{kViewWidth, kViewHeight};
    if (direct)
    {
        SDL_SetRenderTarget(m_renderer, nullptr);
        Replay();
        return;
    }
    if (m_view == nullptr && !m_viewRefused)
    {
        m_view = NewTarget(m_renderer, m_window, kViewWidth, kViewHeight);
        m_viewRefused = m_view == nullptr;
    }
    if (m_view != nullptr && SDL_SetRenderTarget(m_renderer, m_view) != 0)
    {
        // A renderer that cannot draw into textures draws on the window,
        // scaled by SDL alone.
        DropTargets();
        m_viewRefused = true;
    }
    Replay();
    if (m_view == nullptr)
    {
        return;
    }
    SDL_SetRenderTarget(m_renderer, nullptr);
    const int width = m_shownOutput[0];
    const int height = m_shownOutput[1];
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
    const bool sharp = !whole && scale > 1.0 && factor > 1;
    // Black bars, whatever the screens clear their picture with.
    ClearTarget(SDL_Color{0, 0, 0, 255});
    if (sharp && SystemShowsSharp(m_renderer, m_view, factor, ViewPlace(width, height)))
    {
        return;
    }
    SDL_Texture* shown = m_view;
    SDL_SetTextureScaleMode(m_view,
                            whole || scale > 1.0 ? SDL_ScaleModeNearest : SDL_ScaleModeLinear);
    if (sharp && Sharp(factor) != nullptr && SDL_SetRenderTarget(m_renderer, m_sharp) == 0)
    {
        SDL_RenderCopy(m_renderer, m_view, nullptr, nullptr);
        SDL_SetRenderTarget(m_renderer, nullptr);
        shown = m_sharp;
    }
    SDL_RenderCopy(m_renderer, shown, nullptr, nullptr);
}

void Graphics::ReleasePicture()
{
    DropTargets();
    m_viewRefused = false;
    m_calls.clear();
    m_shownCalls.clear();
    m_noting = false;
    m_redraw = true;
}

void Graphics::DropTargets()
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
}

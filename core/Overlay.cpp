#include "core/Overlay.h"

#include "core/Graphics.h"
#include "core/Input.h"
#include "gameplay/Interface.h"
#include "graphics/View.h"

#include <SDL.h>

namespace
{
// The muted mark: a small crossed-out speaker in the view's top right corner,
// over whatever the screen drew. Drawn with filled rectangles only, so it
// stays as sharp as the pixel art at every scale, and needs no picture. The
// top right corner: the display panel is at the bottom right, and the
// screens' pictures keep their words away from the corners.
constexpr int kMarkSize = 28;
constexpr int kMarkMargin = 8;
constexpr int kMarkLeft = kViewWidth - kMarkMargin - kMarkSize;
constexpr int kMarkTop = kMarkMargin;

void Fill(SDL_Color color, int x, int y, int width, int height)
{
    const SDL_Rect rect{kMarkLeft + x, kMarkTop + y, width, height};
    Graphics::Instance()->Rectangle(rect, color, SDL_BLENDMODE_BLEND, true);
}

void NoteMutedMark()
{
    // A dark backing, so the mark reads over light and dark pictures alike.
    Fill(SDL_Color{0, 0, 0, 170}, 0, 0, kMarkSize, kMarkSize);
    // The speaker: a box and a cone that widens by a pixel each side per column.
    const SDL_Color light{235, 235, 225, 255};
    Fill(light, 4, 11, 5, 6);
    for (int column = 0; column < 5; ++column)
    {
        Fill(light, 9 + column, 10 - column, 1, 8 + 2 * column);
    }
    // A red cross beside it: two diagonals of 2 x 2 squares.
    const SDL_Color red{230, 60, 50, 255};
    for (int step = 0; step < 8; ++step)
    {
        Fill(red, 16 + step, 10 + step, 2, 2);
        Fill(red, 23 - step, 10 + step, 2, 2);
    }
}

// Where the heads-up panel stands in the view: the touch controls keep off it.
constexpr SDL_Rect kPanel{kPanelX, kPanelY, kPanelWidth, kPanelHeight};
} // namespace

void Overlay::Note(bool muted)
{
    if (muted)
    {
        NoteMutedMark();
    }
    // The touch controls lie over the shown picture: a finger coming or
    // going on one changes what is on the window.
    const std::uint32_t touchLook = Input::Instance()->m_touch.Look();
    if (touchLook != m_touchLook)
    {
        m_touchLook = touchLook;
        Graphics::Instance()->Redraw();
    }
}

void Overlay::DrawOverShown()
{
    Graphics* graphics = Graphics::Instance();
    SDL_Renderer* renderer = graphics->m_renderer;
    int outputWidth = 0;
    int outputHeight = 0;
    SDL_GetRendererOutputSize(renderer, &outputWidth, &outputHeight);
    TouchControls& controls = Input::Instance()->m_touch;
    controls.Layout(graphics->ViewRect(), outputWidth, outputHeight, kPanel);
    // A desktop with a touch screen has its touch devices from the start; a
    // browser's shows up with the first touch, which Handle sees.
    if (!controls.Shown() && SDL_GetNumTouchDevices() > 0)
    {
        controls.Show();
    }
    if (!controls.Shown() || renderer == nullptr)
    {
        return;
    }
    // The controls stand over the bars too, outside the view's logical size,
    // which is lifted while they are drawn.
    int logicalWidth = 0;
    int logicalHeight = 0;
    SDL_RenderGetLogicalSize(renderer, &logicalWidth, &logicalHeight);
    SDL_RenderSetLogicalSize(renderer, 0, 0);
    controls.Draw(renderer);
    SDL_RenderSetLogicalSize(renderer, logicalWidth, logicalHeight);
}

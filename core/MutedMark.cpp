#include "core/MutedMark.h"

#include "core/Graphics.h"
#include "world/Level.h"

#include <SDL.h>

namespace
{
// The top right corner: the display panel is at the bottom right, and the
// screens' pictures keep their words away from the corners.
constexpr int kSize = 28;
constexpr int kMargin = 8;
constexpr int kLeft = kViewWidth - kMargin - kSize;
constexpr int kTop = kMargin;

void Fill(SDL_Color color, int x, int y, int width, int height)
{
    const SDL_Rect rect{kLeft + x, kTop + y, width, height};
    Graphics::Instance()->Rectangle(rect, color, SDL_BLENDMODE_BLEND, true);
}
} // namespace

void DrawMutedMark()
{
    // A dark backing, so the mark reads over light and dark pictures alike.
    Fill(SDL_Color{0, 0, 0, 170}, 0, 0, kSize, kSize);
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

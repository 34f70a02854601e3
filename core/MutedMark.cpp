#include "core/MutedMark.h"

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

void Fill(SDL_Renderer* renderer, int x, int y, int width, int height)
{
    const SDL_Rect rect{kLeft + x, kTop + y, width, height};
    SDL_RenderFillRect(renderer, &rect);
}
} // namespace

void DrawMutedMark(SDL_Renderer* renderer)
{
    // The clear colour is the draw colour: both it and the blending are put
    // back as they were.
    Uint8 red = 0;
    Uint8 green = 0;
    Uint8 blue = 0;
    Uint8 alpha = 0;
    SDL_BlendMode blend = SDL_BLENDMODE_NONE;
    SDL_GetRenderDrawColor(renderer, &red, &green, &blue, &alpha);
    SDL_GetRenderDrawBlendMode(renderer, &blend);

    // A dark backing, so the mark reads over light and dark pictures alike.
    SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_BLEND);
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 170);
    Fill(renderer, 0, 0, kSize, kSize);

    // The speaker: a box and a cone that widens by a pixel each side per column.
    SDL_SetRenderDrawColor(renderer, 235, 235, 225, 255);
    Fill(renderer, 4, 11, 5, 6);
    for (int column = 0; column < 5; ++column)
    {
        Fill(renderer, 9 + column, 10 - column, 1, 8 + 2 * column);
    }
    // A red cross beside it: two diagonals of 2 x 2 squares.
    SDL_SetRenderDrawColor(renderer, 230, 60, 50, 255);
    for (int step = 0; step < 8; ++step)
    {
        Fill(renderer, 16 + step, 10 + step, 2, 2);
        Fill(renderer, 23 - step, 10 + step, 2, 2);
    }

    SDL_SetRenderDrawColor(renderer, red, green, blue, alpha);
    SDL_SetRenderDrawBlendMode(renderer, blend);
}

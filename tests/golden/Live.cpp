// Every texture, cursor and font the game makes or frees goes through these:
// the link wraps the game's calls (see CMakeLists.txt), so the counts are the
// game's own, whatever SDL keeps inside.
#include "tests/golden/Session.h"

#include "core/Graphics.h"

#include <SDL.h>
#include <SDL_ttf.h>

namespace
{
golden::LiveCounts s_live;
// Copies count while the game's picture is drawn (not while it is shown, nor
// while the level's own pictures are).
bool Drawing()
{
    return Graphics::Instance()->m_drawing;
}
} // namespace

golden::LiveCounts golden::Live()
{
    return s_live;
}

extern "C"
{
    SDL_Texture* __real_SDL_CreateTextureFromSurface(SDL_Renderer* renderer, SDL_Surface* surface);
    void __real_SDL_DestroyTexture(SDL_Texture* texture);
    void __real_SDL_DestroyRenderer(SDL_Renderer* renderer);
    SDL_Cursor* __real_SDL_CreateSystemCursor(SDL_SystemCursor id);
    void __real_SDL_FreeCursor(SDL_Cursor* cursor);
    int __real_SDL_RenderClear(SDL_Renderer* renderer);
    int __real_SDL_RenderCopy(SDL_Renderer* renderer, SDL_Texture* texture, const SDL_Rect* source,
                              const SDL_Rect* destination);
    int __real_SDL_RenderCopyEx(SDL_Renderer* renderer, SDL_Texture* texture,
                                const SDL_Rect* source, const SDL_Rect* destination, double angle,
                                const SDL_Point* centre, SDL_RendererFlip flip);
    TTF_Font* __real_TTF_OpenFont(const char* file, int size);
    void __real_TTF_CloseFont(TTF_Font* font);

    SDL_Texture* __wrap_SDL_CreateTextureFromSurface(SDL_Renderer* renderer, SDL_Surface* surface)
    {
        SDL_Texture* texture = __real_SDL_CreateTextureFromSurface(renderer, surface);
        s_live.textures += texture != nullptr ? 1 : 0;
        return texture;
    }
    void __wrap_SDL_DestroyTexture(SDL_Texture* texture)
    {
        // The textures the game draws into are not among those counted: they
        // are made by SDL_CreateTexture, which is not wrapped.
        int access = 0;
        const bool counted = texture != nullptr &&
                             SDL_QueryTexture(texture, nullptr, &access, nullptr, nullptr) == 0 &&
                             access != SDL_TEXTUREACCESS_TARGET;
        s_live.textures -= counted ? 1 : 0;
        __real_SDL_DestroyTexture(texture);
    }
    // A renderer takes every texture it still has with it.
    void __wrap_SDL_DestroyRenderer(SDL_Renderer* renderer)
    {
        s_live.textures = renderer != nullptr ? 0 : s_live.textures;
        __real_SDL_DestroyRenderer(renderer);
    }
    SDL_Cursor* __wrap_SDL_CreateSystemCursor(SDL_SystemCursor id)
    {
        // Calls are counted, not cursors: a headless driver makes none.
        ++s_live.cursors;
        return __real_SDL_CreateSystemCursor(id);
    }
    void __wrap_SDL_FreeCursor(SDL_Cursor* cursor)
    {
        --s_live.cursors;
        __real_SDL_FreeCursor(cursor);
    }
    // The copies counted are those of the picture since its clearing: the
    // ones that draw the game's picture, not the ones that show it.
    int __wrap_SDL_RenderClear(SDL_Renderer* renderer)
    {
        s_live.copies = Drawing() ? 0 : s_live.copies;
        return __real_SDL_RenderClear(renderer);
    }
    int __wrap_SDL_RenderCopy(SDL_Renderer* renderer, SDL_Texture* texture, const SDL_Rect* source,
                              const SDL_Rect* destination)
    {
        s_live.copies += Drawing() ? 1 : 0;
        return __real_SDL_RenderCopy(renderer, texture, source, destination);
    }
    int __wrap_SDL_RenderCopyEx(SDL_Renderer* renderer, SDL_Texture* texture,
                                const SDL_Rect* source, const SDL_Rect* destination, double angle,
                                const SDL_Point* centre, SDL_RendererFlip flip)
    {
        s_live.copies += Drawing() ? 1 : 0;
        return __real_SDL_RenderCopyEx(renderer, texture, source, destination, angle, centre, flip);
    }
    TTF_Font* __wrap_TTF_OpenFont(const char* file, int size)
    {
        TTF_Font* font = __real_TTF_OpenFont(file, size);
        s_live.fonts += font != nullptr ? 1 : 0;
        return font;
    }
    void __wrap_TTF_CloseFont(TTF_Font* font)
    {
        s_live.fonts -= font != nullptr ? 1 : 0;
        __real_TTF_CloseFont(font);
    }
}

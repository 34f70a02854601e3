#pragma once

#include <SDL.h>

#include <cstdint>

// Holds the window and the renderer every drawing call uses, and the picture
// they draw: every screen is drawn at the game's own 800 x 608 into a picture
// of that size, which is then shown as large as the window allows.
class Graphics final
{
public:
    static Graphics* Instance();

    Graphics(const Graphics&) = delete;
    Graphics& operator=(const Graphics&) = delete;

    // Fits the 800 x 608 picture into the window, as large as fits with its
    // shape kept, centred between black bars. Mouse positions are mapped back
    // by SDL.
    void FitView();
    // Between a window and the desktop's fullscreen, at the same scaling.
    void ToggleFullscreen();

    // Starts a picture: what is drawn until ShowPicture goes into it, cleared.
    void BeginPicture();
    // Puts the picture on the window, ready to be presented. At a whole
    // multiple of its size each pixel becomes a square block; between whole
    // multiples it is first enlarged by the next whole multiple and then
    // reduced smoothly, so every pixel stays a block of one size with at most
    // a soft edge; below its own size it is reduced smoothly, so no row or
    // column is dropped.
    void ShowPicture();
    // Where the picture lies on the window, in the renderer's output pixels.
    SDL_Rect ViewRect() const;
    // Frees the picture's textures (before the renderer goes).
    void ReleasePicture();

    std::int32_t m_width = 0;
    std::int32_t m_height = 0;
    SDL_Window* m_window = nullptr;
    SDL_Renderer* m_renderer = nullptr;
    // The picture every screen draws into, and its enlargement between whole
    // multiples (m_sharpFactor times its size). Null where the renderer cannot
    // draw into textures: the screens then draw on the window directly.
    SDL_Texture* m_view = nullptr;
    SDL_Texture* m_sharp = nullptr;
    int m_sharpFactor = 0;
    bool m_viewRefused = false;

private:
    Graphics() = default;
    // The enlargement for `factor`, made when first needed at that factor.
    SDL_Texture* Sharp(int factor);
};

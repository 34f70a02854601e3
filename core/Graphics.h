#pragma once

#include <SDL.h>

#include <array>
#include <cstdint>
#include <vector>

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

    // Starts a picture: what is drawn until ShowPicture goes into it, cleared
    // with the draw colour of this moment.
    void BeginPicture();
    // Drawing into the picture. Between BeginPicture and ShowPicture the
    // calls are noted, not carried out: a picture noted exactly as the one on
    // the window is not drawn again. Elsewhere (into the level's own
    // pictures) they draw at once. A copy takes the texture's colour and
    // alpha modulation of the moment it is noted.
    void Copy(SDL_Texture* texture, const SDL_Rect* source, const SDL_Rect& destination,
              double angle = 0.0, const SDL_Point* centre = nullptr,
              SDL_RendererFlip flip = SDL_FLIP_NONE);
    void Rectangle(const SDL_Rect& rect, SDL_Color color, SDL_BlendMode blend, bool filled);
    // Keeps the calls that follow inside `rect` (none: the whole picture).
    void Clip(const SDL_Rect* rect);
    // Clears the current render target with `color`; the draw colour stays.
    void ClearTarget(SDL_Color color);
    // The pixel format pictures drawn into and copied as they are take:
    // the window's own where the renderer is SDL's software one, so that a
    // copy to the window needs no conversion.
    Uint32 PictureFormat() const;
    // The colour the picture being noted is cleared with.
    SDL_Color ClearColor() const
    {
        return SDL_Color{m_clearColor[0], m_clearColor[1], m_clearColor[2], m_clearColor[3]};
    }
    // Whether calls are noted (true) or carried out at once; gives the old
    // setting. Pictures of the game's own are drawn at once while a screen
    // notes its picture.
    bool NoteCalls(bool noting)
    {
        const bool old = m_noting;
        m_noting = noting;
        return old;
    }
    // A texture the game made or drew anew: the next picture is drawn even if
    // its calls are the same (the texture may sit where a freed one was).
    void TexturesChanged() { ++m_textureEpoch; }
    // The next picture is drawn and shown whatever it holds: the window was
    // uncovered, resized or restored, or the renderer lost its textures.
    void Redraw() { m_redraw = true; }
    // Draws the noted picture and puts it on the window, unless it is the
    // picture on the window already; false when there is nothing new to
    // present. At a whole
    // multiple of its size each pixel becomes a square block; between whole
    // multiples it is first enlarged by the next whole multiple and then
    // reduced smoothly, so every pixel stays a block of one size with at most
    // a soft edge; below its own size it is reduced smoothly, so no row or
    // column is dropped.
    bool ShowPicture();
    // Where the picture lies on the window, in the renderer's output pixels.
    SDL_Rect ViewRect() const;
    // Frees the picture's textures (before the renderer goes).
    void ReleasePicture();

    std::int32_t m_width = 0;
    std::int32_t m_height = 0;
    SDL_Window* m_window = nullptr;
    SDL_Renderer* m_renderer = nullptr;
    // Where the window was and how large before it covered the screen, when
    // the game placed it there itself, no window manager doing it (empty
    // otherwise).
    SDL_Rect m_windowed{};
    // The picture every screen draws into, and its enlargement between whole
    // multiples (m_sharpFactor times its size). Null where the renderer cannot
    // draw into textures: the screens then draw on the window directly.
    SDL_Texture* m_view = nullptr;
    SDL_Texture* m_sharp = nullptr;
    int m_sharpFactor = 0;
    bool m_viewRefused = false;
    // True while the calls of a picture are carried out into it.
    bool m_drawing = false;

private:
    Graphics() = default;

    // One noted drawing call, compared field by field with the last picture's.
    struct Call
    {
        SDL_Texture* texture = nullptr; // null: a rectangle
        std::array<int, 4> source{};
        std::array<int, 4> destination{};
        bool wholeSource = true;
        double angle = 0.0;
        std::array<int, 2> centre{};
        bool centred = true;
        int flip = SDL_FLIP_NONE;
        std::array<Uint8, 4> color{}; // modulation, or the rectangle's colour
        int blend = SDL_BLENDMODE_NONE;
        bool filled = false;
        bool clip = false; // the clip rectangle: `destination`, or none when wholeSource

        bool operator==(const Call&) const = default;
    };
    // Notes the call into the picture while noting, otherwise carries it out.
    void Note(const Call& call);
    void Carry(const Call& call);
    void DropTargets();
    // Draws the noted calls into the picture and shows it on the window.
    void Draw();
    // Clears the current target and carries out the noted calls.
    void Replay();

    std::vector<Call> m_calls;
    std::vector<Call> m_shownCalls;
    std::array<Uint8, 4> m_clearColor{};
    std::array<Uint8, 4> m_shownClearColor{};
    unsigned m_textureEpoch = 0;
    unsigned m_shownEpoch = 0;
    std::array<int, 2> m_shownOutput{};
    bool m_noting = false;
    bool m_redraw = true;

    // The enlargement for `factor`, made when first needed at that factor.
    SDL_Texture* Sharp(int factor);
};

#pragma once

#include <SDL.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// On-screen controls for a touch screen: a direction pad and the buttons
// Return, Pause (P) and New menu (Space). A finger on a control holds that
// control's key for as long as it stays there, so walking by touch is walking
// with a held arrow key. They stay hidden until the machine shows it has a
// touch screen; they are laid out and drawn in output pixels, over the bars
// beside the view where there is room, otherwise over the view's lower
// corners, never over the heads-up panel.
class TouchControls final
{
public:
    // Places the controls for an output of outputWidth x outputHeight pixels
    // in which the view fills `view`; `panel` is where the heads-up panel
    // stands in the view's own pixels, which the buttons stand on.
    void Layout(const SDL_Rect& view, int outputWidth, int outputHeight, const SDL_Rect& panel);

    // Shows the controls (the platform has a touch screen).
    void Show() { m_shown = true; }
    bool Shown() const { return m_shown; }

    // Finger events, as SDL queues them (positions are fractions of the
    // window), press, move and lift fingers; the first one seen shows the
    // controls and presses nothing, as nothing was there to be seen.
    void Handle(const SDL_Event& event);
    // Sets the key of every control a finger holds, or tapped since the last
    // frame: a tap shorter than a frame still counts once.
    void Hold(std::array<Uint8, SDL_NUM_SCANCODES>& keys) const;
    // Forgets the taps a frame has seen.
    void NewFrame();

    // Whether a point given in view pixels, as mouse events report it, lies on
    // a shown control: the click SDL makes from a touch there is no click.
    bool Covers(float viewX, float viewY) const;

    // Whether they are shown and which controls are lit, as bits: what
    // Draw shows, for a given layout.
    std::uint32_t Look() const;

    // Draws the shown controls in output pixels, translucent.
    void Draw(SDL_Renderer* renderer) const;

    // The controls, in the order of their keys in the .cpp's table.
    enum Control : std::size_t
    {
        kRight,
        kLeft,
        kDown,
        kUp,
        kReturn,
        kPause,
        kMenu,
        kNone,
    };

    // Where a control is drawn, in output pixels: a pad direction's rect is
    // the whole pad.
    SDL_Rect Rect(Control control) const;

private:
    static constexpr std::size_t kControls = kNone;

    // The control under a point of the output, or kNone.
    Control At(float x, float y) const;

    struct Finger
    {
        SDL_TouchID touch;
        SDL_FingerID id;
        Control on;
    };

    bool m_shown = false;
    SDL_Rect m_view{};
    int m_outputWidth = 0;
    int m_outputHeight = 0;
    SDL_Rect m_pad{};
    std::array<SDL_Rect, 3> m_buttons{};
    std::vector<Finger> m_fingers;
    std::array<bool, kControls> m_tapped{};
};

#pragma once

#include <cstdint>

// What lies over the screens' pictures: a crossed-out speaker while all sound
// is off, and the touch controls of a touch screen. Game draws it each
// picture, after the running screen.
class Overlay final
{
public:
    // Notes the muted mark into the picture when `muted`, and asks for the
    // picture to be shown again when the touch controls look otherwise than
    // on the last one (a finger coming or going on a control).
    void Note(bool muted);
    // Lays the touch controls out for the window's output and draws them
    // when shown, in output pixels over the shown picture: after it is drawn
    // and before it is presented.
    void DrawOverShown();
    // Back to a fresh start's state.
    void Reset() { m_touchLook = 0; }

private:
    // How the touch controls looked on the last picture shown.
    std::uint32_t m_touchLook = 0;
};

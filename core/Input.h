#pragma once

#include "core/Keys.h"
#include "core/TouchControls.h"

#include <SDL.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// What this frame's events said, reset in one place before each frame's
// events are read (Input::Fill).
struct InputEvents
{
    // The window's close button (or the system's request to quit).
    bool m_quit = false;
    // This frame's window events: the window's size changed, it lost the
    // keyboard's focus or went out of sight (hidden, minimised, a browser's
    // page put in the background), or the player asked for fullscreen (F11,
    // Alt+Return).
    bool m_resized = false;
    bool m_focusLost = false;
    bool m_toggleFullscreen = false;
    // The window was uncovered, shown, restored or resized: its picture must
    // be drawn again. The renderer lost what was drawn into textures.
    bool m_uncovered = false;
    bool m_texturesLost = false;
    // M was pressed: all sound off or on.
    bool m_toggleSound = false;
    // An open pad was unplugged during this frame's events.
    bool m_padLost = false;
    // How far the mouse moved and the wheel turned in this frame.
    float m_mouseRelX = 0.0f;
    float m_mouseRelY = 0.0f;
    float m_wheelX = 0.0f;
    float m_wheelY = 0.0f;
    // Keys that went down during this frame's events: a tap shorter than a
    // frame has been released again before the key state is read, and still
    // is a new press.
    std::array<Uint8, SDL_NUM_SCANCODES> m_tapped{};
};

// What the game sees of the keyboard, the game pads, the mouse and the close
// button, filled once per frame before the running screen's Update. Keys are
// held states; the menu, the guide and the scores also ask for new presses.
class Input final : public InputEvents
{
public:
    static Input* Instance();

    Input(const Input&) = delete;
    Input& operator=(const Input&) = delete;

    // Has the touch controls follow the fingers as SDL reports them, from now
    // until SDL is shut down.
    void WatchTouches();

    // Whether an event is waiting: the main loop idles briefly when none is.
    bool EventWaiting();

    // Resets the per-frame fields, drains every pending event and merges the
    // key-state array (null reads as no key held) with the pads into m_keys.
    void Fill(const Uint8* keys);

    // Whether the key, or a control standing for it, is held now but was not
    // in the frame before: a key held over from the screen before reads no
    // new press.
    bool Pressed(int scancode) const;

    // Closes every open pad and frees the cursor (SDL's own shutdown would
    // leave their handles dangling here), and forgets every key, button and
    // event, so a next run of the game starts from nothing held.
    void Shutdown();

    bool m_keyDown = false;
    // The keys as the screens see them: the keyboard's, with W, A, S and D
    // standing for the arrows, and every pad's D-pad, left stick and buttons
    // and every touch control for the keys they stand for. The same array
    // for the whole run.
    const Uint8* m_keys = nullptr;
    SDL_Cursor* m_cursor = nullptr;
    std::int32_t m_mouseLeft = 0;
    std::int32_t m_mouseMiddle = 0;
    std::int32_t m_mouseRight = 0;
    float m_mouseX = 0.0f;
    float m_mouseY = 0.0f;
    // The on-screen controls of a touch screen, laid out where the last
    // picture showed them.
    TouchControls m_touch;

private:
    Input() = default;

    void Handle(const SDL_Event& event);

    // A button (or the keyboard as a whole) as the events leave it, and
    // whether it went down during this frame's events. A press counts for the
    // frame it arrives in even when its release arrives in the same frame; the
    // release then shows from the next frame on. So a tap reads down for
    // exactly one frame, whatever order or timestamps its events carry.
    struct Switch
    {
        bool down = false;
        bool pressed = false;

        void Set(bool press)
        {
            down = press;
            pressed = pressed || press;
        }
        bool Reads() const { return down || pressed; }
    };

    // The pad buttons the game reads, in the order of Input.cpp's table.
    static constexpr std::size_t kPadButtons = 7;

    // One open game controller: its buttons as its events leave them, and
    // where its left stick stands.
    struct Pad
    {
        SDL_GameController* controller = nullptr;
        SDL_JoystickID id = -1;
        std::array<Switch, kPadButtons> buttons{};
        Sint16 stickX = 0;
        Sint16 stickY = 0;
    };

    void HandlePad(const SDL_Event& event);
    void Merge(const Uint8* keys);

    Switch m_left;
    Switch m_middle;
    Switch m_right;
    Switch m_key;
    std::vector<Pad> m_pads;
    std::array<Uint8, SDL_NUM_SCANCODES> m_held{};
    std::array<Uint8, SDL_NUM_SCANCODES> m_heldBefore{};
};

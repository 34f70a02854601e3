#pragma once

#include <SDL.h>

#include <cstdint>

// Scancodes the game reacts to.
inline constexpr int kKeyReturn = SDL_SCANCODE_RETURN; // 40
inline constexpr int kKeyEscape = SDL_SCANCODE_ESCAPE; // 41
inline constexpr int kKeySpace = SDL_SCANCODE_SPACE;   // 44
inline constexpr int kKeyP = SDL_SCANCODE_P;           // 19
inline constexpr int kKeyRight = SDL_SCANCODE_RIGHT;   // 79
inline constexpr int kKeyLeft = SDL_SCANCODE_LEFT;     // 80
inline constexpr int kKeyDown = SDL_SCANCODE_DOWN;     // 81
inline constexpr int kKeyUp = SDL_SCANCODE_UP;         // 82

// What the game sees of the keyboard, the mouse and the close button, filled
// once per frame before the running screen's Update. Keys are held states:
// nothing here detects edges.
class Input final
{
public:
    static Input* Instance();

    Input(const Input&) = delete;
    Input& operator=(const Input&) = delete;

    // The main loop looked one event ahead and put it back at the tail of the
    // queue; it is handled last although it happened first.
    void NoteLookAhead(const SDL_Event& event);

    // Resets the per-frame fields, takes the keyboard state and drains every
    // pending event.
    void Fill();

    bool m_quit = false;
    bool m_keyDown = false;
    const Uint8* m_keys = nullptr;
    SDL_Cursor* m_cursor = nullptr;
    std::int32_t m_mouseLeft = 0;
    std::int32_t m_mouseMiddle = 0;
    std::int32_t m_mouseRight = 0;
    float m_mouseX = 0.0f;
    float m_mouseY = 0.0f;
    float m_mouseRelX = 0.0f;
    float m_mouseRelY = 0.0f;
    float m_wheelX = 0.0f;
    float m_wheelY = 0.0f;

    // Test seam: when set, the key-state array is taken from here instead of
    // from SDL, so tests can hold keys without a keyboard.
    static const Uint8* s_keyStateOverride;

private:
    Input() = default;

    void Handle(const SDL_Event& event);
    bool IsLookAhead(const SDL_Event& event) const;

    // A release that must take effect at the start of the next frame; see Fill.
    struct PendingRelease
    {
        bool left = false;
        bool middle = false;
        bool right = false;
        bool key = false;
    };

    SDL_Event m_lookAhead{};
    bool m_hasLookAhead = false;
    PendingRelease m_pending;
    PendingRelease m_releasedThisDrain;
};

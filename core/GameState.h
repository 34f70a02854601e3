#pragma once

#include <SDL.h>

// A screen of the game. The main loop runs the screen at the front of the
// queue while its m_running flag is set. A screen decides its own transitions
// in Update by queueing the next screen and setting the flags:
//   running set                 -> another frame follows
//   running clear, alive set    -> suspended where it stands in the queue
//   running clear, alive clear  -> finished; removed when it reaches the front
// A screen ending with a suspended screen behind it must either resume that
// screen (set its m_running) or end it (clear its m_alive).
class GameState
{
public:
    explicit GameState(GameState* previous);
    virtual ~GameState() = default;

    GameState(const GameState&) = delete;
    GameState& operator=(const GameState&) = delete;

    // Reads input and decides transitions. Called once per frame while running.
    virtual bool Update() = 0;
    // Draws the screen. It changes no rule of the game, but drawing does move
    // the sprites' frames and the tile layers' drawing cursors.
    virtual bool Render() = 0;

    const Uint8* m_keys = nullptr;
    // The screen that created this one. Only followed while it is suspended
    // behind this one (guide, scores and pause); otherwise it may be gone.
    GameState* m_previous = nullptr;
    bool m_alive = false;
    bool m_running = false;

    // Clears both flags: the screen is finished.
    void End()
    {
        m_alive = false;
        m_running = false;
    }
    bool Held(int scancode) const { return m_keys != nullptr && m_keys[scancode] != 0; }
};

#pragma once

#include "core/Overlay.h"
#include "core/Preferences.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>

class GameState;
class Platform;

// The application: start-up, the frame loop over the screen queue, shutdown.
class Game final
{
public:
    static Game* Instance();

    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // False when start-up failed and the program must stop.
    bool Initialize();
    // Runs screens until the queue is empty, 60 steps a second of the
    // platform's clock, drawing a picture after the steps that were due.
    bool Run(Platform& platform);
    // One pass of Run: the steps that are due by the platform's clock, the
    // last of them drawn. Returns how long until the next step is due (zero
    // when steps ran): Run sleeps that long, while a browser, which must not
    // be kept waiting, calls this once per animation frame instead. A step
    // may run up to `early` before its time: animation frames come near 60 a
    // second but not exactly, and a frame a hair too early would otherwise
    // show no new picture.
    std::chrono::nanoseconds
    Frame(Platform& platform, std::chrono::nanoseconds early = std::chrono::nanoseconds::zero());
    void Shutdown();

    void PushStateFront(std::unique_ptr<GameState> state);
    void PushStateBack(std::unique_ptr<GameState> state);

    // One pass of the main loop: runs one step of the screen at the front while
    // it is running (its input, its update, its line of narration, and its
    // picture when `draw` is set), and removes it once it has finished. Run
    // calls this with the pacing around it; anything that drives the game
    // frame by frame calls it too. Returns true when a step was run.
    bool Step(Platform& platform, bool draw = true);

    // Reads the settings file into m_settings and the window fields; false when
    // the file cannot be used.
    bool ReadSettings();

    const char* m_title = nullptr;
    std::int32_t m_width = 0;
    std::int32_t m_height = 0;
    bool m_fullscreen = false;
    bool m_quit = false;
    GameState* m_currentState = nullptr;
    std::deque<std::unique_ptr<GameState>> m_states;
    std::array<std::string, 4> m_settings;
    // The player's choices of sound and fullscreen, kept from run to run.
    Preferences m_preferences;

private:
    Game() = default;

    void RunFrame(Platform& platform, bool draw);
    // Stores the choices M or F11 just changed.
    void RememberChoices(bool sound, bool fullscreen);

    // When the next step is due; unset until the first pass.
    std::optional<std::chrono::steady_clock::time_point> m_due;
    // The muted mark and the touch controls over every picture.
    Overlay m_overlay;
};

#pragma once

#include <SDL.h>

#include <array>
#include <chrono>

// What the main loop takes from the machine: the time, a way to wait, the
// keyboard and the display. The game runs on the system's; a replay or a test that drives the
// loop brings its own, so frames run without sleeping and keys are held by
// script.
class Platform
{
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    virtual ~Platform() = default;
    virtual TimePoint Now() = 0;
    virtual void SleepFor(std::chrono::nanoseconds duration) = 0;
    // The key-state array, indexed by SDL scancode; valid until the next call.
    virtual const Uint8* Keys() = 0;
    // Shows the picture drawn; with vertical sync it waits for the display.
    virtual void Present(SDL_Renderer* renderer) = 0;
};

// The real clock and SDL's keyboard state.
class SystemPlatform final : public Platform
{
public:
    TimePoint Now() override;
    void SleepFor(std::chrono::nanoseconds duration) override;
    const Uint8* Keys() override;
    void Present(SDL_Renderer* renderer) override;

private:
    std::array<Uint8, SDL_NUM_SCANCODES> m_keys{};
};

#pragma once

// Playing the game the way a person does: frames through the main loop's
// per-frame step with a platform of our own (no sleeping, keys held by
// script), and walks along shortest routes through the gold.

#include "platform/Platform.h"

#include <SDL.h>

#include <array>
#include <cstddef>
#include <vector>

class Map;
class Player;

namespace support
{

// Time passes only when the game sleeps; keys are held by the caller.
class TestPlatform final : public Platform
{
public:
    TimePoint Now() override { return m_now; }
    void SleepFor(std::chrono::nanoseconds duration) override { m_now += duration; }
    const Uint8* Keys() override { return m_keys.data(); }
    void Present(SDL_Renderer* renderer) override { SDL_RenderPresent(renderer); }

    void Hold(int scancode) { m_keys[static_cast<std::size_t>(scancode)] = 1; }
    void Release(int scancode) { m_keys[static_cast<std::size_t>(scancode)] = 0; }
    void ReleaseAll() { m_keys.fill(0); }

    TimePoint m_now{};

private:
    std::array<Uint8, SDL_NUM_SCANCODES> m_keys{};
};

// One pass of the main loop that ran a frame (or the game ended).
void Frame(Platform& platform);

// Cell indices (50 x row + column) from the player's cell through every
// active piece of gold, the nearest piece first, one step at a time. Empty
// when a piece cannot be reached.
std::vector<int> RouteThroughGold(const Map& map);

// Holds the arrows that walk the player along a route, cell by cell.
class RouteWalker
{
public:
    explicit RouteWalker(std::vector<int> route) : m_route(std::move(route)) {}

    bool Done() const { return m_next >= m_route.size(); }
    // Call before each frame: once the player stands on the route's next
    // cell, holds only the arrow toward the one after it.
    void Steer(const Player& player, TestPlatform& keys);

private:
    std::vector<int> m_route;
    std::size_t m_next = 0;
};

} // namespace support

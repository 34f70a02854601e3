#pragma once

// Playing the game the way a person does: frames through the main loop's
// per-frame step with a platform of our own (no sleeping, keys held by
// script), and walks along shortest routes over the level.

#include "core/Platform.h"
#include "world/LayerFile.h"

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

struct Cell
{
    int column = 0;
    int row = 0;
    bool operator==(const Cell&) const = default;
};

bool Free(const CollisionGrid& grid, Cell cell);

// Every shortest way from one cell, stepping as the player does: one cell
// left, right, up or down, never into a cell whose value is 1.
class Paths
{
public:
    Paths(const CollisionGrid& grid, Cell from);
    // Steps to `to`; -1 when it cannot be reached.
    int Distance(Cell to) const;
    // The cells after the start up to and including `to`; empty when `to`
    // cannot be reached.
    std::vector<Cell> To(Cell to) const;

private:
    Cell m_from;
    std::array<int, kMapCells> m_distance;
    std::array<int, kMapCells> m_previous;
};

// The cells from the player's cell through every active piece of gold, the
// nearest piece first. Empty when a piece cannot be reached.
std::vector<Cell> RouteThroughGold(const Map& map);

// Holds the arrows that walk the player along a route, cell by cell.
class RouteWalker
{
public:
    explicit RouteWalker(std::vector<Cell> route) : m_route(std::move(route)) {}

    bool Done() const { return m_next >= m_route.size(); }
    // Call before each frame. Once the player stands, counts the cell when it
    // is the next of the route and holds only the arrow toward the following
    // one (none at the end).
    void Steer(const Player& player, TestPlatform& keys);

private:
    std::vector<Cell> m_route;
    std::size_t m_next = 0;
};

} // namespace support

#pragma once

// Playing the game singleton the way a person does: frames through the main
// loop's per-frame step, keys held through the input seam, mouse events
// through SDL's queue, and walks along routes over the level with held arrows.
// Shared by the unit tests, the whole-session programs and the level check.

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

// The platform the tests drive the loop with: no sleeping, keys from the
// Keyboard that lives (none held when there is none).
class TestPlatform final : public Platform
{
public:
    TimePoint Now() override { return m_now; }
    void SleepFor(std::chrono::nanoseconds duration) override { m_now += duration; }
    const Uint8* Keys() override;

    TimePoint m_now{};
};
TestPlatform& ThePlatform();

// One pass of the main loop that ran a frame (or the game ended).
void Frame();

void PushMouseMotion(int x, int y, int xrel = 0, int yrel = 0);
void PushMouseButton(int x, int y, Uint8 button, bool down);
void PushQuit();

// The key-state array the game reads while this lives; every key starts up.
class Keyboard
{
public:
    Keyboard();
    ~Keyboard();
    Keyboard(const Keyboard&) = delete;
    Keyboard& operator=(const Keyboard&) = delete;

    void Hold(int scancode) { m_keys[static_cast<std::size_t>(scancode)] = 1; }
    void Release(int scancode) { m_keys[static_cast<std::size_t>(scancode)] = 0; }
    void ReleaseAll() { m_keys.fill(0); }

private:
    std::array<Uint8, SDL_NUM_SCANCODES> m_keys{};
};

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

// The first `count` effects (rand() % 4) a seed gives: 0 hides, 1 sticks, 2
// adds time, 3 takes it.
std::vector<int> Outcomes(unsigned seed, int count);

// The first seed from `from` on whose ten effects leave time to walk a route:
// no more penalties than bonuses, at most two stucks. Seeded with it, a walk
// through the gold wins on any level where the walk itself fits in the clock.
unsigned FavourableSeed(unsigned from);

// Holds the arrows that walk the player along a route, cell by cell.
class RouteWalker
{
public:
    explicit RouteWalker(std::vector<Cell> route) : m_route(std::move(route)) {}

    bool Empty() const { return m_route.empty(); }
    // The route cells reached so far.
    std::size_t Reached() const { return m_next; }
    // Call before each frame. False while the player is between cells; once
    // it stands, counts the cell when it is the next of the route and holds
    // only the arrow toward the following one (none at the end).
    bool Steer(const Player& player, Keyboard& keys);

private:
    std::vector<Cell> m_route;
    std::size_t m_next = 0;
};

} // namespace support

#pragma once

#include "world/Level.h"

#include <array>
#include <string>
#include <utility>
#include <vector>

namespace level
{

enum class Cell
{
    Floor,
    Wall,
    WallTorch,  // a wall whose face carries a torch
    WallBanner, // a wall whose face carries a banner
    Barrel,
    Crate,
    Chest,
    Pillar,
};

class Layout
{
public:
    // Parses the designed dungeon; throws when the design breaks a rule the
    // game relies on (size, free start and gold cells, decorations on faces).
    // The level is built around where the game puts the player and the gold.
    static Layout Designed();

    Cell At(int column, int row) const; // outside the level counts as wall
    bool Blocked(int column, int row) const { return At(column, row) != Cell::Floor; }
    bool IsWall(int column, int row) const;

private:
    std::array<Cell, kMapCells> m_cells{};
};

using Pair = std::pair<int, int>;

// The four layer files' contents.
struct Layers
{
    std::array<int, kMapCells> collision{};
    std::vector<Pair> floor;
    std::vector<Pair> wall;
    std::vector<Pair> objects;
};

std::string CollisionText(const Layers& layers);
std::string PairText(const std::vector<Pair>& pairs);

} // namespace level

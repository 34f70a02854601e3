#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

namespace level
{

inline constexpr int kColumns = 50;
inline constexpr int kRows = 19;
inline constexpr int kCells = kColumns * kRows;

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

struct Spot
{
    int column;
    int row;
};

// Where the game puts the player and the gold; the level is built around them.
inline constexpr Spot kStart{16, 15};
inline constexpr std::array<Spot, 10> kGold{
    {{29, 9}, {32, 16}, {49, 16}, {47, 8}, {19, 7}, {0, 16}, {11, 9}, {1, 5}, {27, 2}, {43, 2}}};

class Layout
{
public:
    // Parses the designed dungeon; throws when the design breaks a rule the
    // game relies on (size, free start and gold cells, decorations on faces).
    static Layout Designed();

    Cell At(int column, int row) const; // outside the level counts as wall
    bool Blocked(int column, int row) const { return At(column, row) != Cell::Floor; }
    bool IsWall(int column, int row) const;

private:
    std::array<Cell, kCells> m_cells{};
};

using Pair = std::pair<int, int>;

// The four layer files' contents.
struct Layers
{
    std::array<int, kCells> collision{};
    std::vector<Pair> floor;
    std::vector<Pair> wall;
    std::vector<Pair> objects;
};

std::string CollisionText(const Layers& layers);
std::string PairText(const std::vector<Pair>& pairs);

} // namespace level

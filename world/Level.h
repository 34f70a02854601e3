#pragma once

// The level's geometry and where the game puts the player and the gold. The
// game, the asset generator and the level check all read these.

#include <array>

inline constexpr int kMapColumns = 50;
inline constexpr int kMapRows = 19;
inline constexpr int kMapCells = kMapColumns * kMapRows;
inline constexpr int kCellSize = 32;
inline constexpr int kWorldWidth = kMapColumns * kCellSize;
inline constexpr int kWorldHeight = kMapRows * kCellSize;

struct CellSpot
{
    int column;
    int row;
};

inline constexpr CellSpot kStartCell{16, 15};

// The ten pieces of gold, in the order the world creates them.
inline constexpr std::array<CellSpot, 10> kGoldCells{
    {{29, 9}, {32, 16}, {49, 16}, {47, 8}, {19, 7}, {0, 16}, {11, 9}, {1, 5}, {27, 2}, {43, 2}}};

#pragma once

#include "world/Level.h"

#include <array>
#include <cstdint>
#include <istream>
#include <utility>
#include <vector>

using CollisionGrid = std::array<std::int32_t, kMapCells>;
using TilePair = std::pair<std::int32_t, std::int32_t>; // (column, row) in a tile sheet
using TileList = std::vector<TilePair>;

// Reads up to 950 integers, row after row. Reading stops at the first text that
// is not a number or at the end of the stream; cells not read are left free (0).
// Returns the number of cells read.
int ReadCollisionGrid(std::istream& in, CollisionGrid& grid);

// Reads "column,row " entries. Any white space ends the row text, so a line
// break after a row number does not swallow the next entry, and the end of the
// stream adds no extra pair.
TileList ReadTilePairs(std::istream& in);

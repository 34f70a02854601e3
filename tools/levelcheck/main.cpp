// Checks the level and the pictures the asset generator wrote, read with the
// game's own readers: the layer files have the layout the game reads, every
// picture has the size the game draws it at, the gold can be collected in
// time, and every cell shows what it is (free ground is solid floor with
// nothing over it, a blocked cell shows a wall or something in the way).
//
//   dungeon_levelcheck <folder holding Assets>
//
// Prints each problem found; exits 1 when there is one. `make assets` runs it
// after drawing, and the test suite runs it on the committed files.

#include "gameplay/Player.h"
#include "gameplay/Rules.h"
#include "graphics/Pictures.h"
#include "platform/Files.h"
#include "world/LayerFile.h"
#include "world/Level.h"

#include <SDL_image.h>

#include <algorithm>
#include <array>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace
{
const char* const kCollisionFile = "Assets\\Maps\\collisionMap.map";
const std::pair<const char*, const char*> kLayers[] = {{"Assets\\Maps\\floorMap.map", "Floors"},
                                                       {"Assets\\Maps\\wallMap.map", "Walls"},
                                                       {"Assets\\Maps\\objectMap.map", "Objects"}};
constexpr int kFrame = kCellSize * kCellSize;
using Surface = std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)>;

int s_problems = 0;

std::ostream& Problem()
{
    ++s_problems;
    return std::cerr << "level check: ";
}

bool Free(const CollisionGrid& grid, int column, int row)
{
    return column >= 0 && column < kMapColumns && row >= 0 && row < kMapRows &&
           grid[static_cast<std::size_t>(row * kMapColumns + column)] != 1;
}

// Steps from a cell to every cell, as the player walks; -1 where it cannot.
std::array<int, kMapCells> Distances(const CollisionGrid& grid, CellSpot from)
{
    std::array<int, kMapCells> steps;
    steps.fill(-1);
    steps[static_cast<std::size_t>(from.row * kMapColumns + from.column)] = 0;
    for (std::deque<CellSpot> queue{from}; !queue.empty(); queue.pop_front())
    {
        const CellSpot at = queue.front();
        for (const auto& [dx, dy] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}})
        {
            const CellSpot next{at.column + dx, at.row + dy};
            const auto k = static_cast<std::size_t>(next.row * kMapColumns + next.column);
            if (Free(grid, next.column, next.row) && steps[k] < 0)
            {
                steps[k] = steps[static_cast<std::size_t>(at.row * kMapColumns + at.column)] + 1;
                queue.push_back(next);
            }
        }
    }
    return steps;
}

// The pixels of an RGBA sheet's frame whose alpha is at least `minimum`; a
// frame outside the sheet counts as a hole, which no cell may show.
int Opaque(const SDL_Surface* sheet, TilePair frame, int minimum)
{
    const auto [column, row] = frame;
    if (column < 0 || row < 0 || column >= sheet->w / kCellSize || row >= sheet->h / kCellSize)
    {
        return -kFrame;
    }
    const auto* alpha = static_cast<const Uint8*>(sheet->pixels) + row * kCellSize * sheet->pitch +
                        column * kCellSize * 4 + 3;
    int count = 0;
    for (int i = 0; i < kFrame; ++i)
    {
        count += alpha[i / kCellSize * sheet->pitch + i % kCellSize * 4] >= minimum;
    }
    return count;
}

// One line per row of the level, of kMapColumns entries: 0 or 1 in the
// collision layer; in a picture layer a column, a comma, a row and a blank,
// the last entry of a line too, so no line break is read as part of a number.
void CheckLayout(const char* file)
{
    std::ifstream lines(NativePath(file));
    int rows = 0;
    for (std::string line; std::getline(lines, line); ++rows)
    {
        std::istringstream row(line);
        const auto entries = std::distance(std::istream_iterator<std::string>(row), {});
        const bool form = file == kCollisionFile
                              ? line.find_first_not_of("01 ") == std::string::npos
                              : std::ranges::count(line, ',') == kMapColumns && line.ends_with(' ');
        if (entries != kMapColumns || !form)
        {
            Problem() << file << " line " << rows << ": " << line << "\n";
        }
    }
    if (rows != kMapRows)
    {
        Problem() << file << " has " << rows << " lines, not " << kMapRows << "\n";
    }
}

// Walking to the nearest piece each time must fit the clock with room for
// three time penalties and two stucks.
void CheckRoute(const CollisionGrid& grid)
{
    CellSpot at = kStartCell;
    std::vector<CellSpot> gold(kGoldCells.begin(), kGoldCells.end());
    int cells = 0;
    while (!gold.empty())
    {
        const std::array<int, kMapCells> steps = Distances(grid, at);
        const auto to = [&steps](CellSpot g) {
            return static_cast<unsigned>(
                steps[static_cast<std::size_t>(g.row * kMapColumns + g.column)]);
        };
        const auto nearest = std::ranges::min_element(gold, {}, to);
        if (!Free(grid, at.column, at.row) || static_cast<int>(to(*nearest)) < 0)
        {
            Problem() << "gold " << nearest->column << "," << nearest->row
                      << " cannot be reached from " << at.column << "," << at.row << "\n";
            return;
        }
        cells += static_cast<int>(to(*nearest));
        at = *nearest;
        gold.erase(nearest);
    }
    constexpr int kRoom = 3 * kTimePenalty * kUpdatesPerSecond + 2 * kEffectUpdates;
    if (cells * kUpdatesPerCell > kGameSeconds * kUpdatesPerSecond - kRoom)
    {
        Problem() << "the walk through all the gold takes " << cells << " cells: too long\n";
    }
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::cerr << "usage: dungeon_levelcheck <folder holding Assets>\n";
        return 2;
    }
    std::filesystem::current_path(argv[1]);
    CheckLayout(kCollisionFile);
    std::ifstream text(NativePath(kCollisionFile));
    CollisionGrid grid{};
    if (ReadCollisionGrid(text, grid) != kMapCells)
    {
        Problem() << kCollisionFile << " does not hold " << kMapCells << " cells\n";
    }
    CheckRoute(grid);
    std::map<std::string, Surface> sheets;
    for (const Picture& p : kPictures)
    {
        const Surface loaded(IMG_Load(NativePath(p.path).c_str()), SDL_FreeSurface);
        if (!loaded || loaded->w != p.width || loaded->h != p.height)
        {
            Problem() << p.path << " is missing or not " << p.width << " x " << p.height << "\n";
            continue;
        }
        sheets.emplace(p.tag,
                       Surface(SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_RGBA32, 0),
                               SDL_FreeSurface));
    }
    std::vector<TileList> layers;
    for (const auto& [file, tag] : kLayers)
    {
        CheckLayout(file);
        std::ifstream in(NativePath(file));
        layers.push_back(ReadTilePairs(in));
        if (layers.back().size() != static_cast<std::size_t>(kMapCells) || !sheets.contains(tag))
        {
            Problem() << file << " or its sheet cannot be checked cell by cell\n";
            return 1;
        }
    }
    const auto opaque = [&](int layer, int k, int minimum)
    { return Opaque(sheets.at(kLayers[layer].second).get(), layers[layer][k], minimum); };
    for (int k = 0; k < kMapCells; ++k)
    {
        const bool free = Free(grid, k % kMapColumns, k / kMapColumns);
        const int floor = opaque(0, k, 255);
        const int over = opaque(1, k, free ? 1 : 255) + opaque(2, k, free ? 1 : 255);
        if (free ? floor != kFrame || over != 0 : floor < 0 || over < kFrame / 4)
        {
            Problem() << (free ? "free" : "blocked") << " cell " << k % kMapColumns << ","
                      << k / kMapColumns << ": opaque pixels of floor " << floor << ", over it "
                      << over << "\n";
        }
    }
    return s_problems == 0 ? 0 : 1;
}

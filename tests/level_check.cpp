// The shipped level and pictures, read with the game's readers where Assets is.

#include "gameplay/Rules.h"
#include "graphics/Pictures.h"
#include "graphics/Util.h"
#include "tests/support/Play.h"
#include "world/LayerFile.h"
#include "world/Level.h"

#include <SDL_image.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace
{
using support::Cell, support::Free;

const char* const kCollisionFile = "Assets\\Maps\\collisionMap.map";
const std::pair<const char*, const char*> kLayers[] = {{"Assets\\Maps\\floorMap.map", "Floors"},
                                                       {"Assets\\Maps\\wallMap.map", "Walls"},
                                                       {"Assets\\Maps\\objectMap.map", "Objects"}};

constexpr int kFrame = kCellSize * kCellSize;
using Surface = std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)>;

// The pixels of an RGBA sheet's frame whose alpha is at least `minimum`; a frame
// outside the sheet counts as a hole, which no cell may show.
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
} // namespace

// One line per row of the level, of kMapColumns entries: 0 or 1 in the collision
// layer; in a picture layer a column, a comma, a row and a blank, the last entry
// of a line too, so no line break is read as part of a number.
TEST(LevelFiles, HaveTheLayoutTheGameReads)
{
    for (const char* file : {kCollisionFile, kLayers[0].first, kLayers[1].first, kLayers[2].first})
    {
        std::ifstream lines(NativePath(file));
        int rows = 0;
        for (std::string line; std::getline(lines, line); ++rows)
        {
            std::istringstream row(line);
            const auto entries = std::distance(std::istream_iterator<std::string>(row), {});
            const bool form =
                file == kCollisionFile
                    ? line.find_first_not_of("01 ") == std::string::npos
                    : std::ranges::count(line, ',') == kMapColumns && line.ends_with(' ');
            EXPECT_TRUE(entries == kMapColumns && form) << file << " line " << rows << ": " << line;
        }
        EXPECT_EQ(rows, kMapRows) << file << " (run the level check in the repository root)";
    }
}

TEST(LevelPlay, AllGoldCanBeCollectedInTimeAndEveryCellShowsWhatItIs)
{
    std::ifstream text(NativePath(kCollisionFile));
    CollisionGrid grid{};
    ASSERT_EQ(ReadCollisionGrid(text, grid), kMapCells);
    // Walking to the nearest piece each time must fit the clock with room for
    // three time penalties and two stucks.
    Cell at{kStartCell.column, kStartCell.row};
    ASSERT_TRUE(Free(grid, at)) << "the start cell is blocked";
    std::vector<CellSpot> gold(kGoldCells.begin(), kGoldCells.end());
    int cells = 0;
    while (!gold.empty())
    {
        // A piece that cannot be reached (-1) comes first, and fails.
        const support::Paths paths(grid, at);
        const auto steps = [&](CellSpot g) { return paths.Distance({g.column, g.row}); };
        const auto nearest = std::ranges::min_element(gold, {}, steps);
        at = Cell{nearest->column, nearest->row};
        ASSERT_GE(paths.Distance(at), 0) << "gold " << at.column << "," << at.row << " is cut off";
        cells += paths.Distance(at);
        gold.erase(nearest);
    }
    constexpr int kRoom = 3 * kTimePenalty * kUpdatesPerSecond + 2 * kEffectUpdates;
    EXPECT_LE(cells * kUpdatesPerCell, kGameSeconds * kUpdatesPerSecond - kRoom)
        << "the walk through all the gold takes " << cells << " cells";
    // Every picture has the size the game draws it at.
    std::map<std::string, Surface> sheets;
    for (const Picture& p : kPictures)
    {
        const Surface loaded(IMG_Load(NativePath(p.path).c_str()), SDL_FreeSurface);
        ASSERT_TRUE(loaded) << p.path << ": " << IMG_GetError();
        EXPECT_EQ(std::pair(loaded->w, loaded->h), std::pair(p.width, p.height)) << p.path;
        sheets.emplace(p.tag,
                       Surface(SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_RGBA32, 0),
                               SDL_FreeSurface));
    }
    std::vector<TileList> layers;
    for (const auto& [file, sheet] : kLayers)
    {
        std::ifstream in(NativePath(file));
        layers.push_back(ReadTilePairs(in));
        ASSERT_EQ(layers.back().size(), static_cast<std::size_t>(kMapCells)) << file;
    }
    const auto opaque = [&](int layer, int k, int minimum)
    { return Opaque(sheets.at(kLayers[layer].second).get(), layers[layer][k], minimum); };
    // Free ground is solid floor with nothing of the layers drawn over the
    // player on it; a blocked cell shows a wall or something in the way.
    for (int k = 0; k < kMapCells; ++k)
    {
        const Cell c{k % kMapColumns, k / kMapColumns};
        const bool free = Free(grid, c);
        const int floor = opaque(0, k, 255);
        const int over = opaque(1, k, free ? 1 : 255) + opaque(2, k, free ? 1 : 255);
        EXPECT_TRUE(free ? floor == kFrame && over == 0 : floor >= 0 && over >= kFrame / 4)
            << (free ? "free" : "blocked") << " cell " << c.column << "," << c.row
            << ": opaque pixels of floor " << floor << ", over it " << over;
    }
}

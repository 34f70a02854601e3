// Checks the shipped level and pictures: the layer files have the layout the game
// reads, the gold can be collected in time, every cell shows what it is and every
// picture has the size the game draws it at. Runs where the Assets folder is.

#include "gameplay/Rules.h"
#include "graphics/Pictures.h"
#include "graphics/Util.h"
#include "tests/support/Play.h"
#include "world/LayerFile.h"
#include "world/Level.h"

#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace
{

using support::Cell;
using support::Free;

const char* const kCollisionFile = "Assets\\Maps\\collisionMap.map";
// Floor, wall and object layers, in the order of their sheets in kSheets.
const char* const kLayerFiles[] = {"Assets\\Maps\\floorMap.map", "Assets\\Maps\\wallMap.map",
                                   "Assets\\Maps\\objectMap.map"};
const char* const kSheets[] = {"Floors", "Walls", "Objects"};

using Surface = std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)>;

// The picture of a tag of the picture table, as RGBA.
Surface Load(const std::string& tag)
{
    const auto* p = std::find_if(kPictures.begin(), kPictures.end(),
                                 [&](const Picture& entry) { return entry.tag == tag; });
    Surface loaded(p == kPictures.end() ? nullptr : IMG_Load(NativePath(p->path).c_str()),
                   SDL_FreeSurface);
    return Surface(loaded ? SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_RGBA32, 0)
                          : nullptr,
                   SDL_FreeSurface);
}

constexpr int kFrame = kCellSize * kCellSize;

// The pixels of a sheet's frame whose alpha is at least `minimum`; a frame
// outside the sheet counts as a hole, which no cell may show.
int Opaque(const Surface& sheet, TilePair frame, int minimum)
{
    if (frame.first < 0 || frame.second < 0 || frame.first >= sheet->w / kCellSize ||
        frame.second >= sheet->h / kCellSize)
    {
        return -kFrame;
    }
    int count = 0;
    for (int i = 0; i < kFrame; ++i)
    {
        const int x = frame.first * kCellSize + i % kCellSize;
        const int y = frame.second * kCellSize + i / kCellSize;
        const auto* pixels = static_cast<const Uint8*>(sheet->pixels);
        count += pixels[y * sheet->pitch + x * 4 + 3] >= minimum ? 1 : 0;
    }
    return count;
}

} // namespace

// One line per row of the level, each of kMapColumns entries in the form the
// reader takes. Every entry of a picture layer ends with its blank, the last of a
// line too, so no line break is read as part of a number.
TEST(LevelFiles, HaveTheLayoutTheGameReads)
{
    const auto isRow = [](const std::string& line, bool collision)
    {
        std::istringstream entries(line);
        int count = 0;
        for (std::string e; std::getline(entries, e, ' '); ++count)
        {
            if (collision ? e != "0" && e != "1" : std::count(e.begin(), e.end(), ',') != 1)
            {
                return false;
            }
        }
        return count == kMapColumns && (collision || line.back() == ' ');
    };
    for (const char* file : {kCollisionFile, kLayerFiles[0], kLayerFiles[1], kLayerFiles[2]})
    {
        std::ifstream lines(NativePath(file));
        int rows = 0;
        for (std::string line; std::getline(lines, line); ++rows)
        {
            EXPECT_TRUE(isRow(line, file == kCollisionFile))
                << file << " line " << rows << ": " << line;
        }
        EXPECT_EQ(rows, kMapRows) << file << " (run the level check in the repository root)";
    }
}

// Walking to the nearest piece each time must fit the clock with room for three
// time penalties and two stucks.
TEST(LevelRoute, AllGoldCanBeCollectedInTime)
{
    std::ifstream text(NativePath(kCollisionFile));
    CollisionGrid grid{};
    ASSERT_EQ(ReadCollisionGrid(text, grid), kMapCells);
    Cell at{kStartCell.column, kStartCell.row};
    ASSERT_TRUE(Free(grid, at)) << "the start cell is blocked";
    std::vector<CellSpot> gold(kGoldCells.begin(), kGoldCells.end());
    int cells = 0;
    while (!gold.empty())
    {
        // As unsigned, "cannot be reached" (-1) comes after every distance.
        const support::Paths paths(grid, at);
        const auto steps = [&](CellSpot g) {
            return static_cast<unsigned>(paths.Distance(Cell{g.column, g.row}));
        };
        const auto nearest = std::min_element(
            gold.begin(), gold.end(), [&](CellSpot a, CellSpot b) { return steps(a) < steps(b); });
        at = Cell{nearest->column, nearest->row};
        ASSERT_GE(paths.Distance(at), 0)
            << "gold cell " << at.column << "," << at.row << " is blocked or cut off";
        cells += paths.Distance(at);
        gold.erase(nearest);
    }
    constexpr int kRoom = 3 * kTimePenalty * kUpdatesPerSecond + 2 * kEffectUpdates;
    EXPECT_LE(cells * kUpdatesPerCell, kGameSeconds * kUpdatesPerSecond - kRoom)
        << "the walk through all the gold takes " << cells << " cells";
}

TEST(LevelPictures, EveryCellShowsWhatItIs)
{
    std::ifstream text(NativePath(kCollisionFile));
    CollisionGrid grid{};
    ReadCollisionGrid(text, grid);
    std::vector<TileList> layers;
    std::vector<Surface> sheets;
    for (int i = 0; i < 3; ++i)
    {
        std::ifstream in(NativePath(kLayerFiles[i]));
        layers.push_back(ReadTilePairs(in));
        ASSERT_EQ(layers[i].size(), static_cast<std::size_t>(kMapCells)) << kLayerFiles[i];
        sheets.push_back(Load(kSheets[i]));
        ASSERT_TRUE(sheets[i]) << kSheets[i] << ": " << IMG_GetError();
    }
    for (int k = 0; k < kMapCells; ++k)
    {
        // Free ground is solid floor with nothing of the layers drawn over the
        // player on it; a blocked cell shows a wall or something in the way.
        const Cell c{k % kMapColumns, k / kMapColumns};
        const bool free = Free(grid, c);
        const int floor = Opaque(sheets[0], layers[0][k], 255);
        const int over = Opaque(sheets[1], layers[1][k], free ? 1 : 255) +
                         Opaque(sheets[2], layers[2][k], free ? 1 : 255);
        EXPECT_TRUE(free ? floor == kFrame && over == 0 : floor >= 0 && over >= kFrame / 4)
            << (free ? "free" : "blocked") << " cell " << c.column << "," << c.row << ": " << floor
            << " opaque floor pixels, " << over << " of walls and objects";
    }
}

TEST(Pictures, HaveTheSizesTheGameDraws)
{
    for (const Picture& p : kPictures)
    {
        const Surface loaded = Load(p.tag);
        ASSERT_TRUE(loaded) << p.path << ": " << IMG_GetError();
        EXPECT_EQ(loaded->w, p.width) << p.path;
        EXPECT_EQ(loaded->h, p.height) << p.path;
    }
}

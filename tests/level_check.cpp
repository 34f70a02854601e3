// Checks the shipped level and pictures: the dungeon must be winnable in the
// time a game gives, its picture layers must fit their sheets, and the game
// must be able to load every picture at the size it draws it. Runs in the
// repository root, where the game finds its Assets folder.

#include "graphics/Pictures.h"
#include "graphics/Util.h"
#include "tests/support/Play.h"
#include "tests/support/Scratch.h"
#include "world/LayerFile.h"

#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace
{

using support::Cell;
using support::Free;
using support::Paths;

constexpr Cell kStart{16, 15};
constexpr std::array<Cell, 10> kGold{
    {{29, 9}, {32, 16}, {49, 16}, {47, 8}, {19, 7}, {0, 16}, {11, 9}, {1, 5}, {27, 2}, {43, 2}}};

// A held arrow key moves one cell every 11 updates and a game lasts 5,400, so
// a route of 290 cells uses under 60 percent of the time, leaving room for
// being stuck and for lost seconds. On an open floor the route would be 122
// cells; at least 160 means the walls shape the way.
constexpr int kLongestRoute = 290;
constexpr int kShortestRoute = 160;

constexpr int kSheetColumns = 50;
constexpr int kSheetRows = 19;

const char* const kCollisionFile = "Assets\\Maps\\collisionMap.map";
const char* const kFloorFile = "Assets\\Maps\\floorMap.map";
const char* const kWallFile = "Assets\\Maps\\wallMap.map";
const char* const kObjectFile = "Assets\\Maps\\objectMap.map";

std::string ReadText(const std::string& storedPath)
{
    std::ifstream in(NativePath(storedPath), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

CollisionGrid LoadGrid()
{
    std::istringstream in(ReadText(kCollisionFile));
    CollisionGrid grid{};
    ReadCollisionGrid(in, grid);
    return grid;
}

TileList LoadPairs(const char* storedPath)
{
    std::istringstream in(ReadText(storedPath));
    return ReadTilePairs(in);
}

struct Route
{
    int length = 0;
    std::vector<int> order; // indices into kGold
};

// The shortest walk from the start that touches every gold cell, over all
// visiting orders (dynamic programming over the sets of gold collected).
Route ShortestRoute(const CollisionGrid& grid)
{
    constexpr int n = static_cast<int>(kGold.size());
    constexpr int kUnreachable = std::numeric_limits<int>::max() / 4;
    std::array<std::array<int, n>, n> between{};
    std::array<int, n> fromStart{};
    const auto steps = [](const Paths& paths, Cell to)
    {
        const int d = paths.Distance(to);
        return d < 0 ? kUnreachable : d;
    };
    const Paths fromStartPaths(grid, kStart);
    for (int i = 0; i < n; ++i)
    {
        fromStart[i] = steps(fromStartPaths, kGold[i]);
        const Paths paths(grid, kGold[i]);
        for (int j = 0; j < n; ++j)
        {
            between[i][j] = steps(paths, kGold[j]);
        }
    }
    std::vector<std::array<int, n>> best(1u << n);
    std::vector<std::array<int, n>> previous(1u << n);
    for (auto& row : best)
    {
        row.fill(kUnreachable);
    }
    for (int i = 0; i < n; ++i)
    {
        best[1u << i][i] = fromStart[i];
        previous[1u << i][i] = -1;
    }
    for (unsigned set = 1; set < (1u << n); ++set)
    {
        for (int last = 0; last < n; ++last)
        {
            if ((set & (1u << last)) == 0 || best[set][last] >= kUnreachable)
            {
                continue;
            }
            for (int next = 0; next < n; ++next)
            {
                if ((set & (1u << next)) != 0)
                {
                    continue;
                }
                const unsigned grown = set | (1u << next);
                const int length = best[set][last] + between[last][next];
                if (length < best[grown][next])
                {
                    best[grown][next] = length;
                    previous[grown][next] = last;
                }
            }
        }
    }
    const unsigned all = (1u << n) - 1;
    Route route;
    int last =
        static_cast<int>(std::min_element(best[all].begin(), best[all].end()) - best[all].begin());
    route.length = best[all][last];
    if (route.length >= kUnreachable)
    {
        route.length = -1; // some gold cannot be reached at all
        return route;
    }
    for (unsigned set = all; set != 0 && last >= 0;)
    {
        route.order.insert(route.order.begin(), last);
        const int before = previous[set][last];
        set &= ~(1u << last);
        last = before;
    }
    return route;
}

struct SurfaceDeleter
{
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using LoadedSheet = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

LoadedSheet LoadPicture(const std::string& storedPath)
{
    SDL_Surface* loaded = IMG_Load(NativePath(storedPath).c_str());
    if (loaded == nullptr)
    {
        return nullptr;
    }
    LoadedSheet rgba(SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0));
    SDL_FreeSurface(loaded);
    return rgba;
}

std::uint8_t AlphaAt(const SDL_Surface* s, int x, int y)
{
    return static_cast<const std::uint8_t*>(s->pixels)[y * s->pitch + x * 4 + 3];
}

// Counts the pixels of sheet frame (column, row) whose alpha is at least minimum.
int PixelsAtLeast(const SDL_Surface* sheet, TilePair frame, std::uint8_t minimum)
{
    int count = 0;
    for (int y = 0; y < kCellSize; ++y)
    {
        for (int x = 0; x < kCellSize; ++x)
        {
            if (AlphaAt(sheet, frame.first * kCellSize + x, frame.second * kCellSize + y) >=
                minimum)
            {
                ++count;
            }
        }
    }
    return count;
}

std::string Name(Cell c)
{
    return "(" + std::to_string(c.column) + ", " + std::to_string(c.row) + ")";
}

} // namespace

TEST(LevelFiles, HaveTheLayoutTheGameReads)
{
    const std::string collision = ReadText(kCollisionFile);
    ASSERT_FALSE(collision.empty()) << "run the tests from the repository root";
    std::istringstream lines(collision);
    std::string line;
    int lineCount = 0;
    while (std::getline(lines, line))
    {
        std::istringstream numbers(line);
        int value = 0;
        int count = 0;
        while (numbers >> value)
        {
            EXPECT_TRUE(value == 0 || value == 1)
                << "collision line " << lineCount << " holds " << value;
            ++count;
        }
        EXPECT_TRUE(numbers.eof())
            << "collision line " << lineCount << " has text that is no number";
        EXPECT_EQ(count, kMapColumns) << "collision line " << lineCount;
        ++lineCount;
    }
    EXPECT_EQ(lineCount, kMapRows);
    CollisionGrid grid{};
    std::istringstream in(collision);
    EXPECT_EQ(ReadCollisionGrid(in, grid), kMapCells);

    for (const char* file : {kFloorFile, kWallFile, kObjectFile})
    {
        SCOPED_TRACE(file);
        const std::string text = ReadText(file);
        // One map row per line; every entry, the last of a line too, ends with
        // its blank, so the line break never joins a row number.
        std::istringstream rows(text);
        int rowCount = 0;
        while (std::getline(rows, line))
        {
            ASSERT_FALSE(line.empty()) << "empty line " << rowCount;
            EXPECT_EQ(line.back(), ' ') << "line " << rowCount << " does not end with a blank";
            EXPECT_EQ(std::count(line.begin(), line.end(), ','), kMapColumns)
                << "line " << rowCount;
            ++rowCount;
        }
        EXPECT_EQ(rowCount, kMapRows);
        EXPECT_EQ(text.back(), '\n');
        EXPECT_EQ(LoadPairs(file).size(), static_cast<std::size_t>(kMapCells));
    }
}

TEST(LevelRoute, StartAndGoldAreFreeAndConnected)
{
    const CollisionGrid grid = LoadGrid();
    ASSERT_TRUE(Free(grid, kStart)) << "the start cell is blocked";
    const Paths paths(grid, kStart);
    for (const Cell g : kGold)
    {
        EXPECT_TRUE(Free(grid, g)) << "gold cell " << Name(g) << " is blocked";
        EXPECT_GE(paths.Distance(g), 0) << "gold cell " << Name(g) << " cannot be reached";
    }
}

TEST(LevelRoute, AllGoldCanBeCollectedInTime)
{
    const Route route = ShortestRoute(LoadGrid());
    ASSERT_GE(route.length, 0) << "some gold cannot be reached";
    std::ostringstream order;
    for (const int i : route.order)
    {
        order << ' ' << Name(kGold[i]);
    }
    std::cout << "Shortest route through all gold: " << route.length << " cells, "
              << route.length * 11 << " updates; order:" << order.str() << std::endl;
    EXPECT_EQ(route.order.size(), kGold.size());
    EXPECT_LE(route.length, kLongestRoute) << "too long to win in 90 seconds with effects";
    EXPECT_GE(route.length, kShortestRoute) << "the walls hardly matter";
}

TEST(LevelPictures, EveryCellShowsWhatItIs)
{
    const CollisionGrid grid = LoadGrid();
    const TileList floor = LoadPairs(kFloorFile);
    const TileList wall = LoadPairs(kWallFile);
    const TileList objects = LoadPairs(kObjectFile);
    ASSERT_GE(floor.size(), static_cast<std::size_t>(kMapCells));
    ASSERT_GE(wall.size(), static_cast<std::size_t>(kMapCells));
    ASSERT_GE(objects.size(), static_cast<std::size_t>(kMapCells));
    for (const TileList* layer : {&floor, &wall, &objects})
    {
        for (int k = 0; k < kMapCells; ++k)
        {
            const TilePair p = (*layer)[k];
            ASSERT_TRUE(p.first >= 0 && p.first < kSheetColumns && p.second >= 0 &&
                        p.second < kSheetRows)
                << "cell " << k << " addresses frame " << p.first << "," << p.second
                << " outside its sheet";
        }
    }

    const LoadedSheet floorSheet = LoadPicture("Assets\\Textures\\Tilesets\\final\\floor.png");
    const LoadedSheet wallSheet = LoadPicture("Assets\\Textures\\Tilesets\\final\\wall.png");
    const LoadedSheet objectSheet = LoadPicture("Assets\\Textures\\Tilesets\\final\\objects.png");
    ASSERT_TRUE(floorSheet && wallSheet && objectSheet) << IMG_GetError();
    constexpr int kFramePixels = kCellSize * kCellSize;
    for (int k = 0; k < kMapCells; ++k)
    {
        const Cell c{k % kMapColumns, k / kMapColumns};
        if (Free(grid, c))
        {
            // Free ground is solid floor, and the wall and object layers,
            // which are drawn over the player, leave it uncovered.
            EXPECT_EQ(PixelsAtLeast(floorSheet.get(), floor[k], 255), kFramePixels)
                << "free cell " << Name(c) << " shows no solid floor";
            EXPECT_EQ(PixelsAtLeast(wallSheet.get(), wall[k], 1), 0)
                << "a wall picture covers free cell " << Name(c);
            EXPECT_EQ(PixelsAtLeast(objectSheet.get(), objects[k], 1), 0)
                << "an object covers free cell " << Name(c);
        }
        else
        {
            // A blocked cell shows a wall or something standing in the way.
            const int shown = PixelsAtLeast(wallSheet.get(), wall[k], 255) +
                              PixelsAtLeast(objectSheet.get(), objects[k], 255);
            EXPECT_GE(shown, kFramePixels / 4) << "blocked cell " << Name(c) << " looks open";
        }
    }
}

TEST(Pictures, HaveTheSizesTheGameDraws)
{
    for (const ::Picture& e : ::kPictures)
    {
        const LoadedSheet p = LoadPicture(e.path);
        ASSERT_TRUE(p) << e.path << ": " << IMG_GetError();
        EXPECT_EQ(p->w, e.width) << e.path;
        EXPECT_EQ(p->h, e.height) << e.path;
    }
}

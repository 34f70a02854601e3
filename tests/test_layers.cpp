// The level's layer files as editors on any system write them, and what the
// world draws of them.

#include "tests/support/Captured.h"

#include "graphics/Objects.h"
#include "platform/Files.h"
#include "world/FileManager.h"
#include "world/LayerFile.h"
#include "world/Map.h"

#include <algorithm>
#include <iterator>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace
{
class Layers : public support::Captured
{
protected:
    static void SetUpTestSuite() { FileManager::Instance()->Initialize(); }
};

void Write(const std::string& stored, const std::string& content)
{
    support::WriteFile(NativePath(stored), content);
}
const std::string kFloor = "Assets\\Maps\\floorMap.map";
} // namespace

TEST_F(Layers, LayerEntriesSplitByAnyWhiteSpaceReadAlike)
{
    // Blanks, tabs, CR, LF and CRLF, alone and in mixes, between the entries
    // and at both ends of a file (an editor on any system may write any of
    // them): every layout reads the same cells, and nothing more.
    const std::string separators[] = {" ",    "  ",  "\t",     "\n",       "\r\n",     "\r",
                                      "\n\n", " \n", "\t\r\n", "\r\n\r\n", " \r\n\t ", "\n\r"};
    const TileList pairs{{12, 3}, {-1, -1}, {7, 0}, {0, 18}, {49, 2}};
    const std::vector<std::int32_t> cells{1, 0, -2, 7, 2147483647};
    const auto layout = [&](const auto& values, const auto& entry, std::size_t first, bool ends)
    {
        const std::size_t n = std::size(separators);
        std::string text = ends ? separators[first % n] : "";
        for (std::size_t i = 0; i < values.size(); ++i)
        {
            text += entry(values[i]);
            // Uniform layouts (first < n) repeat one separator; the others mix.
            text +=
                i + 1 < values.size() || ends ? separators[(first + (first < n ? 0 : i)) % n] : "";
        }
        return text;
    };
    Map& map = *Map::Instance();
    for (std::size_t first = 0; first < 2 * std::size(separators); ++first)
    {
        for (const bool ends : {false, true})
        {
            const std::string layer = layout(
                pairs,
                [](const TilePair& p)
                { return std::to_string(p.first) + "," + std::to_string(p.second); },
                first, ends);
            const std::string collision = layout(
                cells, [](std::int32_t v) { return std::to_string(v); }, first, ends);
            SCOPED_TRACE(testing::PrintToString(layer) + " " + testing::PrintToString(collision));
            Write(kFloor, layer);
            Write("Assets\\Maps\\collisionMap.map", collision);
            ASSERT_TRUE(map.LoadMap(kFloorMapKey));
            ASSERT_TRUE(map.LoadMap(kCollisionMapKey));
            EXPECT_EQ(map.m_floorValues, pairs);
            // The level checker counts the cells a file gives, up to the first word.
            std::istringstream text(collision + " wall 1");
            CollisionGrid grid;
            EXPECT_EQ(ReadCollisionGrid(text, grid), std::ssize(cells));
            EXPECT_TRUE(std::equal(cells.begin(), cells.end(), map.m_collisionGrid.begin()));
            EXPECT_EQ(std::count(map.m_collisionGrid.begin() + std::ssize(cells),
                                 map.m_collisionGrid.end(), 0),
                      kMapCells - std::ssize(cells));
            Take();
        }
    }
}

TEST_F(Layers, EachLoadedLayerIsDrawnAndAMissingOneReportedOncePerGame)
{
    Write(kFloor, "4,1 5,2 ");
    Write("Assets\\Maps\\wallMap.map", "6,3 ");
    Map& map = *Map::Instance();
    // The first game has no object layer, the second an empty one.
    for (const std::string line :
         {"Map file couldn't be loaded!\n", "Error! Could not load values from vector.\n"})
    {
        map.Initialize();
        for (int key : {kFloorMapKey, kWallMapKey, kObjectMapKey})
        {
            map.LoadMap(key);
        }
        Take();
        map.Render();
        map.Render();
        EXPECT_EQ(Take(), line);
        // A tile cursor holds the last tile drawn.
        EXPECT_EQ(std::tuple(map.m_floorTiles->m_column, map.m_wallTiles->m_column,
                             map.m_objectTiles->m_column),
                  std::tuple(5, 6, 0));
        Write("Assets\\Maps\\objectMap.map", "");
    }
}

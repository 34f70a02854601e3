// Reading the level's layer files: the pure readers on small texts, and the
// Map's loading with its log lines.
#include "tests/PlayTest.h"

#include "core/Screens.h"
#include "world/FileManager.h"
#include "world/LayerFile.h"

using namespace harness;

namespace
{
TileList Pairs(const std::string& text)
{
    std::istringstream in(text);
    return ReadTilePairs(in);
}

using P = TilePair;
} // namespace

TEST(TilePairs, EntryTextsFollowTheAtoiRule)
{
    EXPECT_EQ(Pairs("12,3 "), (TileList{P{12, 3}}));
    EXPECT_EQ(Pairs(" 7,x "), (TileList{P{7, 0}}));
    EXPECT_EQ(Pairs("-1,-1 "), (TileList{P{-1, -1}}));
    EXPECT_EQ(Pairs("+4,+5 "), (TileList{P{4, 5}}));
    EXPECT_EQ(Pairs("3abc,4z "), (TileList{P{3, 4}}));
    EXPECT_EQ(Pairs("x,y "), (TileList{P{0, 0}}));
    // The row is everything after the first comma: "2,3" reads as 2.
    EXPECT_EQ(Pairs("1,2,3 9,8 "), (TileList{P{1, 2}, P{9, 8}}));
    EXPECT_EQ(Pairs("0,0 49,18 "), (TileList{P{0, 0}, P{49, 18}}));
}

TEST(TilePairs, AnyWhiteSpaceEndsAnEntryAndTheEndAddsNothing)
{
    // A line break right after a row number no longer swallows the next entry.
    EXPECT_EQ(Pairs("5,6\n7,8 "), (TileList{P{5, 6}, P{7, 8}}));
    EXPECT_EQ(Pairs("5,6\r\n7,8\t9,10"), (TileList{P{5, 6}, P{7, 8}, P{9, 10}}));
    // Entries written with their blank, with line breaks after it.
    EXPECT_EQ(Pairs("1,2 \n3,4 \n\n"), (TileList{P{1, 2}, P{3, 4}}));
    EXPECT_EQ(Pairs("1,2 3,4"), (TileList{P{1, 2}, P{3, 4}}));
    EXPECT_EQ(Pairs("  1,2   3,4  "), (TileList{P{1, 2}, P{3, 4}}));
    EXPECT_TRUE(Pairs("").empty());
    EXPECT_TRUE(Pairs(" \n\t\n").empty());
    // A file of 950 entries in the written format gives exactly 950 pairs.
    std::string text;
    for (int k = 0; k < kMapCells; ++k)
    {
        text += std::to_string(k % 7) + "," + std::to_string(k % 5) + (k % 50 == 49 ? " \n" : " ");
    }
    const TileList pairs = Pairs(text);
    ASSERT_EQ(pairs.size(), static_cast<std::size_t>(kMapCells));
    EXPECT_EQ(pairs[949], (P{949 % 7, 949 % 5}));
}

TEST(CollisionGrid, NumbersFillTheGridRowByRow)
{
    std::string text;
    for (int row = 0; row < kMapRows; ++row)
    {
        for (int column = 0; column < kMapColumns; ++column)
        {
            text += std::to_string(row * 100 + column) + (column == 49 ? "\n" : " ");
        }
    }
    text += "777 778\n"; // beyond the grid
    std::istringstream in(text);
    CollisionGrid grid{};
    EXPECT_EQ(ReadCollisionGrid(in, grid), kMapCells);
    EXPECT_EQ(grid[0], 0);
    EXPECT_EQ(grid[5], 5);
    EXPECT_EQ(grid[50], 100);
    EXPECT_EQ(grid[949], 1849);
    int next = 0;
    ASSERT_TRUE(in >> next);
    EXPECT_EQ(next, 777) << "nothing after the 950th number is read";

    // Spread over lines any way, with signs.
    std::istringstream signs("-3\n\n+4\t1");
    EXPECT_EQ(ReadCollisionGrid(signs, grid), 3);
    EXPECT_EQ(grid[0], -3);
    EXPECT_EQ(grid[1], 4);
    EXPECT_EQ(grid[2], 1);
}

TEST(CollisionGrid, ShortOrMalformedFilesLeaveTheRestFree)
{
    CollisionGrid grid{};
    grid.fill(1);
    std::istringstream shortFile("1 1 1\n");
    EXPECT_EQ(ReadCollisionGrid(shortFile, grid), 3);
    EXPECT_EQ(grid[2], 1);
    EXPECT_EQ(grid[3], 0);
    EXPECT_EQ(grid[949], 0);

    grid.fill(1);
    std::istringstream malformed("1 2 wall 1 1\n");
    EXPECT_EQ(ReadCollisionGrid(malformed, grid), 2);
    EXPECT_EQ(grid[1], 2);
    EXPECT_EQ(grid[2], 0);
    EXPECT_EQ(grid[3], 0);

    grid.fill(1);
    std::istringstream empty("");
    EXPECT_EQ(ReadCollisionGrid(empty, grid), 0);
    EXPECT_EQ(grid[0], 0);
}

namespace
{
class LayersTest : public PlayTest
{
protected:
    void SetUp() override
    {
        PlayTest::SetUp();
        FileManager::Instance()->Initialize();
        m_out->Clear();
    }
    std::filesystem::path MapFile(const char* name) const
    {
        return m_dir / "Assets" / "Maps" / name;
    }
};
} // namespace

TEST_F(LayersTest, LoadingLogsTheFileAndReplacesTheLayer)
{
    WriteFile(MapFile("floorMap.map"), "1,2 3,4 5,6 ");
    Map& map = *Map::Instance();
    EXPECT_TRUE(map.LoadMap(kFloorMapKey));
    EXPECT_TRUE(map.m_mapLoaded);
    EXPECT_EQ(map.m_floorValues, (TileList{P{1, 2}, P{3, 4}, P{5, 6}}));
    EXPECT_EQ(m_out->Lines(),
              (std::vector<std::string>{"Map file loaded successfully: Assets\\Maps\\floorMap.map",
                                        "Map file closed: Assets\\Maps\\floorMap.map"}));

    // Loading again replaces the list; an edited file is seen.
    WriteFile(MapFile("floorMap.map"), "9,9 ");
    EXPECT_TRUE(map.LoadMap(kFloorMapKey));
    EXPECT_EQ(map.m_floorValues, (TileList{P{9, 9}}));
    WriteFile(MapFile("floorMap.map"), "");
    EXPECT_TRUE(map.LoadMap(kFloorMapKey));
    EXPECT_TRUE(map.m_floorValues.empty());

    // Each key fills its own layer.
    WriteFile(MapFile("wallMap.map"), "7,7 ");
    WriteFile(MapFile("objectMap.map"), "8,8 8,9 ");
    WriteFile(MapFile("collisionMap.map"), "0 1 2");
    map.m_collisionGrid.fill(1);
    EXPECT_TRUE(map.LoadMap(kWallMapKey));
    EXPECT_TRUE(map.LoadMap(kObjectMapKey));
    EXPECT_TRUE(map.LoadMap(kCollisionMapKey));
    EXPECT_EQ(map.m_wallValues, (TileList{P{7, 7}}));
    EXPECT_EQ(map.m_objectValues, (TileList{P{8, 8}, P{8, 9}}));
    EXPECT_TRUE(map.m_floorValues.empty());
    EXPECT_EQ(map.m_collisionGrid[1], 1);
    EXPECT_EQ(map.m_collisionGrid[2], 2);
    EXPECT_EQ(map.m_collisionGrid[3], 0);
}

TEST_F(LayersTest, MissingFilesAndUnknownKeysAreLogged)
{
    Map& map = *Map::Instance();
    WriteFile(MapFile("floorMap.map"), "1,1 ");
    ASSERT_TRUE(map.LoadMap(kFloorMapKey));
    m_out->Clear();

    EXPECT_FALSE(map.LoadMap(9));
    EXPECT_TRUE(map.m_mapLoaded) << "an unknown key leaves the flag alone";
    EXPECT_FALSE(map.LoadMap(kCollisionMapKey));
    EXPECT_FALSE(map.m_mapLoaded);
    EXPECT_FALSE(map.LoadMap(9));
    EXPECT_FALSE(map.m_mapLoaded);
    EXPECT_FALSE(map.LoadMap(kWallMapKey));
    EXPECT_EQ(map.m_floorValues, (TileList{P{1, 1}})) << "a failed load keeps the old layer";
    EXPECT_EQ(m_out->Lines(),
              (std::vector<std::string>{"Invalid map parameter passed: 9",
                                        "Error opening map file: Assets\\Maps\\collisionMap.map",
                                        "Reason: No such file or directory",
                                        "Invalid map parameter passed: 9",
                                        "Error opening map file: Assets\\Maps\\wallMap.map",
                                        "Reason: No such file or directory"}));
}

TEST_F(LayersTest, MissingLayersAreReportedEveryFrameAndShortOnesDrawWhatTheyHave)
{
    WriteLevel();
    std::filesystem::remove(MapFile("wallMap.map"));
    WriteFile(MapFile("floorMap.map"), "4,1 5,2 6,3 ");
    StartGame();
    m_out->Clear();
    Frames(3);
    EXPECT_EQ(Count(m_out->Lines(), "Error! Could not load values from vector."), 0);
    EXPECT_EQ(Count(m_out->Lines(), "Map file couldn't be loaded!"), 1);
    // The short floor layer stops after its last entry and puts the cursor back.
    const Tileset& floor = *Map::Instance()->m_floorTiles;
    EXPECT_EQ(floor.m_column, 6);
    EXPECT_EQ(floor.m_row, 3);
    EXPECT_EQ(floor.m_x, 0);
    EXPECT_EQ(floor.m_y, 0);
}

TEST_F(LayersTest, WithoutTheObjectLayerNoLayerIsDrawn)
{
    WriteLevel();
    std::filesystem::remove(MapFile("objectMap.map"));
    StartGame();
    EXPECT_FALSE(Map::Instance()->m_mapLoaded);
    EXPECT_EQ(Count(m_out->Lines(), "Error opening map file: Assets\\Maps\\objectMap.map"), 1);
    m_out->Clear();
    Frames(2);
    EXPECT_EQ(Count(m_out->Lines(), "Map file couldn't be loaded!"), 1);
}

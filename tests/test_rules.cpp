// The rules of play, the player and the camera, update by update, with no
// window: the world is built without a renderer and keys are held by pointing
// the input record at an array of our own.

#include "tests/support/Scratch.h"

#include "core/Input.h"
#include "gameplay/Camera.h"
#include "gameplay/Player.h"
#include "gameplay/Rules.h"
#include "graphics/Objects.h"
#include "world/FileManager.h"
#include "world/Level.h"
#include "world/Map.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <initializer_list>

namespace
{
class Rules : public ::testing::Test
{
protected:
    void SetUp() override
    {
        world.m_collisionGrid.fill(0);
        Input::Instance()->m_keys = keys.data();
    }
    static Map& NewWorld()
    {
        FileManager::Instance()->Initialize();
        Map::Instance()->Initialize();
        return *Map::Instance();
    }

    void Updates(int n)
    {
        for (int i = 0; i < n; ++i)
        {
            world.Update();
        }
    }
    void Hold(std::initializer_list<int> held)
    {
        keys.fill(0);
        for (int key : held)
        {
            keys[static_cast<std::size_t>(key)] = 1;
        }
    }
    void PlaceAt(int column, int row)
    {
        hero.m_x = column * kCellSize;
        hero.m_y = row * kCellSize;
    }
    void Wall(int column, int row, int value = 1)
    {
        world.m_collisionGrid[static_cast<std::size_t>(row * kMapColumns + column)] = value;
    }
    // The next piece touched gets this effect.
    static void NextEffect(int effect)
    {
        unsigned seed = 1;
        for (std::srand(seed); std::rand() % kEffectCount != effect; std::srand(++seed))
        {
        }
        std::srand(seed);
    }
    // Stands the player on gold piece i for one update.
    void Pick(std::size_t i, int effect)
    {
        NextEffect(effect);
        PlaceAt(kGoldCells[i].column, kGoldCells[i].row);
        world.Update();
    }
    std::string Scores() const { return support::ReadFile("Assets/bin/scores.bin"); }

    support::ScratchFolder scratch{"rules"};
    support::SilentCout quiet;
    std::array<Uint8, SDL_NUM_SCANCODES> keys{};
    Map& world = NewWorld();
    Player& hero = *world.m_player;
};

// An open cell with open neighbours and no gold around.
constexpr CellSpot kOpen{20, 10};

TEST_F(Rules, AMoveTakesOneCellOfUpdatesAndTheNextStartsRightAfter)
{
    const struct
    {
        int key, dx, dy, facing;
    } rows[] = {{kKeyLeft, -1, 0, kFaceLeft},
                {kKeyRight, 1, 0, kFaceRight},
                {kKeyUp, 0, -1, kFaceUp},
                {kKeyDown, 0, 1, kFaceDown}};
    for (const auto& r : rows)
    {
        SCOPED_TRACE(r.key);
        PlaceAt(kOpen.column, kOpen.row);
        Hold({r.key});
        Updates(kUpdatesPerCell - 1);
        EXPECT_TRUE(hero.m_moving);
        EXPECT_EQ(hero.m_x, kOpen.column * kCellSize + r.dx * (kUpdatesPerCell - 1) * kPlayerSpeed);
        EXPECT_EQ(hero.m_y, kOpen.row * kCellSize + r.dy * (kUpdatesPerCell - 1) * kPlayerSpeed);
        Updates(1);
        EXPECT_FALSE(hero.m_moving);
        EXPECT_EQ(hero.m_x, (kOpen.column + r.dx) * kCellSize);
        EXPECT_EQ(hero.m_y, (kOpen.row + r.dy) * kCellSize);
        EXPECT_EQ(hero.m_sprite.m_row, r.facing);
        EXPECT_EQ(hero.m_sprite.m_column, 1.0f);
        EXPECT_EQ(hero.m_bound.minX, static_cast<float>(hero.m_x));
        EXPECT_EQ(hero.m_bound.maxY, static_cast<float>(hero.m_y + kCellSize));
        Updates(1);
        EXPECT_EQ(hero.m_x, (kOpen.column + r.dx) * kCellSize + r.dx * kPlayerSpeed);
        EXPECT_EQ(hero.m_y, (kOpen.row + r.dy) * kCellSize + r.dy * kPlayerSpeed);
        Hold({});
        Updates(kUpdatesPerCell);
    }
}

TEST_F(Rules, HeldArrowsStartOneMoveByPriorityAndAWallPassesTheTurn)
{
    const struct
    {
        std::initializer_list<int> held;
        int wallDx, wallDy; // a wall beside the start, 0 0 for none
        int dx, dy;
    } rows[] = {
        {{kKeyLeft, kKeyRight, kKeyUp, kKeyDown}, 0, 0, -1, 0},
        {{kKeyRight, kKeyUp, kKeyDown}, 0, 0, 1, 0},
        {{kKeyUp, kKeyDown}, 0, 0, 0, -1},
        {{kKeyLeft, kKeyRight}, -1, 0, 1, 0},
        {{kKeyUp, kKeyDown}, 0, -1, 0, 1},
    };
    for (const auto& r : rows)
    {
        SCOPED_TRACE(testing::Message() << "expected " << r.dx << "," << r.dy);
        world.m_collisionGrid.fill(0);
        if (r.wallDx != 0 || r.wallDy != 0)
        {
            Wall(kOpen.column + r.wallDx, kOpen.row + r.wallDy);
        }
        PlaceAt(kOpen.column, kOpen.row);
        Hold(r.held);
        Updates(1);
        EXPECT_EQ(hero.m_x, kOpen.column * kCellSize + r.dx * kPlayerSpeed);
        EXPECT_EQ(hero.m_y, kOpen.row * kCellSize + r.dy * kPlayerSpeed);
        Hold({});
        Updates(kUpdatesPerCell);
    }
}

TEST_F(Rules, WallsAndTheLevelsEdgesRefuseToStartAMove)
{
    const struct
    {
        int column, row, key;
        int wallColumn, wallRow, wallValue; // -1 for no wall
        bool moves;
    } rows[] = {
        {20, 10, kKeyLeft, 19, 10, 1, false},
        {20, 10, kKeyRight, 21, 10, 1, false},
        {20, 10, kKeyUp, 20, 9, 1, false},
        {20, 10, kKeyDown, 20, 11, 1, false},
        {20, 10, kKeyRight, 21, 10, 2, true},
        {20, 10, kKeyRight, 21, 11, 1, true},
        // At the edges: the cell one index over (the far cell of the row
        // above or below, for the left and right edges) is open and must
        // not count as the neighbour.
        {0, 6, kKeyLeft, -1, -1, 0, false},
        {kMapColumns - 1, 6, kKeyRight, -1, -1, 0, false},
        {10, 0, kKeyUp, -1, -1, 0, false},
        {10, kMapRows - 1, kKeyDown, -1, -1, 0, false},
    };
    for (const auto& r : rows)
    {
        SCOPED_TRACE(testing::Message() << r.column << "," << r.row << " key " << r.key);
        world.m_collisionGrid.fill(0);
        if (r.wallColumn >= 0)
        {
            Wall(r.wallColumn, r.wallRow, r.wallValue);
        }
        PlaceAt(r.column, r.row);
        hero.m_sprite.m_row = kFaceDown;
        Hold({r.key});
        Updates(1);
        EXPECT_EQ(hero.m_moving, r.moves);
        EXPECT_EQ(hero.m_x != r.column * kCellSize || hero.m_y != r.row * kCellSize, r.moves);
        if (!r.moves)
        {
            EXPECT_EQ(hero.m_sprite.m_row, kFaceDown) << "a refused move turns nobody";
        }
        Hold({});
        Updates(kUpdatesPerCell);
    }
}

TEST_F(Rules, TheCameraCentresOnThePlayerInsideTheLevel)
{
    const struct
    {
        int playerX, playerY, cameraX;
    } rows[] = {{0, 0, 0},       {384, 576, 0},  {400, 0, 16},
                {512, 576, 128}, {1184, 0, 800}, {kWorldWidth - kCellSize, 576, 800}};
    for (const auto& r : rows)
    {
        SCOPED_TRACE(r.playerX);
        hero.m_x = r.playerX;
        hero.m_y = r.playerY;
        Updates(1);
        EXPECT_EQ(world.m_camera->x, r.cameraX);
        EXPECT_EQ(world.m_camera->y, 0);
    }
}

TEST_F(Rules, EachGoldEffectSetsItsFlagAndClock)
{
    const struct
    {
        int effect, timeBefore, timeAfter;
        bool hidden, stuck, increased, decreased, lost;
    } rows[] = {
        {kEffectHide, kGameSeconds, kGameSeconds, true, false, false, false, false},
        {kEffectStuck, kGameSeconds, kGameSeconds, false, true, false, false, false},
        {kEffectTimeBonus, kGameSeconds, kGameSeconds + kTimeBonus, false, false, true, false,
         false},
        {kEffectTimePenalty, kGameSeconds, kGameSeconds - kTimePenalty, false, false, false, true,
         false},
        {kEffectTimePenalty, 8, 0, false, false, false, true, true},
    };
    for (const auto& r : rows)
    {
        SCOPED_TRACE(r.effect);
        world.Initialize();
        world.m_timeLeft = r.timeBefore;
        // Beside the first piece: touching it is not yet taking it.
        PlaceAt(kGoldCells[0].column - 1, kGoldCells[0].row);
        Updates(1);
        ASSERT_EQ(g_goldCount, 0);
        NextEffect(r.effect);
        Hold({kKeyRight});
        Updates(1);
        EXPECT_EQ(g_goldCount, 1);
        EXPECT_FALSE(world.m_events[0]->active);
        EXPECT_EQ(world.m_timeLeft, r.timeAfter);
        EXPECT_EQ(!hero.visible, r.hidden);
        EXPECT_EQ(hero.m_stuck, r.stuck);
        EXPECT_EQ(hero.m_timeIncreased, r.increased);
        EXPECT_EQ(hero.m_timeDecreased, r.decreased);
        EXPECT_EQ(world.m_lost, r.lost);
        // The move runs on to the piece's cell, which is counted only once.
        Hold({});
        Updates(kUpdatesPerCell);
        EXPECT_EQ(hero.m_x, kGoldCells[0].column * kCellSize);
        EXPECT_EQ(g_goldCount, 1);
    }
}

TEST_F(Rules, EachEffectEndsAfterItsUpdatesOnOneSharedTimer)
{
    const struct
    {
        bool Player::*flag;
        bool running;
    } rows[] = {{&Player::visible, false},
                {&Player::m_stuck, true},
                {&Player::m_timeIncreased, true},
                {&Player::m_timeDecreased, true}};
    for (const auto& r : rows)
    {
        hero.*r.flag = r.running;
        Updates(kEffectUpdates - 1);
        EXPECT_EQ(hero.*r.flag, r.running);
        Updates(1);
        EXPECT_EQ(hero.*r.flag, !r.running);
    }
    // Hidden, then stuck 100 updates later: the timer rises twice per update,
    // so the stuck player is free after 50 and the hidden one shows 350
    // updates after hiding.
    hero.visible = false;
    Updates(100);
    hero.m_stuck = true;
    Updates(49);
    EXPECT_TRUE(hero.m_stuck);
    Updates(1);
    EXPECT_FALSE(hero.m_stuck);
    Updates(199);
    EXPECT_FALSE(hero.visible);
    Updates(1);
    EXPECT_TRUE(hero.visible);
}

TEST_F(Rules, AStuckPlayerStaysUntilTheEffectEnds)
{
    PlaceAt(kOpen.column, kOpen.row);
    hero.m_stuck = true;
    Hold({kKeyRight});
    Updates(kEffectUpdates);
    EXPECT_EQ(hero.m_x, kOpen.column * kCellSize);
    EXPECT_FALSE(hero.m_moving);
    Updates(1);
    EXPECT_EQ(hero.m_x, kOpen.column * kCellSize + kPlayerSpeed);
}

TEST_F(Rules, TheClockLosesASecondPerSecondOfUpdatesAndStopsAtZero)
{
    Updates(kUpdatesPerSecond - 1);
    EXPECT_EQ(world.m_timeLeft, kGameSeconds);
    Updates(1);
    EXPECT_EQ(world.m_timeLeft, kGameSeconds - 1);
    EXPECT_EQ(world.m_frameCounter, 0);
    Updates((kGameSeconds - 1) * kUpdatesPerSecond - 1);
    EXPECT_EQ(world.m_timeLeft, 1);
    EXPECT_FALSE(world.m_lost);
    Updates(1);
    EXPECT_EQ(world.m_timeLeft, 0);
    EXPECT_TRUE(world.m_lost);
    Updates(2 * kUpdatesPerSecond);
    EXPECT_EQ(world.m_timeLeft, 0);
    EXPECT_TRUE(world.m_lost);
    EXPECT_FALSE(world.m_won);
    EXPECT_EQ(Scores(), "");
}

TEST_F(Rules, TheTenthPieceWinsAndWritesTheScoreOnce)
{
    for (std::size_t i = 0; i + 1 < kGoldCells.size(); ++i)
    {
        Pick(i, kEffectHide);
    }
    EXPECT_FALSE(world.m_won);
    world.m_timeLeft = 37;
    world.m_frameCounter = kUpdatesPerSecond - 1;
    Pick(kGoldCells.size() - 1, kEffectHide);
    EXPECT_EQ(g_goldCount, kGoldToWin);
    EXPECT_TRUE(world.m_won);
    EXPECT_FALSE(world.m_lost);
    // The score counts the seconds left after this update's countdown.
    EXPECT_EQ(hero.m_score, kScorePerSecond * 36);
    Updates(3);
    EXPECT_EQ(hero.m_score, kScorePerSecond * 36);
    EXPECT_EQ(Scores(), support::Records({kScorePerSecond * 36}));
}

TEST_F(Rules, TheTenthPieceWinsEvenWhenTheClockEndsInThatUpdate)
{
    const struct
    {
        int timeLeft, frameCounter, effect;
    } rows[] = {{1, kUpdatesPerSecond - 1, kEffectHide}, {5, 0, kEffectTimePenalty}};
    for (const auto& r : rows)
    {
        SCOPED_TRACE(r.effect);
        world.Initialize();
        for (std::size_t i = 0; i + 1 < kGoldCells.size(); ++i)
        {
            Pick(i, kEffectHide);
        }
        world.m_timeLeft = r.timeLeft;
        world.m_frameCounter = r.frameCounter;
        Pick(kGoldCells.size() - 1, r.effect);
        EXPECT_TRUE(world.m_won);
        EXPECT_FALSE(world.m_lost);
        EXPECT_EQ(world.m_timeLeft, 0);
        Updates(2);
        EXPECT_FALSE(world.m_lost);
    }
    EXPECT_EQ(Scores(), support::Records({0, 0}));
}

TEST_F(Rules, ANewGameStartsFromScratch)
{
    Pick(0, kEffectStuck);
    Pick(1, kEffectTimeBonus);
    hero.visible = false;
    hero.m_timeDecreased = true;
    hero.m_stuck = false;
    PlaceAt(kOpen.column, kOpen.row);
    Hold({kKeyUp});
    Updates(3);
    ASSERT_TRUE(hero.m_moving);
    ASSERT_NE(hero.m_effectTimer, 0);
    world.m_won = world.m_lost = true;
    hero.m_score = 123;
    Hold({});

    world.Initialize();
    EXPECT_EQ(hero.m_x, kStartCell.column * kCellSize);
    EXPECT_EQ(hero.m_y, kStartCell.row * kCellSize);
    EXPECT_FALSE(hero.m_moving || hero.m_moveUp || hero.m_moveDown || hero.m_moveLeft ||
                 hero.m_moveRight);
    EXPECT_EQ(hero.m_sprite.m_row, kFaceDown);
    EXPECT_EQ(hero.m_sprite.m_column, 1.0f);
    EXPECT_TRUE(hero.visible);
    EXPECT_FALSE(hero.m_stuck || hero.m_timeIncreased || hero.m_timeDecreased);
    EXPECT_EQ(hero.m_effectTimer, 0);
    EXPECT_EQ(hero.m_score, 0);
    for (const auto& gold : world.m_events)
    {
        EXPECT_TRUE(gold->active);
    }
    EXPECT_EQ(g_goldCount, 0);
    EXPECT_EQ(world.m_timeLeft, kGameSeconds);
    EXPECT_EQ(world.m_frameCounter, 0);
    EXPECT_FALSE(world.m_won || world.m_lost);
}
} // namespace

// The rules of play, the player and the camera, update by update, with no
// window: keys are held through an array of our own.

#include "tests/support/Scratch.h"

#include "core/Input.h"
#include "gameplay/Camera.h"
#include "gameplay/Player.h"
#include "gameplay/Random.h"
#include "gameplay/Rules.h"
#include "graphics/Objects.h"
#include "world/FileManager.h"
#include "world/Map.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

// The cases count in these constants; this pins them to the published numbers.
static_assert(kUpdatesPerCell == 11 && kEffectUpdates == 200 && kUpdatesPerSecond == 60);
static_assert(kGameSeconds == 90 && kTimeBonus == 5 && kTimePenalty == 10);
static_assert(kScorePerSecond == 10 && kGoldToWin == 10 && kGoldCells.size() == 10);

namespace
{
using Pixels = std::pair<int, int>;

class Rules : public ::testing::Test
{
protected:
    static Map& NewWorld()
    {
        FileManager::Instance()->Initialize();
        Map::Instance()->Initialize();
        return *Map::Instance();
    }
    void SetUp() override { Input::Instance()->m_keys = keys.data(); }

    void Updates(int n)
    {
        for (int i = 0; i < n; ++i)
        {
            world.Update();
        }
    }
    // A new game with the player standing on a cell, holding these keys.
    void StartAt(int column, int row, const std::vector<int>& held = {})
    {
        world.Initialize();
        hero.m_x = column * kCellSize;
        hero.m_y = row * kCellSize;
        keys.fill(0);
        for (int key : held)
        {
            keys[static_cast<std::size_t>(key)] = 1;
        }
    }
    Pixels At() const { return {hero.m_x, hero.m_y}; }
    // Hidden, stuck, time increased, time decreased.
    std::string Effects() const
    {
        return std::string{!hero.visible ? '1' : '0', hero.m_stuck ? '1' : '0',
                           hero.m_timeIncreased ? '1' : '0', hero.m_timeDecreased ? '1' : '0'};
    }
    // Seeds the random draw so that the next piece taken has this effect.
    static void NextEffect(int effect)
    {
        unsigned seed = 0;
        do
        {
            Random::Seed(++seed);
        } while (Random::Next() % kEffectCount != effect);
        Random::Seed(seed);
    }
    // Stands the player on gold piece i for one update.
    void Pick(std::size_t i, int effect)
    {
        NextEffect(effect);
        hero.m_x = kGoldCells[i].column * kCellSize;
        hero.m_y = kGoldCells[i].row * kCellSize;
        world.Update();
    }

    support::ScratchFolder scratch{"rules"};
    support::SilentCout quiet;
    std::array<Uint8, SDL_NUM_SCANCODES> keys{};
    Map& world = NewWorld();
    Player& hero = *world.m_player;
};

TEST_F(Rules, HeldArrowsMoveOneCellByPriorityUnlessAWallOrTheEdgeRefuses)
{
    const int L = kKeyLeft, R = kKeyRight, U = kKeyUp, D = kKeyDown;
    // Player cell (open, no gold near), held keys, a wall cell and its value,
    // the step taken and the way the player faces after it.
    const std::tuple<int, int, std::vector<int>, int, int, int, int, int, int> rows[] = {
        {20, 10, {L, R, U, D}, 0, 0, 0, -1, 0, kFaceLeft},
        {20, 10, {R, U, D}, 0, 0, 0, 1, 0, kFaceRight},
        {20, 10, {U, D}, 0, 0, 0, 0, -1, kFaceUp},
        {20, 10, {L, R}, 19, 10, 1, 1, 0, kFaceRight},
        {20, 10, {U, D}, 20, 9, 1, 0, 1, kFaceDown},
        {20, 10, {R}, 21, 10, 1, 0, 0, kFaceDown},
        {20, 10, {D}, 20, 11, 1, 0, 0, kFaceDown},
        {20, 10, {R}, 21, 10, 2, 1, 0, kFaceRight},
        {20, 10, {R}, 21, 11, 1, 1, 0, kFaceRight},
        // At the edges, with no walls: the cell one index over (for the left
        // and right edges the far cell of the row above or below) is open
        // and must not count as the neighbour.
        {0, 6, {L}, 0, 0, 0, 0, 0, kFaceDown},
        {kMapColumns - 1, 6, {R}, 0, 0, 0, 0, 0, kFaceDown},
        {10, 0, {U}, 0, 0, 0, 0, 0, kFaceDown},
        {10, kMapRows - 1, {D}, 0, 0, 0, 0, 0, kFaceDown},
    };
    for (const auto& [column, row, held, wallColumn, wallRow, value, dx, dy, facing] : rows)
    {
        SCOPED_TRACE(testing::Message() << column << "," << row << " step " << dx << "," << dy);
        world.m_collisionGrid.fill(0);
        world.m_collisionGrid[wallRow * kMapColumns + wallColumn] = value;
        StartAt(column, row, held);
        const Pixels start = At();
        // 3 pixels an update: short of the next cell after 10 updates, standing
        // on it after 11, and on into the next move right after.
        for (const auto& [n, walked] : {std::pair(1, 3), {9, 30}, {1, 32}})
        {
            Updates(n);
            EXPECT_EQ(At(), Pixels(start.first + dx * walked, start.second + dy * walked)) << n;
        }
        EXPECT_EQ(std::pair(hero.m_sprite.m_row, hero.m_sprite.m_column),
                  std::pair(float(facing), 1.0f));
        Updates(1);
        EXPECT_EQ(hero.m_moving, dx != 0 || dy != 0);
    }
}

TEST_F(Rules, TheCameraCentresOnThePlayerInsideTheLevel)
{
    // Player x and y, camera x.
    const std::tuple<int, int, int> rows[] = {{0, 0, 0},       {384, 576, 0},  {400, 0, 16},
                                              {512, 576, 128}, {1184, 0, 800}, {1568, 576, 800}};
    for (const auto& [x, y, cameraX] : rows)
    {
        hero.m_x = x;
        hero.m_y = y;
        Updates(1);
        EXPECT_EQ(Pixels(world.m_camera->x, world.m_camera->y), Pixels(cameraX, 0)) << x;
    }
}

TEST_F(Rules, EachGoldEffectSetsItsFlagAndTheClock)
{
    // Effect, seconds left before and after the pickup, Effects(), lost.
    const std::tuple<int, int, int, const char*, bool> rows[] = {
        {kEffectHide, 90, 90, "1000", false},      {kEffectStuck, 90, 90, "0100", false},
        {kEffectTimeBonus, 90, 95, "0010", false}, {kEffectTimePenalty, 90, 80, "0001", false},
        {kEffectTimePenalty, 8, 0, "0001", true},
    };
    const CellSpot gold = kGoldCells[0];
    for (const auto& [effect, before, after, flags, lost] : rows)
    {
        SCOPED_TRACE(effect);
        // Beside the piece: touching it is not yet taking it; the first step
        // onto it is.
        StartAt(gold.column - 1, gold.row);
        world.m_timeLeft = before;
        Updates(1);
        ASSERT_EQ(g_goldCount, 0);
        NextEffect(effect);
        keys[kKeyRight] = 1;
        Updates(1);
        EXPECT_EQ(std::tuple(g_goldCount, world.m_timeLeft, Effects(), world.m_lost),
                  std::tuple(1, after, std::string(flags), lost));
        // Counted once; a stuck player stays on the piece, the others walk on.
        Updates(kUpdatesPerCell);
        EXPECT_EQ(g_goldCount, 1);
        EXPECT_EQ(hero.m_x, gold.column * kCellSize + (effect == kEffectStuck ? 0 : kPlayerSpeed));
        // The effect ends 200 updates after the pickup.
        Updates(kEffectUpdates - kUpdatesPerCell - 1);
        EXPECT_EQ(Effects(), flags);
        Updates(1);
        EXPECT_EQ(Effects(), "0000");
    }
}

TEST_F(Rules, OverlappingEffectsShareOneTimer)
{
    // Hidden, then stuck 100 updates later: the timer counts twice an update
    // while both run, so the stuck player is free after 50 updates and the
    // hidden one shows 350 updates after hiding.
    hero.visible = false;
    Updates(100);
    hero.m_stuck = true;
    for (const auto& [n, effects] :
         {std::pair(49, "1100"), {1, "1000"}, {199, "1000"}, {1, "0000"}})
    {
        Updates(n);
        EXPECT_EQ(Effects(), effects) << n;
    }
}

TEST_F(Rules, TheClockLosesASecondPerSecondOfUpdatesAndStopsAtZero)
{
    // Updates run, then the seconds left and whether the game is lost.
    const std::tuple<int, int, bool> steps[] = {
        {59, 90, false}, {1, 89, false}, {89 * 60 - 1, 1, false}, {1, 0, true}, {120, 0, true}};
    for (const auto& [n, seconds, lost] : steps)
    {
        Updates(n);
        EXPECT_EQ(std::pair(world.m_timeLeft, world.m_lost), std::pair(seconds, lost)) << n;
    }
    EXPECT_EQ(support::ReadFile("Assets/bin/scores.bin"), "");
}

TEST_F(Rules, TheTenthPieceWinsOnceWithTheSecondsLeftAfterItsUpdate)
{
    // Seconds left and updates into the second before the tenth piece, its
    // effect, seconds left after it. The last two end the clock in the
    // winning update, which stands as a win.
    const std::tuple<int, int, int, int> rows[] = {
        {37, 59, kEffectHide, 36}, {1, 59, kEffectHide, 0}, {5, 0, kEffectTimePenalty, 0}};
    for (const auto& [before, counter, effect, after] : rows)
    {
        SCOPED_TRACE(before);
        world.Initialize();
        for (std::size_t i = 0; i + 1 < kGoldCells.size(); ++i)
        {
            Pick(i, kEffectHide);
        }
        world.m_timeLeft = before;
        world.m_frameCounter = counter;
        Pick(kGoldCells.size() - 1, effect);
        EXPECT_EQ(std::tuple(world.m_won, world.m_lost, world.m_timeLeft, hero.m_score),
                  std::tuple(true, false, after, 10 * after));
        Updates(2);
        EXPECT_TRUE(world.m_won && !world.m_lost);
    }
    // One record per won game.
    EXPECT_EQ(support::ReadFile("Assets/bin/scores.bin"), support::Records({360, 0, 0}));
}

TEST_F(Rules, ANewGameStartsFromScratch)
{
    // A game ended mid-move, a piece taken, every effect running, decided.
    Pick(0, kEffectStuck);
    hero.visible = false;
    hero.m_timeIncreased = hero.m_timeDecreased = true;
    hero.m_moving = hero.m_moveUp = hero.m_moveDown = hero.m_moveLeft = hero.m_moveRight = true;
    hero.m_sprite.m_row = hero.m_sprite.m_column = 3.0f;
    hero.m_effectTimer = hero.m_score = world.m_timeLeft = 5;
    world.m_won = world.m_lost = true;

    world.Initialize();
    EXPECT_EQ(At(), Pixels(kStartCell.column * kCellSize, kStartCell.row * kCellSize));
    EXPECT_FALSE(hero.m_moving || hero.m_moveUp || hero.m_moveDown || hero.m_moveLeft ||
                 hero.m_moveRight);
    EXPECT_EQ(std::pair(hero.m_sprite.m_row, hero.m_sprite.m_column),
              std::pair(float(kFaceDown), 1.0f));
    EXPECT_EQ(std::tuple(Effects(), hero.m_effectTimer, hero.m_score, g_goldCount,
                         world.m_frameCounter, world.m_timeLeft, world.m_won, world.m_lost,
                         world.m_events[0]->active),
              std::tuple("0000", 0, 0, 0, 0, kGameSeconds, false, false, true));
}
} // namespace

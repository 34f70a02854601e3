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

#include <algorithm>
#include <array>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

// The cases below count in these constants; this pins them to the game's
// published numbers.
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
    void Hold(const std::vector<int>& held)
    {
        keys.fill(0);
        for (int key : held)
        {
            keys[static_cast<std::size_t>(key)] = 1;
        }
    }
    // A new game with the player standing on a cell.
    void StartAt(int column, int row)
    {
        world.Initialize();
        hero.m_x = column * kCellSize;
        hero.m_y = row * kCellSize;
    }
    Pixels At() const { return {hero.m_x, hero.m_y}; }
    // Hidden, stuck, time increased, time decreased.
    std::string Effects() const
    {
        return std::string{!hero.visible ? '1' : '0', hero.m_stuck ? '1' : '0',
                           hero.m_timeIncreased ? '1' : '0', hero.m_timeDecreased ? '1' : '0'};
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

// An open cell with no gold around; the collision grid is all open until a
// case puts walls in.
constexpr int kX = 20 * kCellSize;
constexpr int kY = 10 * kCellSize;

TEST_F(Rules, AMoveTakesOneCellOfUpdatesAndTheNextStartsRightAfter)
{
    const std::tuple<int, int, int, int> rows[] = {{kKeyLeft, -1, 0, kFaceLeft},
                                                   {kKeyRight, 1, 0, kFaceRight},
                                                   {kKeyUp, 0, -1, kFaceUp},
                                                   {kKeyDown, 0, 1, kFaceDown}};
    for (const auto& [key, dx, dy, facing] : rows)
    {
        SCOPED_TRACE(key);
        StartAt(20, 10);
        Hold({key});
        Updates(kUpdatesPerCell - 1);
        const int walked = (kUpdatesPerCell - 1) * kPlayerSpeed;
        EXPECT_EQ(At(), Pixels(kX + dx * walked, kY + dy * walked));
        Updates(1);
        EXPECT_FALSE(hero.m_moving);
        EXPECT_EQ(At(), Pixels(kX + dx * kCellSize, kY + dy * kCellSize));
        EXPECT_EQ(hero.m_sprite.m_row, facing);
        EXPECT_EQ(hero.m_sprite.m_column, 1.0f);
        Updates(1);
        const int next = kCellSize + kPlayerSpeed;
        EXPECT_EQ(At(), Pixels(kX + dx * next, kY + dy * next));
    }
}

TEST_F(Rules, HeldArrowsStartOneMoveByPriorityUnlessAWallOrTheEdgeRefusesIt)
{
    const int L = kKeyLeft, R = kKeyRight, U = kKeyUp, D = kKeyDown;
    // Player cell, held keys, a wall cell and its value, the step taken.
    const std::tuple<int, int, std::vector<int>, int, int, int, int, int> rows[] = {
        {20, 10, {L, R, U, D}, 0, 0, 0, -1, 0},
        {20, 10, {R, U, D}, 0, 0, 0, 1, 0},
        {20, 10, {U, D}, 0, 0, 0, 0, -1},
        {20, 10, {L, R}, 19, 10, 1, 1, 0},
        {20, 10, {U, D}, 20, 9, 1, 0, 1},
        {20, 10, {R}, 21, 10, 1, 0, 0},
        {20, 10, {D}, 20, 11, 1, 0, 0},
        {20, 10, {R}, 21, 10, 2, 1, 0},
        {20, 10, {R}, 21, 11, 1, 1, 0},
        // At the edges, with no walls: the cell one index over (for the left
        // and right edges the far cell of the row above or below) is open
        // and must not count as the neighbour.
        {0, 6, {L}, 0, 0, 0, 0, 0},
        {kMapColumns - 1, 6, {R}, 0, 0, 0, 0, 0},
        {10, 0, {U}, 0, 0, 0, 0, 0},
        {10, kMapRows - 1, {D}, 0, 0, 0, 0, 0},
    };
    for (const auto& [column, row, held, wallColumn, wallRow, value, dx, dy] : rows)
    {
        SCOPED_TRACE(testing::Message() << column << "," << row << " step " << dx << "," << dy);
        world.m_collisionGrid.fill(0);
        world.m_collisionGrid[wallRow * kMapColumns + wallColumn] = value;
        StartAt(column, row);
        Hold(held);
        Updates(1);
        EXPECT_EQ(At(), Pixels(column * kCellSize + dx * kPlayerSpeed,
                               row * kCellSize + dy * kPlayerSpeed));
        EXPECT_EQ(hero.m_moving, dx != 0 || dy != 0);
        if (dx == 0 && dy == 0)
        {
            EXPECT_EQ(hero.m_sprite.m_row, kFaceDown) << "a refused move turns nobody";
        }
    }
}

TEST_F(Rules, TheCameraCentresOnThePlayerInsideTheLevel)
{
    // Player x and y, camera x.
    const std::tuple<int, int, int> rows[] = {{0, 0, 0},       {384, 576, 0},  {400, 0, 16},
                                              {512, 576, 128}, {1184, 0, 800}, {1568, 576, 800}};
    for (const auto& [x, y, cameraX] : rows)
    {
        SCOPED_TRACE(x);
        hero.m_x = x;
        hero.m_y = y;
        Updates(1);
        EXPECT_EQ(world.m_camera->x, cameraX);
        EXPECT_EQ(world.m_camera->y, 0);
    }
}

TEST_F(Rules, EachGoldEffectSetsItsPopUpAndTheClock)
{
    // Effect, seconds left before and after the pickup, the effect flags as
    // Effects() spells them, whether the game is lost.
    const std::tuple<int, int, int, const char*, bool> rows[] = {
        {kEffectHide, 90, 90, "1000", false},      {kEffectStuck, 90, 90, "0100", false},
        {kEffectTimeBonus, 90, 95, "0010", false}, {kEffectTimePenalty, 90, 80, "0001", false},
        {kEffectTimePenalty, 8, 0, "0001", true},
    };
    const CellSpot gold = kGoldCells[0];
    for (const auto& [effect, before, after, flags, lost] : rows)
    {
        SCOPED_TRACE(effect);
        // Beside the piece: touching it is not yet taking it.
        StartAt(gold.column - 1, gold.row);
        world.m_timeLeft = before;
        Updates(1);
        ASSERT_EQ(g_goldCount, 0);
        NextEffect(effect);
        Hold({kKeyRight});
        Updates(1);
        EXPECT_EQ(g_goldCount, 1);
        EXPECT_FALSE(world.m_events[0]->active);
        EXPECT_EQ(world.m_timeLeft, after);
        EXPECT_EQ(Effects(), flags);
        EXPECT_EQ(world.m_lost, lost);
        // The move runs on to the piece's cell, which is counted only once.
        Hold({});
        Updates(kUpdatesPerCell);
        EXPECT_EQ(hero.m_x, gold.column * kCellSize);
        EXPECT_EQ(g_goldCount, 1);
    }
}

TEST_F(Rules, EachEffectEndsAfterItsUpdatesOnOneSharedTimer)
{
    for (bool Player::*flag :
         std::initializer_list<bool Player::*>{&Player::visible, &Player::m_stuck,
                                               &Player::m_timeIncreased, &Player::m_timeDecreased})
    {
        hero.*flag = !(hero.*flag);
        const std::string running = Effects();
        Updates(kEffectUpdates - 1);
        EXPECT_EQ(Effects(), running);
        Updates(1);
        EXPECT_EQ(Effects(), "0000");
    }
    // Hidden, then stuck 100 updates later: the timer rises twice per update,
    // so the stuck player is free after 50 and the hidden one shows 350
    // updates after hiding.
    hero.visible = false;
    Updates(100);
    hero.m_stuck = true;
    Updates(49);
    EXPECT_EQ(Effects(), "1100");
    Updates(1);
    EXPECT_EQ(Effects(), "1000");
    Updates(199);
    EXPECT_EQ(Effects(), "1000");
    Updates(1);
    EXPECT_EQ(Effects(), "0000");
}

TEST_F(Rules, AStuckPlayerStaysUntilTheEffectEnds)
{
    StartAt(20, 10);
    hero.m_stuck = true;
    Hold({kKeyRight});
    Updates(kEffectUpdates);
    EXPECT_EQ(At(), Pixels(kX, kY));
    Updates(1);
    EXPECT_EQ(At(), Pixels(kX + kPlayerSpeed, kY));
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
    EXPECT_TRUE(world.m_lost && !world.m_won);
    EXPECT_EQ(support::ReadFile("Assets/bin/scores.bin"), "");
}

TEST_F(Rules, TheTenthPieceWinsOnceWithTheSecondsLeftAfterItsUpdate)
{
    // Seconds left and updates into the second before the tenth piece, its
    // effect, seconds left after it. The last two end the clock in the
    // winning update, which stands as a win.
    const std::tuple<int, int, int, int> rows[] = {{37, kUpdatesPerSecond - 1, kEffectHide, 36},
                                                   {1, kUpdatesPerSecond - 1, kEffectHide, 0},
                                                   {5, 0, kEffectTimePenalty, 0}};
    for (const auto& [before, counter, effect, after] : rows)
    {
        SCOPED_TRACE(before);
        world.Initialize();
        for (std::size_t i = 0; i + 1 < kGoldCells.size(); ++i)
        {
            Pick(i, kEffectHide);
        }
        EXPECT_FALSE(world.m_won);
        world.m_timeLeft = before;
        world.m_frameCounter = counter;
        Pick(kGoldCells.size() - 1, effect);
        EXPECT_EQ(g_goldCount, kGoldToWin);
        EXPECT_TRUE(world.m_won && !world.m_lost);
        EXPECT_EQ(world.m_timeLeft, after);
        EXPECT_EQ(hero.m_score, kScorePerSecond * after);
        Updates(2);
        EXPECT_TRUE(world.m_won && !world.m_lost);
        EXPECT_EQ(hero.m_score, kScorePerSecond * after);
    }
    EXPECT_EQ(support::ReadFile("Assets/bin/scores.bin"),
              support::Records({kScorePerSecond * 36, 0, 0}));
}

TEST_F(Rules, ANewGameStartsFromScratch)
{
    Pick(0, kEffectStuck);
    Pick(1, kEffectTimeBonus);
    hero.visible = false;
    hero.m_timeDecreased = true;
    hero.m_stuck = false;
    hero.m_x = kX;
    hero.m_y = kY;
    Hold({kKeyUp});
    Updates(3);
    ASSERT_TRUE(hero.m_moving && hero.m_effectTimer != 0);
    world.m_won = world.m_lost = true;
    hero.m_score = 123;

    world.Initialize();
    EXPECT_EQ(At(), Pixels(kStartCell.column * kCellSize, kStartCell.row * kCellSize));
    EXPECT_FALSE(hero.m_moving || hero.m_moveUp || hero.m_moveDown || hero.m_moveLeft ||
                 hero.m_moveRight);
    EXPECT_EQ(hero.m_sprite.m_row, kFaceDown);
    EXPECT_EQ(hero.m_sprite.m_column, 1.0f);
    EXPECT_EQ(Effects(), "0000");
    EXPECT_EQ(std::tuple(hero.m_effectTimer, hero.m_score, g_goldCount, world.m_frameCounter),
              std::tuple(0, 0, 0, 0));
    EXPECT_EQ(world.m_timeLeft, kGameSeconds);
    EXPECT_FALSE(world.m_won || world.m_lost);
    EXPECT_TRUE(std::all_of(world.m_events.begin(), world.m_events.end(),
                            [](const auto& gold) { return gold->active; }));
}
} // namespace

// The world and the rules of play, driven one play frame at a time.
#include "tests/PlayTest.h"

#include "core/PlayState.h"
#include "core/Screens.h"

#include <regex>

using namespace harness;

namespace
{
class RulesTest : public PlayTest
{
protected:
    // Gold piece i (0-based, in creation order).
    static Event& Gold(std::size_t i) { return *World().m_events[i]; }
    static bool Moving() { return Hero().m_moving; }
    static int Facing() { return static_cast<int>(Hero().m_sprite.m_row); }
};
} // namespace

TEST_F(RulesTest, AMoveTakesElevenUpdatesAndTheNextStartsAfterLanding)
{
    StartGame();
    Hold(kKeyRight);
    for (int update = 1; update <= 10; ++update)
    {
        Frame();
        ASSERT_EQ(Hero().m_x, 512 + 3 * update) << "update " << update;
        ASSERT_TRUE(Moving());
        // The camera follows pixel by pixel, and never scrolls vertically.
        ASSERT_EQ(World().m_camera->x, Hero().m_x - 384);
        ASSERT_EQ(World().m_camera->y, 0);
    }
    Frame();
    EXPECT_EQ(Hero().m_x, 544);
    EXPECT_FALSE(Moving());
    EXPECT_EQ(Facing(), kFaceRight);
    EXPECT_EQ(Hero().m_sprite.m_column, 1.0f);
    EXPECT_FLOAT_EQ(Hero().m_bound.minX, 544.0f);
    EXPECT_FLOAT_EQ(Hero().m_bound.maxX, 576.0f);
    Frame();
    EXPECT_EQ(Hero().m_x, 547) << "the next move starts in the update after landing";

    // A key pressed while a move runs is ignored, and nothing is queued.
    Release(kKeyRight);
    Hold(kKeyUp);
    Frames(3);
    Release(kKeyUp);
    Frames(20);
    EXPECT_EQ(Hero().m_x, 576);
    EXPECT_EQ(Hero().m_y, 480);
    EXPECT_FALSE(Moving());
}

TEST_F(RulesTest, HeldArrowsRankLeftRightUpDown)
{
    StartGame();
    for (int key : {kKeyLeft, kKeyRight, kKeyUp, kKeyDown})
    {
        Hold(key);
    }
    // Each move goes by the highest-ranked arrow held; then that one is let go.
    struct Move
    {
        int key, x, y, facing;
    };
    for (const Move& m :
         {Move{kKeyLeft, 480, 480, kFaceLeft}, Move{kKeyRight, 512, 480, kFaceRight},
          Move{kKeyUp, 512, 448, kFaceUp}, Move{kKeyDown, 512, 480, kFaceDown}})
    {
        Frames(11);
        EXPECT_EQ(Hero().m_x, m.x) << "moving by key " << m.key;
        EXPECT_EQ(Hero().m_y, m.y) << "moving by key " << m.key;
        EXPECT_EQ(Facing(), m.facing) << "moving by key " << m.key;
        Release(m.key);
    }
}

TEST_F(RulesTest, OnlyTheValueOneBlocksAndOnlyAtTheStartOfAMove)
{
    m_grid[Cell(17, 15)] = 1; // right of the start cell
    m_grid[Cell(15, 15)] = 2; // left of it: any other value is free
    m_grid[Cell(16, 16)] = 1; // below it
    StartGame();
    Hold(kKeyRight);
    Frames(15);
    EXPECT_EQ(Hero().m_x, 512);
    EXPECT_FALSE(Moving());
    Release(kKeyRight);
    Hold(kKeyDown);
    Frames(15);
    EXPECT_EQ(Hero().m_y, 480);
    Release(kKeyDown);
    Hold(kKeyLeft);
    Frames(11);
    EXPECT_EQ(Hero().m_x, 480);
    Release(kKeyLeft);

    // A wall that appears once a move has begun does not stop it.
    Hold(kKeyUp);
    Frame();
    Release(kKeyUp);
    World().m_collisionGrid[Cell(15, 14)] = 1;
    Frames(10);
    EXPECT_EQ(Hero().m_y, 448);
    EXPECT_FALSE(Moving());
}

TEST_F(RulesTest, TheEdgesOfTheLevelHoldThePlayerIn)
{
    StartGame();
    // At every corner, the two arrows that lead out start no move at all, not
    // even one that lands at once: the facing stays down.
    struct Corner
    {
        int x, y, outX, outY;
    };
    for (const Corner& c :
         {Corner{0, 0, kKeyLeft, kKeyUp}, Corner{1568, 0, kKeyRight, kKeyUp},
          Corner{0, 576, kKeyLeft, kKeyDown}, Corner{1568, 576, kKeyRight, kKeyDown}})
    {
        Place(c.x, c.y);
        Hero().m_sprite.m_row = static_cast<float>(kFaceDown);
        for (int key : {c.outX, c.outY})
        {
            Hold(key);
            Frames(3);
            Release(key);
            EXPECT_EQ(Hero().m_x, c.x) << c.x << "," << c.y << " key " << key;
            EXPECT_EQ(Hero().m_y, c.y) << c.x << "," << c.y << " key " << key;
            EXPECT_FALSE(Moving());
            EXPECT_EQ(Facing(), kFaceDown) << c.x << "," << c.y << " key " << key;
        }
    }
    // The last column and the last row are reachable.
    Place(1536, 544);
    Hold(kKeyRight);
    Frames(11);
    Release(kKeyRight);
    Hold(kKeyDown);
    Frames(11);
    EXPECT_EQ(Hero().m_x, 1568);
    EXPECT_EQ(Hero().m_y, 576);
}

TEST_F(RulesTest, TheCameraCentresOnThePlayerInsideTheLevel)
{
    StartGame();
    struct Case
    {
        int playerX, playerY, cameraX;
    };
    for (const Case& c : {Case{512, 480, 128}, Case{0, 0, 0}, Case{384, 576, 0}, Case{416, 32, 32},
                          Case{1184, 288, 800}, Case{1216, 0, 800}, Case{1568, 576, 800}})
    {
        Place(c.playerX, c.playerY);
        Frame();
        EXPECT_EQ(World().m_camera->x, c.cameraX) << "player x " << c.playerX;
        EXPECT_EQ(World().m_camera->y, 0) << "player y " << c.playerY;
    }
}

TEST_F(RulesTest, GoldIsPickedUpOnStrictOverlapOnceWithOneLogLine)
{
    const std::vector<int> outcomes = Outcomes(7, 1);
    StartGame(7);
    // Touching on a side or a corner is not touching the piece at (928, 288).
    Place(896, 288);
    Frame();
    Place(960, 320);
    Frame();
    Place(928, 256);
    Frame();
    EXPECT_EQ(g_goldCount, 0);
    EXPECT_TRUE(Gold(0).active);
    EXPECT_TRUE(Pickups().empty());

    // One step of 3 pixels into its cell is enough, in the same update.
    Place(896, 288);
    Hold(kKeyRight);
    Frame();
    Release(kKeyRight);
    EXPECT_EQ(g_goldCount, 1);
    EXPECT_FALSE(Gold(0).active);
    ASSERT_EQ(Pickups().size(), 1u);
    EXPECT_EQ(Pickups()[0], std::string("899 288") + EffectMessage(outcomes[0]));
    // Standing on the collected piece counts nothing more.
    Frames(30);
    EXPECT_EQ(Hero().m_x, 928);
    EXPECT_EQ(g_goldCount, 1);
    EXPECT_EQ(Pickups().size(), 1u);
}

// Each of the four effects, with a seed whose first draw gives it.
class EffectTest : public RulesTest, public ::testing::WithParamInterface<int>
{
};

TEST_P(EffectTest, TheEffectAppliesAndEndsAfterTwoHundredUpdates)
{
    const int outcome = GetParam();
    const unsigned seed = SeedFor({outcome});
    ASSERT_NE(seed, 0u);
    StartGame(seed);
    // Walk into the piece at (928, 288): the effect arrives during a move.
    Place(896, 288);
    Hold(kKeyRight);
    Frame();
    ASSERT_EQ(Pickups().size(), 1u);
    EXPECT_TRUE(Pickups()[0].ends_with(EffectMessage(outcome)));
    EXPECT_EQ(g_goldCount, 1);
    const int expectedTime[] = {90, 90, 95, 80};
    EXPECT_EQ(World().m_timeLeft, expectedTime[outcome]);
    auto running = [outcome]
    {
        const Player& p = Hero();
        const bool flags[] = {!p.visible, p.m_stuck, p.m_timeIncreased, p.m_timeDecreased};
        return flags[outcome];
    };
    EXPECT_TRUE(running());
    // The display shows the new values from the next update on.
    EXPECT_EQ(World().m_interface->m_goldText.m_text, "Gold: 0");
    EXPECT_EQ(World().m_interface->m_timeText.m_text, "Time: 90");
    Frame();
    EXPECT_EQ(World().m_interface->m_goldText.m_text, "Gold: 1");
    EXPECT_EQ(World().m_interface->m_timeText.m_text,
              "Time: " + std::to_string(expectedTime[outcome]));

    // The move in progress lands even when stuck; holding right on afterwards
    // walks on unless the player is stuck.
    Frames(198);
    EXPECT_TRUE(running()) << "199 updates after the pickup";
    EXPECT_EQ(Hero().m_x, outcome == 1 ? 928 : 896 + 18 * 32 + 2 * 3);
    Frame();
    EXPECT_FALSE(running()) << "200 updates after the pickup";
    if (outcome == 1)
    {
        EXPECT_EQ(Hero().m_x, 928);
        Frame();
        EXPECT_EQ(Hero().m_x, 931) << "the held key takes effect once the effect is over";
    }
    EXPECT_TRUE(Hero().visible);
}

INSTANTIATE_TEST_SUITE_P(AllFour, EffectTest, ::testing::Values(0, 1, 2, 3));

TEST_F(RulesTest, OverlappingEffectsShareOneTimer)
{
    const unsigned seed = SeedFor({0, 1});
    ASSERT_NE(seed, 0u);
    StartGame(seed);
    Place(928, 288); // on a piece: hidden from update 1
    Frame();
    ASSERT_FALSE(Hero().visible);
    Frames(99);
    Place(864, 64); // on another: stuck from update 101
    Frame();
    ASSERT_TRUE(Hero().m_stuck);
    Frames(49);
    EXPECT_TRUE(Hero().m_stuck) << "49 updates of its own";
    Frame();
    EXPECT_FALSE(Hero().m_stuck) << "the stuck effect ends after 50 updates of its own";
    EXPECT_FALSE(Hero().visible);
    Frames(199);
    EXPECT_FALSE(Hero().visible) << "349 updates after it began";
    Frame();
    EXPECT_TRUE(Hero().visible) << "the hide effect ends 350 updates after it began";
}

TEST_F(RulesTest, TwoBonusesLiftTheClockAboveNinety)
{
    const unsigned seed = SeedFor({2, 2});
    ASSERT_NE(seed, 0u);
    StartGame(seed);
    Place(928, 288);
    Frame();
    Place(864, 64);
    Frame();
    EXPECT_EQ(World().m_timeLeft, 100);
    Frame();
    EXPECT_EQ(World().m_interface->m_timeText.m_text, "Time: 100");
}

TEST_F(RulesTest, APenaltyWithTenSecondsLeftLoses)
{
    const unsigned seed = SeedFor({3});
    ASSERT_NE(seed, 0u);
    StartGame(seed);
    Frame();
    World().m_timeLeft = 10;
    Place(928, 288);
    Frame();
    EXPECT_EQ(World().m_timeLeft, 0);
    EXPECT_TRUE(World().m_lost);
    EXPECT_FALSE(World().m_won);
    EXPECT_NE(FrontAs<LoseState>(), nullptr);
}

// The tenth piece collected with its effect and the clock as given: the win
// stands, also when the clock runs out in the same update, and the score (ten
// times the seconds left) is appended once.
struct LastPiece
{
    const char* name;
    int outcome;
    std::int32_t timeLeft;
    std::int32_t frameCounter;
    std::int32_t left; // seconds left after the update
};

void PrintTo(const LastPiece& c, std::ostream* out)
{
    *out << c.name;
}

class LastPieceTest : public RulesTest, public ::testing::WithParamInterface<LastPiece>
{
};

TEST_P(LastPieceTest, WinsAndAppendsTheScoreOnce)
{
    const LastPiece& c = GetParam();
    const unsigned seed = SeedFor({c.outcome});
    ASSERT_NE(seed, 0u);
    StartGame(seed);
    Frame();
    CollectAllBut(1);
    World().m_timeLeft = c.timeLeft;
    World().m_frameCounter = c.frameCounter;
    Place(1376, 64); // on the last piece
    Frame();
    EXPECT_TRUE(World().m_won);
    EXPECT_FALSE(World().m_lost);
    EXPECT_EQ(World().m_timeLeft, c.left);
    EXPECT_EQ(Hero().m_score, 10 * c.left);
    // The display of the winning update still shows nine pieces.
    EXPECT_EQ(World().m_interface->m_goldText.m_text, "Gold: 9");
    EXPECT_EQ(ScoreFile(), Records({10 * c.left}));
    EXPECT_NE(FrontAs<WinState>(), nullptr);
    // Further updates of the finished world change and append nothing.
    for (int i = 0; i < 5; ++i)
    {
        World().Update();
    }
    EXPECT_TRUE(World().m_won);
    EXPECT_FALSE(World().m_lost);
    EXPECT_EQ(ScoreFile().size(), 4u);
    EXPECT_EQ(Count(m_out->Lines(), "Info written to file successfully: Assets\\bin\\scores.bin"),
              1);
}

INSTANTIATE_TEST_SUITE_P(Effects, LastPieceTest,
                         ::testing::Values(LastPiece{"Bonus", 2, 37, 0, 42},
                                           LastPiece{"Penalty", 3, 37, 0, 27},
                                           LastPiece{"HiddenAsTheClockEnds", 0, 1, 59, 0},
                                           LastPiece{"StuckAsTheClockEnds", 1, 1, 59, 0},
                                           LastPiece{"PenaltyTakesTheRest", 3, 10, 0, 0}),
                         [](const ::testing::TestParamInfo<LastPiece>& info)
                         { return std::string(info.param.name); });

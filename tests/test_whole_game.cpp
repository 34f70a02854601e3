// Whole games from the menu to their end, as a player would play them.
#include "tests/PlayTest.h"
#include "tests/Transcripts.h"

#include "core/PlayState.h"
#include "core/Screens.h"
#include "gameplay/MenuState.h"
#include "gameplay/ScoresState.h"

using namespace harness;
using namespace transcript;

namespace
{
using WholeGameTest = PlayTest;
} // namespace

TEST_F(WholeGameTest, AGameWalkedThroughAllTenPiecesIsWonAndItsScoreListed)
{
    if (!std::filesystem::exists(SourceAssets() / "Maps" / "collisionMap.map"))
    {
        GTEST_SKIP() << "the level is not in the repository yet";
    }
    InstallRealAssets();
    m_levelWritten = true;
    Start();
    m_started = true;
    // Effects that leave time for the walk, so the win does not depend on luck.
    const unsigned seed = FavourableSeed(1);
    StartGame(seed);

    RouteWalker walker(RouteThroughGold(World()));
    ASSERT_FALSE(walker.Empty()) << "a piece is out of reach";
    int frames = 0;
    for (; FrontAs<PlayState>() != nullptr && frames < 140 * 60; ++frames)
    {
        walker.Steer(Hero(), m_keys);
        Frame();
    }
    ReleaseAll();
    ASSERT_NE(FrontAs<WinState>(), nullptr) << "after " << frames << " frames";
    EXPECT_EQ(g_goldCount, 10);
    const std::vector<int> outcomes = Outcomes(seed, 10);
    const std::vector<std::string> pickups = Pickups();
    ASSERT_EQ(pickups.size(), 10u);
    for (std::size_t i = 0; i < pickups.size(); ++i)
    {
        EXPECT_TRUE(pickups[i].ends_with(EffectMessage(outcomes[i]))) << pickups[i];
    }
    const int score = 10 * World().m_timeLeft;
    EXPECT_GT(score, 0);
    EXPECT_EQ(Hero().m_score, score);
    EXPECT_EQ(ScoreFile(), Records({score}));

    Hold(kKeyReturn);
    Frame();
    Release(kKeyReturn);
    Frame();
    ASSERT_NE(FrontAs<MenuState>(), nullptr);
    Click(kScoresX, kScoresY);
    const ScoresState* scores = FrontAs<ScoresState>();
    ASSERT_NE(scores, nullptr);
    EXPECT_EQ(scores->m_scoreTexts[0].m_text, "Score: " + std::to_string(score));
    EXPECT_EQ(scores->m_scoreTexts[1].m_text, "");
}

TEST_F(WholeGameTest, AGameLeftAloneCountsDownAndIsLostAfter5400Updates)
{
    m_tileEntries = 1; // drawing the level is not what this is about
    StartGame();
    m_out->Clear();
    const Interface& display = *World().m_interface;
    Frames(59);
    EXPECT_EQ(World().m_timeLeft, 90);
    EXPECT_EQ(World().m_frameCounter, 59);
    Frame();
    EXPECT_EQ(World().m_timeLeft, 89);
    EXPECT_EQ(World().m_frameCounter, 0);
    // The display shows the values from before the update.
    EXPECT_EQ(display.m_timeText.m_text, "Time: 90");
    Frame();
    EXPECT_EQ(display.m_timeText.m_text, "Time: 89");
    EXPECT_EQ(display.m_goldText.m_text, "Gold: 0");
    Frames(60 * 88 - 1);
    EXPECT_EQ(World().m_timeLeft, 1);
    Frames(59);
    EXPECT_EQ(World().m_timeLeft, 1);
    EXPECT_FALSE(World().m_lost);
    ASSERT_NE(FrontAs<PlayState>(), nullptr);
    Frame(); // update 5,400
    EXPECT_EQ(World().m_timeLeft, 0);
    EXPECT_TRUE(World().m_lost);
    EXPECT_FALSE(World().m_won);
    EXPECT_EQ(display.m_timeText.m_text, "Time: 1");
    EXPECT_NE(FrontAs<LoseState>(), nullptr);
    const auto lines = m_out->Lines();
    // One queue-size line per play frame; in the last one the lose screen
    // waits behind the play screen, which then goes.
    EXPECT_EQ(Count(lines, "1"), 5399);
    EXPECT_EQ(Count(lines, "2"), 1);
    EXPECT_LT(Find(lines, "LoseState constructor called..."),
              Find(lines, "PlayState destructor called..."));
    EXPECT_TRUE(Pickups().empty());
    EXPECT_FALSE(std::filesystem::exists(m_dir / "Assets" / "bin" / "scores.bin"));
    Hold(kKeyReturn);
    Frames(2);
    EXPECT_NE(FrontAs<MenuState>(), nullptr);
}

TEST_F(WholeGameTest, ShutdownAfterAGameTearsTheWorldDownInOrder)
{
    StartGame();
    Hold(kKeyRight);
    Frames(5);
    Hold(kKeyEscape);
    Frame();
    while (Step())
    {
    }
    ASSERT_TRUE(TheGame().m_states.empty());
    m_out->Clear();
    TheGame().Shutdown();
    const auto lines = m_out->Lines();

    const std::string deleting = "Implementing deletion of objects from container...";
    Lines expected = Block("Map shut down function called...");
    expected.push_back(deleting);
    for (const char* tag : {"Floors", "Walls", "Objects"})
    {
        expected += ObjectDestruction("Tileset", tag);
    }
    expected += Cleared(3);
    expected.push_back(deleting); // the gold says nothing
    expected += Cleared(10);
    expected.push_back(deleting);
    for (const char* kind : {"Stuck", "Invisible", "Increase", "Decrease"})
    {
        expected += ObjectDestruction("TextBox", std::string("TextBox_") + kind);
    }
    expected += Cleared(4);
    expected += ObjectDestruction("Player", "Player");
    expected += {"Interface destructor called...", "Interface destructor completed successfully.",
                 "Camera destructor called...", "Camera destructor completed successfully."};
    expected += Block("Map shut down successfully.");

    const int begin = Find(lines, "Map shut down function called...") - 1;
    ASSERT_GE(begin, 0);
    const Lines teardown(lines.begin() + begin,
                         lines.begin() + std::min<std::ptrdiff_t>(
                                             begin + static_cast<std::ptrdiff_t>(expected.size()),
                                             static_cast<std::ptrdiff_t>(lines.size())));
    EXPECT_EQ(teardown, expected);
    EXPECT_LT(Find(lines, "FileManager shut down successfully."), begin);
    EXPECT_GT(Find(lines, "Game shut down successfully."), begin);
}

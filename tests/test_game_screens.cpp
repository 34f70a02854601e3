// The screens around a game: play, pause, win, lose, guide and scores, and
// how they hand over to each other.
#include "tests/PlayTest.h"
#include "tests/Transcripts.h"

#include "core/PlayState.h"
#include "core/Screens.h"
#include "gameplay/MenuState.h"
#include "gameplay/ScoresState.h"
#include "world/FileManager.h"

using namespace harness;
using namespace transcript;

namespace
{
class ScreensTest : public PlayTest
{
protected:
    int Line(const std::string& text, int from = 0) const
    {
        return Find(m_out->Lines(), text, from);
    }
    bool Logged(const std::string& text) const { return Line(text) >= 0; }

    void Pause()
    {
        Hold(kKeyP);
        Frame();
        Release(kKeyP);
        ASSERT_NE(FrontAs<PauseState>(), nullptr);
    }

    // The play screen's next update collects the last piece.
    static void SetUpWin()
    {
        CollectAllBut(1);
        Place(1376, 64);
    }
    // The play screen's next update runs out of time.
    static void SetUpLoss()
    {
        World().m_timeLeft = 1;
        World().m_frameCounter = 59;
    }

    bool Ended() const { return TheGame().m_quit && TheGame().m_states.empty(); }
    // Runs passes until the program has ended (or a frame ran).
    void Finish()
    {
        while (Step())
        {
        }
    }
};

Lines PlayDestroyed()
{
    Lines lines = Block("PlayState destructor called...");
    return lines += Block("PlayState destructor completed successfully.");
}
} // namespace

TEST_F(ScreensTest, PauseFreezesTheGameAndReturnResumesIt)
{
    StartGame();
    Frames(5);
    Pause();
    // The frame in which P was held was still played.
    EXPECT_EQ(World().m_frameCounter, 6);
    GameState* play = TheGame().m_states.back().get();
    EXPECT_NE(dynamic_cast<PlayState*>(play), nullptr);
    EXPECT_FALSE(play->m_running);
    EXPECT_TRUE(play->m_alive);
    m_out->Clear();
    Frames(120);
    EXPECT_EQ(World().m_frameCounter, 6);
    EXPECT_EQ(World().m_timeLeft, 90);
    EXPECT_EQ(Count(m_out->Lines(), "2"), 120) << "pause and play are queued";

    Hold(kKeyReturn);
    Frame();
    Release(kKeyReturn);
    const auto lines = m_out->Lines();
    const int closing = Find(lines, "PauseState destructor completed successfully.");
    ASSERT_TRUE(ContainsBlock(lines, Block("PauseState destructor called...")));
    ASSERT_GT(closing, 0);
    EXPECT_EQ(lines[static_cast<std::size_t>(closing) - 1], kSep);
    EXPECT_LT(Line("Background destructor called..."), closing);
    EXPECT_EQ(FrontAs<PlayState>(), play);
    EXPECT_TRUE(play->m_running);
    Frame();
    EXPECT_EQ(World().m_frameCounter, 7) << "the game goes on where it stopped";

    // Return and P together: the game resumes and pauses again next frame.
    Pause();
    Hold(kKeyReturn);
    Hold(kKeyP);
    Frame();
    EXPECT_EQ(FrontAs<PlayState>(), play);
    Release(kKeyReturn);
    Frame();
    EXPECT_EQ(World().m_frameCounter, 9);
    EXPECT_NE(FrontAs<PauseState>(), nullptr);
}

// Escape or closing the window: 0 on the play screen, 1 on the pause screen.
class QuitTest : public ScreensTest, public ::testing::WithParamInterface<std::tuple<int, bool>>
{
};

TEST_P(QuitTest, EscapeOrCloseEndsTheProgramFromPlayOrPause)
{
    const auto [screen, close] = GetParam();
    StartGame();
    Frame();
    if (screen == 1)
    {
        Pause();
    }
    m_out->Clear();
    if (close)
    {
        PushQuit();
    }
    else
    {
        Hold(kKeyEscape);
    }
    Frame();
    Finish();
    EXPECT_TRUE(Ended());
    const auto lines = m_out->Lines();
    EXPECT_TRUE(ContainsBlock(lines, PlayDestroyed()));
    if (screen == 1)
    {
        EXPECT_LT(Line("PauseState destructor called..."), Line("PlayState destructor called..."));
        EXPECT_EQ(World().m_frameCounter, 2) << "the paused game was not updated";
    }
    EXPECT_FALSE(Logged("MenuState constructor called..."));
    EXPECT_FALSE(Logged("Map shut down function called..."));
}

INSTANTIATE_TEST_SUITE_P(PlayOrPause, QuitTest,
                         ::testing::Combine(::testing::Values(0, 1), ::testing::Bool()));

TEST_F(ScreensTest, PWithEscapeDestroysThePauseUnseenAndEnds)
{
    StartGame();
    Frame();
    m_out->Clear();
    Hold(kKeyP);
    Hold(kKeyEscape);
    Frame();
    ASSERT_EQ(TheGame().m_states.size(), 1u);
    EXPECT_NE(FrontAs<PlayState>(), nullptr);
    EXPECT_LT(Line("PauseState constructor called..."), Line("PauseState destructor called..."));
    EXPECT_FALSE(Logged("PlayState destructor called..."));
    EXPECT_FALSE(Step()) << "the play screen is removed without another frame";
    EXPECT_TRUE(Ended());
    EXPECT_LT(Line("PauseState destructor called..."), Line("PlayState destructor called..."));
    EXPECT_EQ(Count(m_out->Lines(), "2"), 1) << "one frame ran, with pause and play queued";
}

TEST_F(ScreensTest, PWithAWinShowsTheWinScreen)
{
    StartGame();
    Frame();
    SetUpWin();
    m_out->Clear();
    Hold(kKeyP);
    Frame();
    Release(kKeyP);
    EXPECT_TRUE(World().m_won);
    Frame();
    EXPECT_NE(FrontAs<WinState>(), nullptr);
    EXPECT_EQ(TheGame().m_states.size(), 1u);
    const int pauseBuilt = Line("PauseState constructor called...");
    const int winBuilt = Line("WinState constructor called...");
    const int pauseGone = Line("PauseState destructor called...");
    const int playGone = Line("PlayState destructor called...");
    EXPECT_GE(pauseBuilt, 0);
    EXPECT_LT(pauseBuilt, winBuilt);
    EXPECT_LT(winBuilt, pauseGone);
    EXPECT_LT(pauseGone, playGone);
}

// The end of a game (win or loss) and the key pressed on its screen.
class AfterGameTest : public ScreensTest,
                      public ::testing::WithParamInterface<std::tuple<bool, int>>
{
};

TEST_P(AfterGameTest, ReturnBuildsOneNewMenuAndEscapeEnds)
{
    const auto [won, key] = GetParam();
    const std::string name = won ? "WinState" : "LoseState";
    StartGame();
    Frame();
    won ? SetUpWin() : SetUpLoss();
    m_out->Clear();
    Frame();
    EXPECT_TRUE(ContainsBlock(m_out->Lines(), PlayDestroyed()));
    EXPECT_EQ(TheGame().m_states.size(), 1u);
    Frames(3); // the screen waits for a key
    ASSERT_TRUE(Front()->m_running);
    EXPECT_EQ(Front(), won ? static_cast<GameState*>(FrontAs<WinState>()) : FrontAs<LoseState>());
    Hold(key);
    Frame();
    Release(key);
    EXPECT_TRUE(ContainsBlock(m_out->Lines(), Block(name + " destructor called...")));
    if (key == kKeyReturn)
    {
        Frame();
        EXPECT_EQ(Count(m_out->Lines(), "MenuState constructor called..."), 1);
        EXPECT_LT(Line("MenuState constructor called..."), Line(name + " destructor called..."));
        EXPECT_NE(FrontAs<MenuState>(), nullptr);
        EXPECT_EQ(TheGame().m_states.size(), 1u);
    }
    else
    {
        Finish();
        EXPECT_TRUE(Ended());
        EXPECT_FALSE(Logged("MenuState constructor called..."));
    }
}

INSTANTIATE_TEST_SUITE_P(WinOrLoss, AfterGameTest,
                         ::testing::Combine(::testing::Bool(),
                                            ::testing::Values(kKeyReturn, kKeyEscape)));

TEST_F(ScreensTest, SpaceOnPauseLeavesForANewMenuAndTheWorldStays)
{
    StartGame();
    Frame();
    Pause();
    m_out->Clear();
    Hold(kKeySpace);
    EXPECT_TRUE(Step()) << "the pause screen's last frame";
    Release(kKeySpace);
    EXPECT_LT(Line("MenuState constructor initialized successfully..."),
              Line("PauseState destructor called..."));
    EXPECT_FALSE(Logged("PlayState destructor called..."));
    EXPECT_FALSE(Step()) << "the next pass removes the play screen";
    EXPECT_TRUE(ContainsBlock(m_out->Lines(), PlayDestroyed()));
    EXPECT_TRUE(Step()) << "and then the menu runs";
    EXPECT_NE(FrontAs<MenuState>(), nullptr);
    EXPECT_EQ(TheGame().m_states.size(), 1u);
    EXPECT_FALSE(Logged("Map shut down function called..."));
    EXPECT_NE(World().m_player, nullptr);
}

TEST_F(ScreensTest, ASecondGameReusesTheWorldReadsTheLevelAgainAndStartsStill)
{
    const unsigned seed = SeedFor({0});
    ASSERT_NE(seed, 0u);
    m_grid[Cell(17, 15)] = 1; // a wall right of the start
    WriteLevel();
    StartGame(seed);
    ASSERT_EQ(World().m_floorValues.size(), static_cast<std::size_t>(kMapCells));
    ASSERT_EQ(World().m_collisionGrid[Cell(17, 15)], 1);
    // Leave in the middle of a move, hidden by the piece just collected.
    Place(928, 288);
    Hold(kKeyLeft);
    Frames(2);
    Release(kKeyLeft);
    ASSERT_EQ(g_goldCount, 1);
    ASSERT_TRUE(Hero().m_moving);
    ASSERT_FALSE(Hero().visible);
    ASSERT_EQ(Hero().m_effectTimer, 1);
    Player* player = World().m_player.get();

    // Edit the level between games, then leave for the menu and play again.
    WriteFile(m_dir / "Assets" / "Maps" / "floorMap.map", "2,2 3,3 ");
    WriteFile(m_dir / "Assets" / "Maps" / "collisionMap.map", "0 0 1\n");
    PauseToMenu();
    m_out->Clear();
    StartGame(seed);
    const auto lines = m_out->Lines();
    const int begin = Find(lines, "Map Initialize function called...");
    const int end = Find(lines, "Map Initialized successfully...");
    ASSERT_GE(begin, 0);
    Lines expected{"Map Initialize function called...", kSep};
    for (const char* counted : {"m_tiles: 3", "m_events: 10", "m_texts: 4"})
    {
        expected.push_back(std::string("Number of objects currently in container ") + counted);
    }
    expected.push_back(kSep);
    EXPECT_EQ(Lines(lines.begin() + begin, lines.begin() + end), expected);
    EXPECT_EQ(World().m_player.get(), player);
    EXPECT_EQ(World().m_events.size(), 10u);
    for (const auto& gold : World().m_events)
    {
        EXPECT_TRUE(gold->active);
    }
    EXPECT_EQ(g_goldCount, 0);
    EXPECT_EQ(World().m_floorValues, (TileList{{2, 2}, {3, 3}}));
    EXPECT_EQ(World().m_wallValues.size(), static_cast<std::size_t>(kMapCells));
    EXPECT_EQ(World().m_collisionGrid[2], 1);
    EXPECT_EQ(World().m_collisionGrid[Cell(17, 15)], 0);
    // Standing at the start, facing down, with no move or effect left over.
    EXPECT_FALSE(Hero().m_moving);
    EXPECT_FALSE(Hero().m_moveLeft);
    EXPECT_EQ(Hero().m_target, 0);
    EXPECT_EQ(Hero().m_effectTimer, 0);
    EXPECT_TRUE(Hero().visible);
    EXPECT_EQ(static_cast<int>(Hero().m_sprite.m_row), kFaceDown);
    EXPECT_EQ(Hero().m_sprite.m_column, 1.0f);
    Frames(20);
    EXPECT_EQ(Hero().m_x, 512);
    EXPECT_EQ(Hero().m_y, 480);
    EXPECT_EQ(World().m_timeLeft, 90);
    EXPECT_EQ(World().m_interface->m_timeText.m_text, "Time: 90");
    EXPECT_EQ(World().m_interface->m_goldText.m_text, "Gold: 0");
    Hold(kKeyRight);
    Frames(11);
    EXPECT_EQ(Hero().m_x, 544) << "the wall of the first game is gone";
}

TEST_F(ScreensTest, ScoresOverTheMenuReadTheFileOnceReturnAndEscape)
{
    const std::filesystem::path file = m_dir / "Assets" / "bin" / "scores.bin";
    WriteFile(file, Records({370}));
    Launch();
    Frame();
    GameState* menu = Front();
    Click(kScoresX, kScoresY);
    ASSERT_EQ(TheGame().m_states.size(), 2u);
    EXPECT_NE(FrontAs<ScoresState>(), nullptr);
    EXPECT_FALSE(menu->m_running);
    EXPECT_TRUE(menu->m_alive);
    Frames(2);
    Hold(kKeyReturn);
    Frame();
    Release(kKeyReturn);
    Frame();
    EXPECT_EQ(Front(), menu);
    EXPECT_TRUE(menu->m_running);
    EXPECT_EQ(TheGame().m_states.size(), 1u);

    // A record added since is not shown: the file is read once per run.
    WriteFile(file, Records({370, 420}));
    Click(kScoresX, kScoresY);
    const ScoresState* scores = FrontAs<ScoresState>();
    ASSERT_NE(scores, nullptr);
    EXPECT_EQ(scores->m_scoreTexts[0].m_text, "Score: 370");
    EXPECT_EQ(scores->m_scoreTexts[1].m_text, "");
    EXPECT_EQ(Count(m_out->Lines(), "Info read from file successfully: Assets\\bin\\scores.bin"),
              1);
    EXPECT_EQ(Count(m_out->Lines(), "ScoreState Initialize function called..."), 2);

    Frame();
    m_out->Clear();
    Hold(kKeyEscape);
    Frame();
    Finish();
    EXPECT_TRUE(Ended());
    EXPECT_LT(Line("Background destructor called..."), Line("MenuState destructor called..."));
}

struct ScoresCase
{
    const char* name;
    bool file;
    std::string bytes;
    std::vector<std::string> lines; // the texts of the first lines; the others of 5 are empty
    std::vector<std::int32_t> list;
};

void PrintTo(const ScoresCase& c, std::ostream* os)
{
    *os << c.name;
}

class ScoresTest : public ScreensTest, public ::testing::WithParamInterface<ScoresCase>
{
};

TEST_P(ScoresTest, TheScreenShowsTheFirstFourRecordsInFileOrder)
{
    const ScoresCase& c = GetParam();
    if (c.file)
    {
        WriteFile(m_dir / "Assets" / "bin" / "scores.bin", c.bytes);
    }
    Launch();
    Frame();
    Click(kScoresX, kScoresY);
    const ScoresState* scores = FrontAs<ScoresState>();
    ASSERT_NE(scores, nullptr);
    for (std::size_t i = 0; i < 5; ++i)
    {
        EXPECT_EQ(scores->m_scoreTexts[i].m_text, i < c.lines.size() ? c.lines[i] : "")
            << "line " << i;
    }
    EXPECT_EQ(FileManager::Instance()->GetScores(), c.list);
    EXPECT_EQ(Logged("ERROR! Couldn't open binary file:Assets\\bin\\scores.bin"), !c.file);
    EXPECT_EQ(Count(m_out->Lines(), "Info read from file successfully: Assets\\bin\\scores.bin"),
              c.file ? 1 : 0);
    Frames(2); // it draws without trouble
    EXPECT_EQ(Front(), scores);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ScoresTest,
    ::testing::Values(ScoresCase{"NoFile", false, "", {"NO SCORES"}, {}},
                      ScoresCase{"OneRecord", true, Records({370}), {"Score: 370"}, {370, 0, 0, 0}},
                      ScoresCase{"SixRecords",
                                 true,
                                 Records({150, 200, 30, 4000, 50, 60}),
                                 {"Score: 150", "Score: 200", "Score: 30", "Score: 4000"},
                                 {150, 200, 30, 4000}},
                      ScoresCase{"Negative",
                                 true,
                                 Records({-7, 2147483647}),
                                 {"Score: -7", "Score: 2147483647"},
                                 {-7, 2147483647, 0, 0}},
                      ScoresCase{"Empty", true, "", {}, {0, 0, 0, 0}},
                      // An incomplete last record is ignored.
                      ScoresCase{"ShortLastRecord",
                                 true,
                                 Records({150, 200}) + "\x01\x02",
                                 {"Score: 150", "Score: 200"},
                                 {150, 200, 0, 0}},
                      ScoresCase{"ShorterThanARecord", true, "\x05", {}, {0, 0, 0, 0}}),
    [](const ::testing::TestParamInfo<ScoresCase>& info) { return info.param.name; });

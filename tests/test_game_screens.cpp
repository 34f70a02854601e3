// The screens around a game: play, pause, win, lose, guide and scores, and
// how they hand over to each other.
#include "tests/PlayTest.h"

#include "core/PlayState.h"
#include "core/Screens.h"
#include "gameplay/MenuState.h"
#include "gameplay/ScoresState.h"
#include "world/FileManager.h"

using namespace harness;

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

const std::vector<std::string> kPauseDestroyedOpening = {kSep, "PauseState destructor called...",
                                                         kSep};
const std::vector<std::string> kPlayDestroyed = {kSep,
                                                 "PlayState destructor called...",
                                                 kSep,
                                                 kSep,
                                                 "PlayState destructor completed successfully.",
                                                 kSep};
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
    ASSERT_TRUE(ContainsBlock(lines, kPauseDestroyedOpening));
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
    EXPECT_TRUE(ContainsBlock(lines, kPlayDestroyed));
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
    EXPECT_TRUE(ContainsBlock(m_out->Lines(), kPlayDestroyed));
    EXPECT_EQ(TheGame().m_states.size(), 1u);
    Frames(3); // the screen waits for a key
    ASSERT_TRUE(Front()->m_running);
    EXPECT_EQ(Front(), won ? static_cast<GameState*>(FrontAs<WinState>()) : FrontAs<LoseState>());
    Hold(key);
    Frame();
    Release(key);
    EXPECT_TRUE(ContainsBlock(m_out->Lines(), {kSep, name + " destructor called...", kSep}));
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
    EXPECT_TRUE(ContainsBlock(m_out->Lines(), kPlayDestroyed));
    EXPECT_TRUE(Step()) << "and then the menu runs";
    EXPECT_NE(FrontAs<MenuState>(), nullptr);
    EXPECT_EQ(TheGame().m_states.size(), 1u);
    EXPECT_FALSE(Logged("Map shut down function called..."));
    EXPECT_NE(World().m_player, nullptr);
}

TEST_F(ScreensTest, ASecondGameReusesTheWorld)
{
    StartGame();
    Place(928, 288); // on a piece
    Hold(kKeyDown);
    Frames(4);
    Release(kKeyDown);
    ASSERT_EQ(g_goldCount, 1);
    Player* player = World().m_player.get();
    Pause();
    Hold(kKeySpace);
    Frames(2);
    Release(kKeySpace);
    m_out->Clear();
    StartGame();
    const auto lines = m_out->Lines();
    const int begin = Find(lines, "Map Initialize function called...");
    const int end = Find(lines, "Map Initialized successfully...");
    ASSERT_GE(begin, 0);
    const std::vector<std::string> inside(lines.begin() + begin, lines.begin() + end);
    EXPECT_EQ(inside, (std::vector<std::string>{
                          "Map Initialize function called...", kSep,
                          "Number of objects currently in container m_tiles: 3",
                          "Number of objects currently in container m_events: 10",
                          "Number of objects currently in container m_texts: 4", kSep}));
    EXPECT_EQ(World().m_player.get(), player);
    EXPECT_EQ(World().m_events.size(), 10u);
    for (const auto& gold : World().m_events)
    {
        EXPECT_TRUE(gold->active);
    }
    EXPECT_EQ(g_goldCount, 0);
    EXPECT_EQ(Hero().m_x, 512);
    EXPECT_EQ(Hero().m_y, 480);
    EXPECT_EQ(World().m_timeLeft, 90);
    Frame();
    EXPECT_EQ(World().m_interface->m_timeText.m_text, "Time: 90");
    EXPECT_EQ(World().m_interface->m_goldText.m_text, "Gold: 0");
}

// The guide (false) or the scores screen (true) over the menu.
class OverMenuTest : public ScreensTest, public ::testing::WithParamInterface<bool>
{
};

TEST_P(OverMenuTest, ReturnResumesTheMenuAndEscapeEndsBoth)
{
    const bool scores = GetParam();
    const int x = scores ? kScoresX : kGuideX;
    const int y = scores ? kScoresY : kGuideY;
    Launch();
    Frame();
    GameState* menu = Front();
    Click(x, y);
    ASSERT_EQ(TheGame().m_states.size(), 2u);
    GameState* screen = Front();
    EXPECT_NE(screen, menu);
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

    Click(x, y);
    Frame();
    m_out->Clear();
    Hold(kKeyEscape);
    Frame();
    Finish();
    EXPECT_TRUE(Ended());
    EXPECT_LT(Line("Background destructor called..."), Line("MenuState destructor called..."));
    EXPECT_FALSE(Logged("GuideState destructor called..."));
}

INSTANTIATE_TEST_SUITE_P(GuideOrScores, OverMenuTest, ::testing::Bool());

struct ScoresCase
{
    const char* name;
    bool file;
    std::string bytes;
    std::vector<std::string> lines; // the texts of lines 0 to 4
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
        EXPECT_EQ(scores->m_scoreTexts[i].m_text, c.lines[i]) << "line " << i;
    }
    EXPECT_EQ(FileManager::Instance()->GetScores(), c.list);
    EXPECT_EQ(Logged("ERROR! Couldn't open binary file:Assets\\bin\\scores.bin"), !c.file);
    Frames(2); // it draws without trouble
    EXPECT_EQ(Front(), scores);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ScoresTest,
    ::testing::Values(
        ScoresCase{"NoFile", false, "", {"NO SCORES", "", "", "", ""}, {}},
        ScoresCase{
            "OneRecord", true, Records({370}), {"Score: 370", "", "", "", ""}, {370, 0, 0, 0}},
        ScoresCase{"SixRecords",
                   true,
                   Records({150, 200, 30, 4000, 50, 60}),
                   {"Score: 150", "Score: 200", "Score: 30", "Score: 4000", ""},
                   {150, 200, 30, 4000}},
        ScoresCase{"Empty", true, "", {"", "", "", "", ""}, {0, 0, 0, 0}},
        ScoresCase{"ShortLastRecord",
                   true,
                   Records({150}) + "\x01\x02",
                   {"Score: 150", "", "", "", ""},
                   {150, 0, 0, 0}}),
    [](const ::testing::TestParamInfo<ScoresCase>& info) { return info.param.name; });

TEST_F(ScreensTest, TheScoreFileIsReadOncePerRun)
{
    WriteFile(m_dir / "Assets" / "bin" / "scores.bin", Records({370}));
    Launch();
    Frame();
    Click(kScoresX, kScoresY);
    Hold(kKeyReturn);
    Frame();
    Release(kKeyReturn);
    Frame();
    WriteFile(m_dir / "Assets" / "bin" / "scores.bin", Records({370, 420}));
    Click(kScoresX, kScoresY);
    const ScoresState* scores = FrontAs<ScoresState>();
    ASSERT_NE(scores, nullptr);
    EXPECT_EQ(scores->m_scoreTexts[0].m_text, "Score: 370");
    EXPECT_EQ(scores->m_scoreTexts[1].m_text, "");
    EXPECT_EQ(Count(m_out->Lines(), "Info read from file successfully: Assets\\bin\\scores.bin"),
              1);
    EXPECT_EQ(Count(m_out->Lines(), "ScoreState Initialize function called..."), 2);
}

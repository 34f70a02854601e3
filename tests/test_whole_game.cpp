// Whole games from the menu to their end, as a player would play them.
#include "tests/PlayTest.h"

#include "core/PlayState.h"
#include "core/Screens.h"
#include "gameplay/MenuState.h"
#include "gameplay/ScoresState.h"

#include <algorithm>
#include <array>
#include <deque>
#include <optional>

using namespace harness;

namespace
{
class WholeGameTest : public PlayTest
{
protected:
    // The arrow key of the first step of a shortest free path from the
    // player's cell to the nearest piece still lying, or none.
    static std::optional<int> NextStep()
    {
        const int start = Hero().m_y / kCellSize * kMapColumns + Hero().m_x / kCellSize;
        std::array<bool, kMapCells> goal{};
        for (const auto& gold : World().m_events)
        {
            if (gold->active)
            {
                goal[Cell(gold->m_x / kCellSize, gold->m_y / kCellSize)] = true;
            }
        }
        std::array<int, kMapCells> firstKey{};
        firstKey.fill(-1);
        std::deque<int> queue{start};
        firstKey[static_cast<std::size_t>(start)] = 0;
        struct Step
        {
            int key, dx, dy;
        };
        const Step steps[] = {
            {kKeyLeft, -1, 0}, {kKeyRight, 1, 0}, {kKeyUp, 0, -1}, {kKeyDown, 0, 1}};
        while (!queue.empty())
        {
            const int cell = queue.front();
            queue.pop_front();
            if (goal[static_cast<std::size_t>(cell)])
            {
                return firstKey[static_cast<std::size_t>(cell)];
            }
            for (const Step& s : steps)
            {
                const int column = cell % kMapColumns + s.dx;
                const int row = cell / kMapColumns + s.dy;
                if (column < 0 || column >= kMapColumns || row < 0 || row >= kMapRows)
                {
                    continue;
                }
                const std::size_t next = Cell(column, row);
                if (World().m_collisionGrid[next] == 1 || firstKey[next] != -1)
                {
                    continue;
                }
                firstKey[next] = cell == start ? s.key : firstKey[static_cast<std::size_t>(cell)];
                queue.push_back(static_cast<int>(next));
            }
        }
        return std::nullopt;
    }

    void ReleaseArrows()
    {
        for (int key : {kKeyLeft, kKeyRight, kKeyUp, kKeyDown})
        {
            Release(key);
        }
    }
};
} // namespace

TEST_F(WholeGameTest, AGameWalkedThroughAllTenPiecesIsWonAndItsScoreListed)
{
    if (!std::filesystem::exists(SourceAssets() / "Maps" / "collisionMap.map"))
    {
        GTEST_SKIP() << "the level is not in the repository yet";
    }
    InstallRealAssets();
    m_levelWritten = true;
    // A seed without time penalties, so the walk does not depend on luck.
    unsigned seed = 1;
    std::vector<int> outcomes = Outcomes(seed, 10);
    while (std::count(outcomes.begin(), outcomes.end(), 3) != 0)
    {
        outcomes = Outcomes(++seed, 10);
    }
    Start();
    m_started = true;
    StartGame(seed);

    int frames = 0;
    while (FrontAs<PlayState>() != nullptr && frames < 90 * 60)
    {
        if (!Hero().m_moving)
        {
            const std::optional<int> key = NextStep();
            ASSERT_TRUE(key.has_value())
                << "a piece is out of reach from " << Hero().m_x << "," << Hero().m_y;
            ReleaseArrows();
            Hold(*key);
        }
        Frame();
        ++frames;
    }
    ReleaseArrows();
    ASSERT_NE(FrontAs<WinState>(), nullptr) << "after " << frames << " frames";
    EXPECT_EQ(g_goldCount, 10);
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

TEST_F(WholeGameTest, AGameLeftAloneIsLostAfter5400Updates)
{
    m_tileEntries = 1; // drawing the level is not what this is about
    StartGame();
    m_out->Clear();
    Frames(5399);
    ASSERT_NE(FrontAs<PlayState>(), nullptr);
    EXPECT_EQ(World().m_timeLeft, 1);
    Frame();
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

    auto object = [](const std::string& name, const std::string& tag)
    {
        return std::vector<std::string>{
            name + " destructor called...",
            "ResourceManager shut down function called... Sprite texture destroyed: " + tag,
            name + " destructor completed successfully."};
    };
    auto container = [](int count)
    {
        const std::string n = std::to_string(count);
        return std::vector<std::string>{"Objects successfully deleted from container: " + n,
                                        "Container size before clear: " + n,
                                        "Container size after clear: 0"};
    };
    std::vector<std::string> expected = {kSep, "Map shut down function called...", kSep,
                                         "Implementing deletion of objects from container..."};
    auto add = [&expected](const std::vector<std::string>& more)
    { expected.insert(expected.end(), more.begin(), more.end()); };
    add(object("Tileset", "Floors"));
    add(object("Tileset", "Walls"));
    add(object("Tileset", "Objects"));
    add(container(3));
    add({"Implementing deletion of objects from container..."}); // the gold says nothing
    add(container(10));
    add({"Implementing deletion of objects from container..."});
    for (const char* kind : {"Stuck", "Invisible", "Increase", "Decrease"})
    {
        add(object("TextBox", std::string("TextBox_") + kind));
    }
    add(container(4));
    add(object("Player", "Player"));
    add({"Interface destructor called...", "Interface destructor completed successfully.",
         "Camera destructor called...", "Camera destructor completed successfully.", kSep,
         "Map shut down successfully.", kSep});

    const int begin = Find(lines, "Map shut down function called...") - 1;
    ASSERT_GE(begin, 0);
    ASSERT_LE(static_cast<std::size_t>(begin) + expected.size(), lines.size());
    const std::vector<std::string> teardown(lines.begin() + begin,
                                            lines.begin() + begin +
                                                static_cast<std::ptrdiff_t>(expected.size()));
    EXPECT_EQ(teardown, expected);
    EXPECT_LT(Find(lines, "FileManager shut down successfully."), begin);
    EXPECT_GT(Find(lines, "Game shut down successfully."), begin);
}

// Start-up, the settings file, the menu it builds, and the ways of leaving it.

#include "tests/Harness.h"
#include "tests/Transcripts.h"

#include "core/Game.h"
#include "core/Graphics.h"
#include "core/Input.h"
#include "gameplay/MenuState.h"
#include "graphics/Objects.h"
#include "graphics/Util.h"

#include <SDL.h>

#include <cstdlib>
#include <limits>
#include <sys/wait.h>

using namespace harness;
using namespace transcript;
namespace fs = std::filesystem;

namespace
{
using StartupTest = GameTest;

Lines NoSettingsFile()
{
    return {"FileManager Initialize function called... setting the default values...",
            kSep,
            "Game Initialize function called...",
            kSep,
            "Error opening file: Assets\\ini\\game.ini",
            "Reason: No such file or directory"};
}

// Runs the built game in `dir` and returns its exit status (-1 when it did
// not exit by itself). The time bound only guards against a hang.
int RunGame(const fs::path& dir)
{
    const std::string command = "cd '" + dir.string() + "' && SDL_VIDEODRIVER=dummy timeout 30 '" +
                                DUNGEON_EXE + "' >out.txt 2>err.txt";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
} // namespace

TEST_F(StartupTest, WithoutSettingsFileStopsBeforeAnyWindowWithStatusOne)
{
    fs::remove(m_dir / "Assets" / "ini" / "game.ini");
    EXPECT_FALSE(Game::Instance()->Initialize());
    EXPECT_EQ(m_out->Lines(), NoSettingsFile());
    EXPECT_EQ(SDL_WasInit(0), 0u);
    EXPECT_EQ(Graphics::Instance()->m_window, nullptr);
    EXPECT_TRUE(Game::Instance()->m_states.empty());

    // The program itself says the same and reports the failure.
    EXPECT_EQ(RunGame(m_dir), 1);
    EXPECT_EQ(SplitLines(ReadFile(m_dir / "out.txt")), NoSettingsFile());
    EXPECT_EQ(ReadFile(m_dir / "err.txt"), "");

    // A window that cannot be made stops the program the same way.
    WriteSettings("Dungeon 99999999999 99999999999 0");
    EXPECT_EQ(RunGame(m_dir), 1);
    const Lines lines = SplitLines(ReadFile(m_dir / "out.txt"));
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "Game window could not be created.");
}

TEST_F(StartupTest, BuildsTheMenu)
{
    InstallTestPictures();
    Start();
    Lines expected = StartupHead();
    expected += MenuConstruction(true, true);
    expected += Block("Game Initialized successfully...");
    EXPECT_EQ(m_out->Lines(), expected);

    Game* game = Game::Instance();
    ASSERT_EQ(game->m_states.size(), 1u);
    auto* menu = dynamic_cast<MenuState*>(game->m_states.front().get());
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->m_alive && menu->m_running);
    EXPECT_EQ(menu->m_previous, nullptr);
    ASSERT_EQ(menu->m_gameObjects.size(), 5u);
    EXPECT_EQ(menu->m_gameObjects.front()->m_tag, "Menu");
    EXPECT_NE(menu->m_buttonExit->m_sprite.m_texture, nullptr);

    // Every button stands at x 70, with the size of its picture.
    const Button* buttons[] = {menu->m_buttonPlay, menu->m_buttonScores, menu->m_buttonGuide,
                               menu->m_buttonExit};
    const int table[4][3] = {{310, 128, 49}, {371, 192, 49}, {432, 160, 50}, {494, 128, 50}};
    for (int i = 0; i < 4; ++i)
    {
        const AABB& b = buttons[i]->m_bound;
        EXPECT_EQ(buttons[i]->m_tag, kButtons[i]);
        EXPECT_EQ(b.minX, 70.0f);
        EXPECT_EQ(b.minY, static_cast<float>(table[i][0]));
        EXPECT_EQ(b.maxX, static_cast<float>(70 + table[i][1]));
        EXPECT_EQ(b.maxY, static_cast<float>(table[i][0] + table[i][2]));
    }
}

// 0: the Exit button, 1: Escape, 2: closing the window. Each ends the program
// through the menu's destruction and the whole shutdown.
class LeaveMenuTest : public GameTest, public ::testing::WithParamInterface<int>
{
};

TEST_P(LeaveMenuTest, EndsTheProgramThroughShutdown)
{
    InstallTestPictures();
    Start();
    m_out->Clear();
    Lines expected;
    switch (GetParam())
    {
    case 0:
        PushMouseMotion(100, 515);
        Frame();
        EXPECT_FALSE(Game::Instance()->m_quit) << "pointing at Exit is not clicking it";
        // A quick click: press and release both wait for the same frame.
        PushMouseButton(100, 515, SDL_BUTTON_LEFT, true);
        PushMouseButton(100, 515, SDL_BUTTON_LEFT, false);
        Frame();
        expected = {"1", "1"};
        break;
    case 1:
        Frames(2);
        Hold(kKeyEscape);
        Frame();
        expected = {"1", "1", "1"};
        break;
    default:
        PushQuit();
        Frame();
        expected = {"1"};
        break;
    }
    EXPECT_TRUE(Game::Instance()->m_quit);
    EXPECT_TRUE(Game::Instance()->m_states.empty());
    Game::Instance()->Shutdown();
    expected += MenuDestruction();
    expected += ShutdownAfterEmptyQueue();
    EXPECT_EQ(m_out->Lines(), expected);
    EXPECT_EQ(SDL_WasInit(0), 0u);
}

INSTANTIATE_TEST_SUITE_P(ExitEscapeOrClose, LeaveMenuTest, ::testing::Values(0, 1, 2));

// ---------------------------------------------------------------------------
// What the settings file gives. Bad files must give their lines and either
// run or stop cleanly; never crash.

namespace
{
struct Settings
{
    const char* name;
    std::string content;
    bool starts;
    std::string title;
    std::int32_t width;
    std::int32_t height;
    bool fullscreen;
};

void PrintTo(const Settings& s, std::ostream* out)
{
    *out << s.name;
}

const char kGarbageBytes[] = "\x7f"
                             "ELF\x02\x01\x00\xff\xfe\x00 \x10\x13\t\x80\x81\xc3\x28";
const std::string kGarbage(kGarbageBytes, sizeof kGarbageBytes - 1);
const std::string kLongTitle(10000, 'T');
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

class SettingsTest : public GameTest, public ::testing::WithParamInterface<Settings>
{
};
} // namespace

TEST_P(SettingsTest, GivesTheWindowOrStopsCleanly)
{
    const Settings& s = GetParam();
    WriteSettings(s.content);
    Game* game = Game::Instance();
    const bool started = game->Initialize();
    ASSERT_EQ(started, s.starts);

    EXPECT_EQ(game->m_settings[0], s.title);
    EXPECT_EQ(game->m_width, s.width);
    EXPECT_EQ(game->m_height, s.height);
    EXPECT_EQ(game->m_fullscreen, s.fullscreen);

    Lines head = StartupHead();
    // A size that is not a positive number is named before the file is closed.
    for (int i : {2, 1})
    {
        if (ParseInt(game->m_settings[i]) <= 0)
        {
            head.insert(head.begin() + 5, std::string("Window ") + (i == 1 ? "width" : "height") +
                                              " \"" + game->m_settings[i] +
                                              "\" is not a positive number, using " +
                                              (i == 1 ? "800." : "608."));
        }
    }
    if (!started)
    {
        head.back() = "Game window could not be created.";
        Lines out = m_out->Lines();
        ASSERT_FALSE(out.empty());
        out.pop_back(); // SDL's reason
        EXPECT_EQ(out, head);
        EXPECT_EQ(SDL_WasInit(0), 0u);
        EXPECT_EQ(Graphics::Instance()->m_window, nullptr);
        return;
    }
    Lines expected = head;
    expected += MenuConstruction(true, false);
    expected += Block("Game Initialized successfully...");
    EXPECT_EQ(m_out->Lines(), expected);

    SDL_Window* window = Graphics::Instance()->m_window;
    ASSERT_NE(window, nullptr);
    EXPECT_EQ((SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0, s.fullscreen);
    EXPECT_EQ(std::string(SDL_GetWindowTitle(window)), std::string(s.title.c_str()));
    if (!s.fullscreen && s.width > 0 && s.height > 0)
    {
        int w = 0;
        int h = 0;
        SDL_GetWindowSize(window, &w, &h);
        EXPECT_EQ(w, s.width);
        EXPECT_EQ(h, s.height);
    }

    // The game runs and ends normally.
    Frame();
    Hold(kKeyEscape);
    Frame();
    EXPECT_TRUE(game->m_quit);
    game->Shutdown();
    EXPECT_TRUE(ContainsBlock(m_out->Lines(), Block("Game shut down successfully.")));
}

INSTANTIATE_TEST_SUITE_P(
    Startup, SettingsTest,
    ::testing::Values(
        Settings{"Window1024", "Dungeon 1024 768 0", true, "Dungeon", 1024, 768, false},
        Settings{"OneTokenALine", "Dungeon\n1024\n768\n0\n", true, "Dungeon", 1024, 768, false},
        Settings{"TrailingTokensIgnored", "Dungeon\t640 480 0 extra 1", true, "Dungeon", 640, 480,
                 false},
        Settings{"FlagOne", "Dungeon 800 608 1", true, "Dungeon", 800, 608, true},
        Settings{"FlagDoubleZero", "Dungeon 800 608 00", true, "Dungeon", 800, 608, true},
        Settings{"FlagWord", "Dungeon 800 608 no", true, "Dungeon", 800, 608, true},
        Settings{"DigitsThenLetters", "Dungeon 800px 608 0", true, "Dungeon", 800, 608, false},
        Settings{"ThreeTokens", "Dungeon 800 608", true, "Dungeon", 800, 608, true},
        Settings{"TwoWordTitle", "Dungeon Gold 800 608 0", true, "Dungeon", 800, 800, true},
        Settings{"Empty", "", true, "", 800, 608, true},
        Settings{"TwoTokens", "Dungeon 800", true, "Dungeon", 800, 608, true},
        Settings{"Negative", "Dungeon -800 -608 0", true, "Dungeon", 800, 608, false},
        Settings{"Huge", "Dungeon 99999999999 99999999999 0", false, "Dungeon", kMax, kMax, false},
        Settings{"Garbage", kGarbage, true, kGarbage.substr(0, 10), 800, 608, true},
        Settings{"LongTitle", kLongTitle + " 800 608 0", true, kLongTitle, 800, 608, false}),
    [](const ::testing::TestParamInfo<Settings>& info) { return std::string(info.param.name); });

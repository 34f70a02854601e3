// The readers, the score file and start-up under hostile files and systems:
// ordinary reading kept; special and huge files refused or bounded; failing
// writes reported; read-only data for a non-root player; missing layers; bad
// window sizes; no display; a log that nobody reads any more.

#include "tests/support/Scratch.h"

#include "core/Game.h"
#include "core/Graphics.h"
#include "graphics/DataFile.h"
#include "graphics/Objects.h"
#include "graphics/ResourceManager.h"
#include "graphics/Util.h"
#include "world/FileManager.h"
#include "world/Map.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <functional>
#include <iostream>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>

namespace fs = std::filesystem;
using support::Records;
using Lines = std::vector<std::string>;
using Scores = std::vector<std::int32_t>;

namespace
{
const std::string kIni = "Assets\\ini\\game.ini";
const std::string kFloor = "Assets\\Maps\\floorMap.map";
const std::string kScores = "Assets\\bin\\scores.bin";
const std::string kGame = std::string("timeout 30 '") + DUNGEON_EXE + "'";

void Write(const std::string& stored, const std::string& content)
{
    support::WriteFile(NativePath(stored), content);
}

// The exit status of a shell command, or -1 when it did not exit by itself.
int Shell(const std::string& command)
{
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int NextFreeFd()
{
    const int fd = dup(STDIN_FILENO);
    close(fd);
    return fd;
}

std::string BadSize(const char* what, const std::string& token, int used)
{
    return std::string("Window ") + what + " \"" + token + "\" is not a positive number, using " +
           std::to_string(used) + ".";
}

// A scratch working folder, the file manager's paths and the narration
// captured. A reader that hangs fails the case instead of stalling the suite,
// and no case may leave a file descriptor open.
class Hostile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        alarm(60);
        FileManager::Instance()->Initialize();
        Take();
        m_freeFd = NextFreeFd();
    }
    void TearDown() override
    {
        std::cout.rdbuf(m_old);
        EXPECT_EQ(NextFreeFd(), m_freeFd) << "a file descriptor was left open";
        alarm(0);
    }
    Lines Take()
    {
        Lines lines;
        for (std::string line; std::getline(m_text, line);)
        {
            lines.push_back(line);
        }
        m_text.clear();
        m_text.str("");
        return lines;
    }

    support::ScratchFolder m_scratch{"dungeon-hostile"};
    std::stringstream m_text;
    std::streambuf* m_old = std::cout.rdbuf(m_text.rdbuf());
    int m_freeFd = -1;
};
} // namespace

TEST_F(Hostile, SettingsGiveTheWindowAndBadSizesFallBack)
{
    // Content, title, width, height, fullscreen, and the size tokens the log
    // names as bad (null: none).
    using Case = std::tuple<const char*, const char*, int, int, bool, const char*, const char*>;
    const Case cases[] = {
        {"Dungeon 1024 768 0", "Dungeon", 1024, 768, false, nullptr, nullptr},
        {"Dungeon\n1024\n768\n0\n9 9", "Dungeon", 1024, 768, false, nullptr, nullptr},
        {"Dungeon 800px 608 00", "Dungeon", 800, 608, true, nullptr, nullptr},
        {"Dungeon 640 480", "Dungeon", 640, 480, true, nullptr, nullptr},
        {"Dungeon Gold 800 608 0", "Dungeon", 800, 800, true, "Gold", nullptr},
        {"", "", 800, 608, true, "", ""},
        {"Dungeon 0 -5 0", "Dungeon", 800, 608, false, "0", "-5"},
        {"Dungeon abc 1 0", "Dungeon", 800, 1, false, "abc", nullptr},
    };
    Game* game = Game::Instance();
    for (const auto& [content, title, width, height, fullscreen, badWidth, badHeight] : cases)
    {
        SCOPED_TRACE(content);
        Write(kIni, content);
        ASSERT_TRUE(game->ReadSettings());
        EXPECT_STREQ(game->m_title, title);
        EXPECT_EQ(game->m_width, width);
        EXPECT_EQ(game->m_height, height);
        EXPECT_EQ(game->m_fullscreen, fullscreen);
        Lines expected{"File loaded successfully: " + kIni};
        if (badWidth != nullptr)
        {
            expected.push_back(BadSize("width", badWidth, 800));
        }
        if (badHeight != nullptr)
        {
            expected.push_back(BadSize("height", badHeight, 608));
        }
        expected.push_back("File closed: " + kIni);
        EXPECT_EQ(Take(), expected);
    }
}

TEST_F(Hostile, OnlyRegularFilesAreOpenedAndTheReasonIsGiven)
{
    // Every reader with the line it prints when its file cannot be opened,
    // and the device its file is pointed at.
    const std::tuple<std::string, std::string, std::function<bool()>, std::string> readers[] = {
        {kIni, "Error opening file: ", [] { return Game::Instance()->ReadSettings(); },
         "/dev/zero"},
        {kFloor, "Error opening map file: ", [] { return Map::Instance()->LoadMap(kFloorMapKey); },
         "/dev/zero"},
        {kScores, "ERROR! Couldn't open binary file:",
         [] { return FileManager::Instance()->ReadBinaryFile(kScoreFileKey); }, "/dev/zero"},
        {kScores, "ERROR! Couldn't open file: ",
         [] { return FileManager::Instance()->WriteBinaryFile(450); }, "/dev/full"},
    };
    for (const auto& [stored, line, call, device] : readers)
    {
        const fs::path path = NativePath(stored);
        const std::pair<const char*, std::function<void()>> kinds[] = {
            {"Is a directory", [&] { fs::create_directory(path); }},
            {"Not a regular file", [&] { mkfifo(path.c_str(), 0600); }},
            {"Not a regular file", [&] { fs::create_symlink(device, path); }},
            {"No such file or directory", [] {}},
        };
        for (const auto& [reason, make] : kinds)
        {
            SCOPED_TRACE(line + reason);
            make();
            if (device == "/dev/full" && !fs::exists(fs::symlink_status(path)))
            {
                continue; // a missing score file is no fault: it is created
            }
            EXPECT_FALSE(call());
            EXPECT_EQ(Take(), (Lines{line + stored, std::string("Reason: ") + reason}));
            fs::remove_all(path);
        }
    }
    EXPECT_TRUE(FileManager::Instance()->GetScores().empty());
}

TEST_F(Hostile, HugeFilesAreBoundedAndTheGameGoesOn)
{
    // A layer at its bound is read; one byte more and it is a bad file.
    std::string layer = "1,2 ";
    layer.resize(kLayerFileLimit, ' ');
    Write(kFloor, layer);
    Map& map = *Map::Instance();
    EXPECT_TRUE(map.LoadMap(kFloorMapKey));
    Write(kFloor, layer + "3");
    EXPECT_FALSE(map.LoadMap(kFloorMapKey));
    EXPECT_FALSE(map.m_floorStatus.loaded);
    EXPECT_EQ(map.m_floorValues, (TileList{{1, 2}}));
    EXPECT_EQ(Take(),
              (Lines{"Map file loaded successfully: " + kFloor, "Map file closed: " + kFloor,
                     "Error reading map file: " + kFloor, "Reason: File too large"}));

    // Settings likewise: past the bound they count for nothing; start-up goes on.
    std::string ini = "Dungeon 1024 768 0";
    ini.resize(kSettingsFileLimit + 1, '\n');
    Write(kIni, ini);
    ASSERT_TRUE(Game::Instance()->ReadSettings());
    EXPECT_EQ(Game::Instance()->m_settings[0], "");
    EXPECT_EQ(Take(), (Lines{"Error reading file: " + kIni, "Reason: File too large",
                             BadSize("width", "", 800), BadSize("height", "", 608)}));

    // A vast score file: only the first records are read, little-endian.
    Write(kScores, Records({150, -7, 2147483647, 9, 5}));
    ASSERT_EQ(truncate(NativePath(kScores).c_str(), 256 << 20), 0);
    rusage before{};
    rusage after{};
    getrusage(RUSAGE_SELF, &before);
    EXPECT_TRUE(FileManager::Instance()->ReadBinaryFile(kScoreFileKey));
    getrusage(RUSAGE_SELF, &after);
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024) << "KiB taken by the reading";
    EXPECT_EQ(FileManager::Instance()->GetScores(), (Scores{150, -7, 2147483647, 9}));
}

TEST_F(Hostile, ScoreFileKeepsWholeRecordsAndReportsFailedWrites)
{
    // Each append lands after the last whole record: the stray bytes of an
    // interrupted write are overwritten, earlier records kept.
    const std::tuple<std::string, std::int32_t, std::string> appends[] = {
        {"", 340, std::string("\x54\x01\x00\x00", 4)},
        {"\x01", 450, Records({450})},
        {Records({100, 200}) + "\x07\x08\x09", 450, Records({100, 200, 450})},
        {Records({100}), -2, Records({100, -2})},
    };
    FileManager* files = FileManager::Instance();
    for (const auto& [before, value, after] : appends)
    {
        Write(kScores, before);
        EXPECT_TRUE(files->WriteBinaryFile(value)) << value;
        EXPECT_EQ(support::ReadFile(NativePath(kScores)), after) << value;
        EXPECT_EQ(Take(), Lines{"Info written to file successfully: " + kScores});
    }
    // A short tail is no record.
    Write(kScores, Records({100, -2}) + "\x05");
    EXPECT_TRUE(files->ReadBinaryFile(kScoreFileKey));
    EXPECT_EQ(files->GetScores(), (Scores{100, -2, 0, 0}));
    Take();

    // A write the system stops half-way (a full disk) is no success, and the
    // file keeps its whole records.
    Write(kScores, Records({100}) + "\x07");
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit tight = old;
    tight.rlim_cur = 6;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
    const bool written = files->WriteBinaryFile(450);
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_FALSE(written);
    EXPECT_EQ(support::ReadFile(NativePath(kScores)), Records({100}));
    EXPECT_EQ(Take(),
              (Lines{"ERROR! Couldn't write to file: " + kScores, "Reason: File too large"}));
}

TEST_F(Hostile, EachLoadedLayerIsDrawnAndAMissingOneReportedOncePerGame)
{
    Write(kFloor, "4,1 5,2 ");
    Write("Assets\\Maps\\wallMap.map", "6,3 ");
    Map& map = *Map::Instance();
    // The first game has no object layer, the second an empty one.
    for (const char* line :
         {"Map file couldn't be loaded!", "Error! Could not load values from vector."})
    {
        map.Initialize();
        for (int key : {kCollisionMapKey, kFloorMapKey, kWallMapKey, kObjectMapKey})
        {
            map.LoadMap(key);
        }
        Take();
        for (int frame = 0; frame < 3; ++frame)
        {
            map.Render();
        }
        // A tile cursor holds the last tile drawn.
        EXPECT_EQ(map.m_floorTiles->m_column, 5);
        EXPECT_EQ(map.m_wallTiles->m_column, 6);
        EXPECT_EQ(map.m_objectTiles->m_column, 0);
        const Lines lines = Take();
        EXPECT_EQ(std::count(lines.begin(), lines.end(), line), 1) << line;
        Write("Assets\\Maps\\objectMap.map", "");
    }
}

TEST_F(Hostile, TilesOutsideTheSheetAndRefusedTexturesAreNotDrawn)
{
    // A software renderer on a picture in memory: no window needed.
    SDL_Surface* screen = SDL_CreateRGBSurfaceWithFormat(0, 16, 16, 32, SDL_PIXELFORMAT_RGBA32);
    SDL_Renderer* renderer = SDL_CreateSoftwareRenderer(screen);
    ASSERT_NE(renderer, nullptr) << SDL_GetError();
    // A white picture taller than the sheet of 2 x 2 one-pixel frames the
    // sprite is told of.
    SDL_Surface* white = SDL_CreateRGBSurfaceWithFormat(0, 2, 4, 32, SDL_PIXELFORMAT_RGBA32);
    SDL_FillRect(white, nullptr, 0xFFFFFFFF);
    Sprite sprite;
    sprite.m_texture = SDL_CreateTextureFromSurface(renderer, white);
    SDL_FreeSurface(white);
    sprite.m_columns = sprite.m_rows = 2;
    sprite.m_frameWidth = sprite.m_frameHeight = 1;
    sprite.m_width = sprite.m_height = 8.0f;
    Graphics::Instance()->m_renderer = renderer;
    const float tiles[][3] = {{1, 1, 1},    {-0.5f, 0, 1}, {0, 2, 0},  {-1, 0, 0},
                              {3e9f, 0, 0}, {0, -3e9f, 0}, {NAN, 0, 0}};
    for (const auto& [column, row, drawn] : tiles)
    {
        SDL_RenderClear(renderer);
        sprite.m_column = column;
        sprite.m_row = row;
        sprite.Draw(0, 0, 0.0, SDL_FLIP_NONE);
        Uint32 pixel = 0;
        const SDL_Rect at{4, 4, 1, 1};
        SDL_RenderReadPixels(renderer, &at, SDL_PIXELFORMAT_RGBA32, &pixel, 4);
        EXPECT_EQ(pixel == 0xFFFFFFFF, drawn != 0) << column << "," << row;
    }
    SDL_DestroyTexture(sprite.m_texture);

    // A texture the renderer refuses is an error naming the file, no success.
    ResourceManager::Instance()->Initialize(kMenuAssets);
    const std::string picture = "Assets\\GameState\\MENU_background.png";
    m_scratch.CopyAssets();
    Take();
    Graphics::Instance()->m_renderer = nullptr;
    EXPECT_FALSE(ResourceManager::Instance()->CreateSprite("Menu"));
    EXPECT_EQ(Take(), (Lines{"Opening and reading texture file : \"" + picture + "\"",
                             "ERROR Texture could not be created: " + picture}));
    EXPECT_EQ(AssetCache::Instance()->m_textures.count("Menu"), 0u);
    SDL_DestroyRenderer(renderer);
    SDL_FreeSurface(screen);
}

TEST_F(Hostile, StartUpStopsWithoutADisplayAndTheGameOutlivesItsLog)
{
    // A window SDL cannot make: its reason follows the game's line.
    Write(kIni, "Dungeon 99999999999 99999999999 0");
    EXPECT_FALSE(Game::Instance()->Initialize());
    Lines lines = Take();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "Game window could not be created.");
    EXPECT_EQ(lines.back().rfind("Reason: ", 0), 0u);

    // No display and no driver asked for: the program stops instead of
    // running unseen for ever.
    Write(kIni, "Dungeon 800 608 0");
    EXPECT_EQ(Shell("env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER " + kGame +
                    " >out.txt 2>/dev/null"),
              1);
    m_text << support::ReadFile("out.txt");
    lines = Take();
    ASSERT_GE(lines.size(), 2u);
    // Where SDL has no such fallback driver, its own start fails instead.
    EXPECT_TRUE(lines.back() == "No display found: SDL's offscreen video driver shows nothing." ||
                lines[lines.size() - 2] == "SDL did not initialize properly.")
        << lines.back();

    // Like `dungeon | head -1`, with a player's default SIGPIPE: the reader
    // leaves once the menu runs; the game plays on, and asked to quit, it
    // shuts down normally.
    EXPECT_EQ(Shell("mkfifo log && (env --default-signal=PIPE " + kGame +
                    " >log 2>/dev/null & game=$!; grep -m1 -qx 1 <log; kill $game; wait $game)"),
              0);
}

// A read-only install serves a player who does not own its files: this test
// runs itself again as user 65534, which then reads the settings and layers.
TEST(HostilePlayer, ReadOnlyDataServesANonRootPlayer)
{
    if (const char* dir = std::getenv("DUNGEON_PLAYER_DIR"))
    {
        ASSERT_EQ(chdir(dir), 0);
        ASSERT_NE(getuid(), 0u);
        support::SilentCout quiet;
        FileManager::Instance()->Initialize();
        EXPECT_TRUE(Game::Instance()->ReadSettings());
        for (int key : {kCollisionMapKey, kFloorMapKey, kWallMapKey, kObjectMapKey})
        {
            EXPECT_TRUE(Map::Instance()->LoadMap(key)) << key;
        }
        return;
    }
    const std::string self = fs::read_symlink("/proc/self/exe").string();
    const std::string player = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
    if (geteuid() != 0 || Shell(player + "test -x '" + self + "'") != 0)
    {
        GTEST_SKIP() << "cannot run as user 65534 here: needs root, setpriv and a readable build";
    }
    support::ScratchFolder scratch("dungeon-readonly");
    Write(kIni, "Dungeon 1024 768 0");
    for (const char* layer : {"collision", "floor", "wall", "object"})
    {
        Write(std::string("Assets\\Maps\\") + layer + "Map.map", "6,3 ");
    }
    ASSERT_EQ(Shell("chmod -R a+rX,a-w Assets && chmod a+rx ."), 0);
    EXPECT_EQ(Shell("DUNGEON_PLAYER_DIR='" + scratch.Path().string() + "' " + player + "'" + self +
                    "' --gtest_filter='HostilePlayer.*' >player.txt 2>&1"),
              0)
        << support::ReadFile("player.txt");
    EXPECT_NE(support::ReadFile("player.txt").find("[  PASSED  ] 1 test"), std::string::npos);
}

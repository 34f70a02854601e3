// The readers, the score file and start-up under hostile files and systems.
// The golden transcripts cover the narration of ordinary and missing files.

#include "tests/support/Scratch.h"

#include "core/Game.h"
#include "core/Graphics.h"
#include "core/Preferences.h"
#include "graphics/Objects.h"
#include "graphics/ResourceManager.h"
#include "graphics/Util.h"
#include "platform/Files.h"
#include "world/FileManager.h"
#include "world/Map.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <functional>
#include <iterator>
#include <limits>
#include <sstream>
#include <tuple>
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace
{
const std::string kIni = "Assets\\ini\\game.ini";
const std::string kFloor = "Assets\\Maps\\floorMap.map";
const std::string kScores = "Assets\\bin\\scores.bin";

void Write(const std::string& stored, const std::string& content)
{
    support::WriteFile(NativePath(stored), content);
}

// The line naming a bad window size; none for a null token.
std::string BadSize(const char* what, const char* token, int used)
{
    return token == nullptr
               ? ""
               : std::string("Window ") + what + " \"" + token +
                     "\" is not a positive number, using " + std::to_string(used) + ".\n";
}

// A scratch folder and the narration captured; no case may leave a descriptor open.
class Hostile : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { FileManager::Instance()->Initialize(); }
    void TearDown() override
    {
        std::cout.rdbuf(m_old);
        EXPECT_EQ(OpenFds(), m_fds) << "a file descriptor was left open";
    }
    std::string Take()
    {
        const std::string text = m_text.str();
        m_text.str("");
        return text;
    }
    static long OpenFds() { return support::OpenFiles(); }

    support::ScratchFolder m_scratch{"dungeon-hostile"};
    std::stringstream m_text;
    std::streambuf* m_old = std::cout.rdbuf(m_text.rdbuf());
    const long m_fds = OpenFds();
};
} // namespace

TEST_F(Hostile, SettingsGiveTheWindowAndBadSizesFallBack)
{
    // Content, title, width, height, fullscreen, bad size tokens named (null: none).
    const std::tuple<const char*, const char*, int, int, bool, const char*, const char*> rows[] = {
        {"Dungeon\n800px\n768\n00\n9 9", "Dungeon", 800, 768, true, nullptr, nullptr},
        {"Dungeon Gold 800 608 0", "Dungeon", 800, 800, true, "Gold", nullptr},
        {"", "", 800, 608, true, "", ""},
        {"Dungeon 0 -5 0", "Dungeon", 800, 608, false, "0", "-5"},
        {"Dungeon abc 1 0", "Dungeon", 800, 1, false, "abc", nullptr},
    };
    Game* game = Game::Instance();
    for (const auto& [content, title, width, height, fullscreen, badWidth, badHeight] : rows)
    {
        SCOPED_TRACE(content);
        Write(kIni, content);
        EXPECT_TRUE(game->ReadSettings());
        EXPECT_STREQ(game->m_title, title);
        EXPECT_EQ(std::tuple(game->m_width, game->m_height, game->m_fullscreen),
                  std::tuple(width, height, fullscreen));
        EXPECT_EQ(Take(), "File loaded successfully: " + kIni + "\n" +
                              BadSize("width", badWidth, 800) + BadSize("height", badHeight, 608) +
                              "File closed: " + kIni + "\n");
    }
}

TEST_F(Hostile, NumbersSaturateAndEveryCollisionReadStartsFree)
{
    EXPECT_EQ(ParseInt("-99999999999"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(ParseInt(" +2147483648x"), std::numeric_limits<std::int32_t>::max());
    CollisionGrid grid;
    grid.fill(1);
    std::istringstream text("1 0 1 wall 1");
    EXPECT_EQ(ReadCollisionGrid(text, grid), 3);
    EXPECT_EQ(std::count(grid.begin(), grid.end(), 1), 2) << "cells not read are free";
}

TEST_F(Hostile, OnlyRegularFilesAreOpenedAndTheReasonIsGiven)
{
    // Each data file with the line its reader, or the score writer, prints.
    const std::tuple<std::string, std::string, std::function<bool()>> readers[] = {
        {kIni, "Error opening file: ", [] { return Game::Instance()->ReadSettings(); }},
        {kFloor, "Error opening map file: ", [] { return Map::Instance()->LoadMap(kFloorMapKey); }},
        {kScores, "ERROR! Couldn't open binary file:",
         [] { return FileManager::Instance()->ReadBinaryFile(kScoreFileKey); }},
        {kScores, "ERROR! Couldn't open file: ",
         [] { return FileManager::Instance()->WriteBinaryFile(450); }},
    };
    for (const auto& [stored, line, call] : readers)
    {
        const fs::path path = NativePath(stored);
        const std::pair<std::string, std::function<void()>> kinds[] = {
            {"Is a directory", [&] { fs::create_directory(path); }},
#ifndef _WIN32
            {"Not a regular file", [&] { mkfifo(path.c_str(), 0600); }},
            {"Not a regular file", [&] { fs::create_symlink("/dev/zero", path); }},
#endif
        };
        for (const auto& [reason, make] : kinds)
        {
            SCOPED_TRACE(line + reason);
            make();
            EXPECT_FALSE(call());
            EXPECT_EQ(Take(), line + stored + "\nReason: " + reason + "\n");
            fs::remove_all(path);
        }
    }
#ifdef _WIN32
    GTEST_SKIP() << "only folders checked: Windows has no FIFOs and no /dev/zero to link to";
#endif
}

TEST_F(Hostile, LayerEntriesSplitByAnyWhiteSpaceReadAlike)
{
    // Blanks, tabs, CR, LF and CRLF, alone and in mixes, between the entries
    // and at both ends of a file (an editor on any system may write any of
    // them): every layout reads the same cells, and nothing more.
    const std::string separators[] = {" ",    "  ",  "\t",     "\n",       "\r\n",     "\r",
                                      "\n\n", " \n", "\t\r\n", "\r\n\r\n", " \r\n\t ", "\n\r"};
    const TileList pairs{{12, 3}, {-1, -1}, {7, 0}, {0, 18}, {49, 2}};
    const std::vector<std::int32_t> cells{1, 0, -2, 7, 2147483647};
    const auto layout = [&](const auto& values, const auto& entry, std::size_t first, bool ends)
    {
        const std::size_t n = std::size(separators);
        std::string text = ends ? separators[first % n] : "";
        for (std::size_t i = 0; i < values.size(); ++i)
        {
            text += entry(values[i]);
            // Uniform layouts (first < n) repeat one separator; the others mix.
            text +=
                i + 1 < values.size() || ends ? separators[(first + (first < n ? 0 : i)) % n] : "";
        }
        return text;
    };
    Map& map = *Map::Instance();
    for (std::size_t first = 0; first < 2 * std::size(separators); ++first)
    {
        for (const bool ends : {false, true})
        {
            const std::string layer = layout(
                pairs,
                [](const TilePair& p)
                { return std::to_string(p.first) + "," + std::to_string(p.second); },
                first, ends);
            const std::string collision = layout(
                cells, [](std::int32_t v) { return std::to_string(v); }, first, ends);
            SCOPED_TRACE(testing::PrintToString(layer) + " " + testing::PrintToString(collision));
            Write(kFloor, layer);
            Write("Assets\\Maps\\collisionMap.map", collision);
            ASSERT_TRUE(map.LoadMap(kFloorMapKey));
            ASSERT_TRUE(map.LoadMap(kCollisionMapKey));
            EXPECT_EQ(map.m_floorValues, pairs);
            EXPECT_TRUE(std::equal(cells.begin(), cells.end(), map.m_collisionGrid.begin()));
            EXPECT_EQ(std::count(map.m_collisionGrid.begin() + std::ssize(cells),
                                 map.m_collisionGrid.end(), 0),
                      kMapCells - std::ssize(cells));
            Take();
        }
    }
}

TEST_F(Hostile, AReleasedTextureLeavesTheCacheAndIsNeverHandedOutAgain)
{
    // A renderer of our own: textures must be real for a freed one to matter
    // (under AddressSanitizer, any use of a freed texture stops the test).
    m_scratch.CopyAssets("Dungeon 800 608 0\n");
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    SDL_Window* window = SDL_CreateWindow("cache", 0, 0, 80, 60, SDL_WINDOW_HIDDEN);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    ASSERT_NE(renderer, nullptr) << SDL_GetError();
    Graphics::Instance()->m_renderer = renderer;
    ResourceManager::Instance()->Initialize(kLoseAssets);
    AssetCache& cache = *AssetCache::Instance();
    // A texture the renderer can still use: the size of the lose screen's
    // picture, and a copy of it drawn.
    const auto usable = [renderer](SDL_Texture* texture)
    {
        int width = 0;
        int height = 0;
        return texture != nullptr &&
               SDL_QueryTexture(texture, nullptr, nullptr, &width, &height) == 0 &&
               std::pair(width, height) == std::pair(800, 608) &&
               SDL_RenderCopy(renderer, texture, nullptr, nullptr) == 0;
    };
    const std::string opened =
        "Opening and reading texture file : \"Assets\\GameState\\LOSE_background.png\"";
    // A screen shown, left and shown again, as a player goes back and forth.
    for (int visit = 0; visit < 3; ++visit)
    {
        SCOPED_TRACE(visit);
        Take();
        auto screen = std::make_unique<Background>("Lose");
        EXPECT_NE(Take().find(opened), std::string::npos) << "the picture is read afresh";
        EXPECT_TRUE(usable(screen->m_sprite.m_texture));
        EXPECT_EQ(cache.m_textures.at("Lose"), screen->m_sprite.m_texture);
        EXPECT_TRUE(screen->Draw());
        screen.reset();
        EXPECT_EQ(cache.m_textures.count("Lose"), 0u) << "the released texture stays in the cache";
    }
    // Once the picture cannot be read, the next request finds nothing, not
    // the texture released before.
    fs::remove(NativePath("Assets\\GameState\\LOSE_background.png"));
    Background missing("Lose");
    EXPECT_EQ(missing.m_sprite.m_texture, nullptr);
    EXPECT_TRUE(missing.Draw());
    Take();

    Graphics::Instance()->m_renderer = nullptr;
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

TEST_F(Hostile, HugeFilesAreBoundedAndTheGameGoesOn)
{
    // Settings past 64 KiB count for nothing, and start-up goes on.
    Write(kIni, "Dungeon 1024 768 0" + std::string(64 << 10, '\n'));
    EXPECT_TRUE(Game::Instance()->ReadSettings());
    EXPECT_EQ(Take(), "Error reading file: " + kIni + "\nReason: File too large\n" +
                          BadSize("width", "", 800) + BadSize("height", "", 608));

    // A layer of one byte more than 1 MiB is not loaded; one of 1 MiB is.
    const std::string layer = "1,2" + std::string((1 << 20) - 3, ' ');
    Write(kFloor, layer + "3");
    EXPECT_FALSE(Map::Instance()->LoadMap(kFloorMapKey));
    EXPECT_EQ(Take(), "Error reading map file: " + kFloor + "\nReason: File too large\n");
    Write(kFloor, layer);
    EXPECT_TRUE(Map::Instance()->LoadMap(kFloorMapKey));

    // A score file larger than any memory: only the first four records are
    // read, little-endian. (On Windows one just past 4 GiB, beyond 32-bit
    // sizes: MinGW's run time refuses to size a file past the disk's free space.)
    Write(kScores, support::Records({150, -7, 2147483647, 9, 5}));
#ifdef _WIN32
    fs::resize_file(NativePath(kScores), (std::uintmax_t{1} << 32) + 8);
#else
    fs::resize_file(NativePath(kScores), std::uintmax_t{1} << 40);
#endif
    EXPECT_TRUE(FileManager::Instance()->ReadBinaryFile(kScoreFileKey));
    EXPECT_EQ(FileManager::Instance()->GetScores(),
              (std::vector<std::int32_t>{150, -7, 2147483647, 9}));
}

TEST_F(Hostile, ScoreFileKeepsWholeRecordsAndReportsFailedWrites)
{
    // A partial record at the end (an interrupted write) is no record: the
    // reader ignores it and the next score is written over it.
    FileManager* files = FileManager::Instance();
    Write(kScores, support::Records({100, 200}) + "\x07\x08\x09");
    EXPECT_TRUE(files->ReadBinaryFile(kScoreFileKey));
    EXPECT_EQ(files->GetScores(), (std::vector<std::int32_t>{100, 200, 0, 0}));
    EXPECT_TRUE(files->WriteBinaryFile(-2));
    EXPECT_EQ(support::ReadFile(NativePath(kScores)), support::Records({100, 200, -2}));
    // Every read starts afresh: the score just saved shows, and a file that
    // cannot be read now leaves no list behind.
    EXPECT_TRUE(files->ReadBinaryFile(kScoreFileKey));
    EXPECT_EQ(files->GetScores(), (std::vector<std::int32_t>{100, 200, -2, 0}));
    fs::remove(NativePath(kScores));
    EXPECT_FALSE(files->ReadBinaryFile(kScoreFileKey));
    EXPECT_TRUE(files->GetScores().empty());

    // A write the system stops half-way (a full disk) is no success, and the
    // file keeps only its whole records.
#ifdef _WIN32
    GTEST_SKIP() << "full disk not checked: Windows has no file size limit to stand in for one";
#else
    Write(kScores, support::Records({100}) + "\x07");
    Take();
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const rlimit tight{6, old.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
    const bool written = files->WriteBinaryFile(450);
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_FALSE(written);
    EXPECT_EQ(support::ReadFile(NativePath(kScores)), support::Records({100}));
    EXPECT_EQ(Take(), "ERROR! Couldn't write to file: " + kScores + "\nReason: File too large\n");
#endif
}

TEST_F(Hostile, EachLoadedLayerIsDrawnAndAMissingOneReportedOncePerGame)
{
    Write(kFloor, "4,1 5,2 ");
    Write("Assets\\Maps\\wallMap.map", "6,3 ");
    Map& map = *Map::Instance();
    // The first game has no object layer, the second an empty one.
    for (const std::string line :
         {"Map file couldn't be loaded!\n", "Error! Could not load values from vector.\n"})
    {
        map.Initialize();
        for (int key : {kFloorMapKey, kWallMapKey, kObjectMapKey})
        {
            map.LoadMap(key);
        }
        Take();
        map.Render();
        map.Render();
        EXPECT_EQ(Take(), line);
        // A tile cursor holds the last tile drawn.
        EXPECT_EQ(std::tuple(map.m_floorTiles->m_column, map.m_wallTiles->m_column,
                             map.m_objectTiles->m_column),
                  std::tuple(5, 6, 0));
        Write("Assets\\Maps\\objectMap.map", "");
    }
}

TEST_F(Hostile, TilesOutsideTheSheetAndRefusedTexturesAreNotDrawn)
{
    // With no renderer, a frame the sprite tries to draw leaves SDL's error.
    // The sheet has 2 x 2 frames; column, row, whether the frame is drawn.
    Sprite sprite;
    sprite.m_columns = sprite.m_rows = 2;
    sprite.m_frameWidth = sprite.m_frameHeight = 1;
    const float tiles[][3] = {{1, 1, 1},    {-0.5f, 0, 1}, {0, 2, 0},  {-1, 0, 0},
                              {3e9f, 0, 0}, {0, -3e9f, 0}, {NAN, 0, 0}};
    for (const auto& [column, row, drawn] : tiles)
    {
        SDL_ClearError();
        sprite.m_column = column;
        sprite.m_row = row;
        sprite.Draw(0, 0, 0.0, SDL_FLIP_NONE);
        EXPECT_EQ(*SDL_GetError() != '\0', drawn != 0) << column << "," << row;
    }

    // A texture the renderer refuses is an error naming the file, no success.
    m_scratch.CopyAssets("Dungeon 800 608 0\n");
    ResourceManager::Instance()->Initialize(kMenuAssets);
    Take();
    EXPECT_FALSE(ResourceManager::Instance()->CreateSprite("Menu"));
    const std::string picture = "Assets\\GameState\\MENU_background.png";
    EXPECT_EQ(Take(), "Opening and reading texture file : \"" + picture +
                          "\"\nERROR Texture could not be created: " + picture + "\n");
    EXPECT_EQ(AssetCache::Instance()->m_textures.count("Menu"), 0u);
}

TEST_F(Hostile, StartUpStopsWithoutADisplayAndTheGameOutlivesItsLog)
{
#ifdef _WIN32
    GTEST_SKIP() << "no display and a vanished log reader not checked: Windows always has a "
                    "display, and no SIGPIPE or FIFOs";
#else
    // No display and no driver asked for: the program stops instead of running
    // unseen for ever (or SDL's own start fails, where it has no such driver).
    const std::string game = std::string("timeout 30 '") + DUNGEON_EXE + "'";
    Write(kIni, "Dungeon 800 608 0");
    const std::string unseen = "env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER " + game;
    EXPECT_EQ(WEXITSTATUS(std::system((unseen + " >out.txt 2>/dev/null").c_str())), 1);
    const std::string out = support::ReadFile("out.txt");
    EXPECT_TRUE(
        out.ends_with("\nNo display found: SDL's offscreen video driver shows nothing.\n") ||
        out.find("\nSDL did not initialize properly.\nReason: ") != std::string::npos);

    // Like `dungeon | head -1` with the default SIGPIPE: the game outlives its
    // reader, and asked to quit, it shuts down normally.
    const std::string piped = "mkfifo log && (env --default-signal=PIPE " + game +
                              " >log 2>/dev/null & grep -m1 -qx 1 <log; kill $!; wait $!)";
    EXPECT_EQ(WEXITSTATUS(std::system(piped.c_str())), 0);
#endif
}

TEST_F(Hostile, ReadOnlyDataServesANonRootPlayer)
{
#ifdef _WIN32
    GTEST_SKIP() << "no other user to become: Windows has no setuid or fork";
#else
    if (geteuid() != 0)
    {
        GTEST_SKIP() << "needs root to play as user 65534";
    }
    Write(kIni, "Dungeon 1024 768 0");
    Write(kFloor, "6,3 ");
    ASSERT_EQ(std::system("chmod -R a+rX,a-w Assets && chmod a+rx ."), 0);
    const pid_t player = fork();
    if (player == 0)
    {
        const bool read = setuid(65534) == 0 && Game::Instance()->ReadSettings() &&
                          Map::Instance()->LoadMap(kFloorMapKey);
        _exit(read ? 0 : 1);
    }
    int status = -1;
    waitpid(player, &status, 0);
    EXPECT_EQ(status, 0);
#endif
}

// The player's preferences are the game's to read back: anything else in the
// file (an unknown word, a second value, a choice given twice, a value of
// another form) leaves the whole file unused rather than half of it.
TEST(Preferences, OnlyAWholeFileOfKnownChoicesIsUsed)
{
    const Preferences silentFullscreen{false, true};
    const Preferences none{};
    const std::vector<std::pair<std::string, std::optional<Preferences>>> cases{
        {"sound off\nfullscreen on\n", silentFullscreen},
        {"\r\n  fullscreen on\r\n\tsound off", silentFullscreen},
        {"", none},
        {"sound on\n", Preferences{true, std::nullopt}},
        {"fullscreen off\n", Preferences{std::nullopt, false}},
        {"sound off\nsound on\n", std::nullopt},
        {"sound 0\n", std::nullopt},
        {"Sound off\n", std::nullopt},
        {"sound\n", std::nullopt},
        {"sound off please\n", std::nullopt},
        {"volume 11\n", std::nullopt},
        {std::string("sound off\0", 10), std::nullopt},
    };
    for (const auto& [text, expected] : cases)
    {
        EXPECT_EQ(ParsePreferences(text), expected) << text;
    }
    for (const Preferences& p : {silentFullscreen, none, Preferences{true, false}})
    {
        EXPECT_EQ(ParsePreferences(FormatPreferences(p)), p);
    }
}

// A whole file is written beside and renamed over the old one: it reads back
// as written, nothing is left beside it, and a folder of its name is refused
// and kept.
TEST_F(Hostile, AWholeFileIsReplacedAtOnceOrNotAtAll)
{
    const std::string stored = "Assets\\bin\\preferences.txt";
    Write(stored, "an older and longer text\n");
    ASSERT_EQ(WriteWholeFile(stored, "sound off\n").status, DataStatus::kDone);
    EXPECT_EQ(support::ReadFile(NativePath(stored)), "sound off\n");
    const auto entries = []
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator("Assets/bin"))
        {
            names.push_back(entry.path().filename().string());
        }
        return names;
    };
    EXPECT_EQ(entries(), std::vector<std::string>{"preferences.txt"});

    fs::remove(NativePath(stored));
    fs::create_directories(NativePath(stored + "\\keep"));
    const DataFile refused = WriteWholeFile(stored, "sound on\n");
    EXPECT_EQ(refused.status, DataStatus::kNotOpened);
    EXPECT_FALSE(refused.reason.empty());
    EXPECT_TRUE(fs::is_directory(NativePath(stored + "\\keep")));
    EXPECT_EQ(entries(), std::vector<std::string>{"preferences.txt"});
    EXPECT_EQ(Take(), "");
}

#include "tests/Harness.h"

#include "core/Game.h"
#include "core/Input.h"

#include <SDL_image.h>

#include <algorithm>

#include <cstdlib>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace harness
{

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::string line;
    std::istringstream in(text);
    while (std::getline(in, line))
    {
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> CoutCapture::Lines() const
{
    return SplitLines(m_buffer.str());
}

int Find(const std::vector<std::string>& lines, const std::string& line, int from)
{
    for (int i = std::max(from, 0); i < static_cast<int>(lines.size()); ++i)
    {
        if (lines[static_cast<std::size_t>(i)] == line)
        {
            return i;
        }
    }
    return -1;
}

bool ContainsBlock(const std::vector<std::string>& lines, const std::vector<std::string>& block)
{
    if (block.empty())
    {
        return true;
    }
    return std::search(lines.begin(), lines.end(), block.begin(), block.end()) != lines.end();
}

int Count(const std::vector<std::string>& lines, const std::string& line)
{
    return static_cast<int>(std::count(lines.begin(), lines.end(), line));
}

fs::path SourceAssets()
{
    return fs::path(DUNGEON_SOURCE_DIR) / "Assets";
}

void WritePicture(const fs::path& path, int width, int height, SDL_Color color)
{
    fs::create_directories(path.parent_path());
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32,
                                                          SDL_PIXELFORMAT_RGBA32);
    ASSERT_NE(surface, nullptr);
    SDL_FillRect(surface, nullptr,
                 SDL_MapRGBA(surface->format, color.r, color.g, color.b, color.a));
    ASSERT_EQ(IMG_SavePNG(surface, path.string().c_str()), 0) << IMG_GetError();
    SDL_FreeSurface(surface);
}

void WriteFile(const fs::path& path, const std::string& content)
{
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

namespace
{
int s_fixturesRun = 0;
}

void GameTest::SetUp()
{
    // The game's singletons live for the whole process: one test per process.
    ASSERT_EQ(++s_fixturesRun, 1)
        << "run each test case in its own process (ctest does; by hand use --gtest_filter)";
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    m_oldDir = fs::current_path();
    std::string pattern = (fs::temp_directory_path() / "dungeon-test-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    m_dir = pattern;
    fs::current_path(m_dir);
    fs::create_directories(m_dir / "Assets" / "bin");
    WriteSettings("Dungeon 800 608 0\n");
    Input::s_keyStateOverride = m_keys.data();
    Game::Instance()->m_idleDelay = 0;
    m_out = std::make_unique<CoutCapture>();
}

void GameTest::TearDown()
{
    m_out.reset();
    Input::s_keyStateOverride = nullptr;
    if (!m_oldDir.empty())
    {
        fs::current_path(m_oldDir);
    }
    if (!m_dir.empty())
    {
        std::error_code ignored;
        fs::remove_all(m_dir, ignored);
    }
}

void GameTest::WriteSettings(const std::string& content)
{
    WriteFile(m_dir / "Assets" / "ini" / "game.ini", content);
}

void GameTest::InstallRealAssets()
{
    const fs::path source = SourceAssets();
    for (const char* folder : {"GameState", "Sprites", "Textures", "Maps", "Fonts"})
    {
        if (fs::exists(source / folder))
        {
            fs::copy(source / folder, m_dir / "Assets" / folder,
                     fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        }
    }
}

void GameTest::InstallTestPictures()
{
    const fs::path a = m_dir / "Assets";
    for (const char* name : {"MENU", "PAUSE", "GUIDE", "SCORES", "WIN", "LOSE"})
    {
        WritePicture(a / "GameState" / (std::string(name) + "_background.png"), 800, 608);
    }
    WritePicture(a / "GameState" / "buttonPlay.png", 128, 49);
    WritePicture(a / "GameState" / "buttonScores.png", 192, 49);
    WritePicture(a / "GameState" / "buttonGuide.png", 160, 50);
    WritePicture(a / "GameState" / "buttonExit.png", 128, 50);
    WritePicture(a / "Sprites" / "Gold.png", 32, 32);
    WritePicture(a / "Sprites" / "Player.png", 64, 128);
    WritePicture(a / "Sprites" / "Interface.png", 209, 122);
    for (const char* name : {"Stuck", "Invisible", "Increase", "Decrease"})
    {
        WritePicture(a / "Sprites" / (std::string("TextBox_") + name + ".png"), 524, 255);
    }
    for (const char* name : {"floor", "wall", "objects"})
    {
        WritePicture(a / "Textures" / "Tilesets" / "final" / (std::string(name) + ".png"), 1600,
                     608);
    }
}

void GameTest::Start()
{
    ASSERT_TRUE(Game::Instance()->Initialize());
}

bool GameTest::Step()
{
    return Game::Instance()->Step();
}

void GameTest::Frame()
{
    Game* game = Game::Instance();
    while (!game->m_quit && !game->Step())
    {
    }
}

void GameTest::Frames(int count)
{
    for (int i = 0; i < count; ++i)
    {
        Frame();
    }
}

void GameTest::PushMouseMotion(int x, int y)
{
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.x = x;
    event.motion.y = y;
    SDL_PushEvent(&event);
}

void GameTest::PushMouseButton(int x, int y, Uint8 button, bool down)
{
    SDL_Event event{};
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.button = button;
    event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.button.x = x;
    event.button.y = y;
    SDL_PushEvent(&event);
}

void GameTest::PushQuit()
{
    SDL_Event event{};
    event.type = SDL_QUIT;
    SDL_PushEvent(&event);
}

} // namespace harness

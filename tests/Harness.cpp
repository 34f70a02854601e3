#include "tests/Harness.h"

#include "core/Game.h"
#include "graphics/Util.h"

#include <SDL_image.h>

#include <algorithm>

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

void WritePicture(const fs::path& path, int width, int height, SDL_Color color)
{
    fs::create_directories(path.parent_path());
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGBA32);
    ASSERT_NE(surface, nullptr);
    SDL_FillRect(surface, nullptr,
                 SDL_MapRGBA(surface->format, color.r, color.g, color.b, color.a));
    ASSERT_EQ(IMG_SavePNG(surface, path.string().c_str()), 0) << IMG_GetError();
    SDL_FreeSurface(surface);
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
    m_scratch = std::make_unique<ScratchFolder>("dungeon-test");
    m_dir = m_scratch->Path();
    WriteSettings("Dungeon 800 608 0\n");
    m_out = std::make_unique<CoutCapture>();
}

void GameTest::TearDown()
{
    m_out.reset();
    m_scratch.reset();
}

void GameTest::InstallTestPictures()
{
    for (const PictureSize& picture : kPictures)
    {
        WritePicture(m_dir / NativePath(picture.path), picture.width, picture.height);
    }
}

void GameTest::Start()
{
    ASSERT_TRUE(Game::Instance()->Initialize());
}

bool GameTest::Step()
{
    return Game::Instance()->Step(ThePlatform());
}

void GameTest::Frames(int count)
{
    for (int i = 0; i < count; ++i)
    {
        Frame();
    }
}

} // namespace harness

#include "tests/play/ScriptedPlay.h"

#include "core/Game.h"
#include "core/GameState.h"
#include "core/Input.h"
#include "core/PlayState.h"
#include "core/Screens.h"
#include "gameplay/MenuState.h"
#include "gameplay/Player.h"
#include "gameplay/ScoresState.h"
#include "graphics/Objects.h"
#include "world/Map.h"

#include <cstdlib>
#include <deque>
#include <fstream>
#include <iostream>
#include <limits>
#include <streambuf>
#include <unistd.h>

namespace fs = std::filesystem;

namespace scripted
{

ScratchFolder::ScratchFolder(const std::string& prefix, int width, int height)
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::string pattern = (fs::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (mkdtemp(pattern.data()) == nullptr)
    {
        std::cerr << "cannot make a scratch folder\n";
        std::exit(2);
    }
    m_dir = pattern;
    const fs::path source = fs::path(DUNGEON_SOURCE_DIR) / "Assets";
    fs::create_directories(m_dir / "Assets" / "bin");
    for (const char* folder : {"GameState", "Sprites", "Textures", "Maps", "Fonts"})
    {
        if (fs::exists(source / folder))
        {
            fs::copy(source / folder, m_dir / "Assets" / folder, fs::copy_options::recursive);
        }
    }
    fs::create_directories(m_dir / "Assets" / "ini");
    {
        std::ofstream settings(m_dir / "Assets" / "ini" / "game.ini");
        settings << "Dungeon " << width << ' ' << height << " 0\n";
    }
    m_oldDir = fs::current_path();
    fs::current_path(m_dir);
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
    fs::current_path(m_oldDir, ignored);
    fs::remove_all(m_dir, ignored);
}

namespace
{
class NullBuffer : public std::streambuf
{
protected:
    int overflow(int c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

NullBuffer s_null;

constexpr int kMenuButtonX = 100;
constexpr int kPlayY = 330;
constexpr int kScoresY = 390;
constexpr int kGuideY = 450;
constexpr int kExitY = 515;

// Enough frames for any single screen change.
constexpr int kScreenFrames = 5;
// A game cannot last longer than its clock with every bonus.
constexpr int kGameFrames = (kGameSeconds + kGoldToWin * kTimeBonus + 2) * kUpdatesPerSecond;

bool Free(const CollisionGrid& grid, Cell c)
{
    return c.column >= 0 && c.column < kMapColumns && c.row >= 0 && c.row < kMapRows &&
           grid[static_cast<std::size_t>(c.row * kMapColumns + c.column)] != 1;
}

// Shortest path from `from` to the nearest of `targets`, without `from`.
std::vector<Cell> PathToNearest(const CollisionGrid& grid, Cell from,
                                const std::vector<Cell>& targets)
{
    std::array<int, kMapCells> previous;
    previous.fill(-1);
    const auto index = [](Cell c) { return c.row * kMapColumns + c.column; };
    std::deque<Cell> queue{from};
    previous[static_cast<std::size_t>(index(from))] = index(from);
    while (!queue.empty())
    {
        const Cell cell = queue.front();
        queue.pop_front();
        for (const Cell& target : targets)
        {
            if (cell == target)
            {
                std::vector<Cell> path;
                for (Cell c = cell; !(c == from);)
                {
                    path.insert(path.begin(), c);
                    const int p = previous[static_cast<std::size_t>(index(c))];
                    c = Cell{p % kMapColumns, p / kMapColumns};
                }
                return path;
            }
        }
        for (const Cell step : {Cell{-1, 0}, Cell{1, 0}, Cell{0, -1}, Cell{0, 1}})
        {
            const Cell next{cell.column + step.column, cell.row + step.row};
            if (Free(grid, next) && previous[static_cast<std::size_t>(index(next))] < 0)
            {
                previous[static_cast<std::size_t>(index(next))] = index(cell);
                queue.push_back(next);
            }
        }
    }
    return {};
}
} // namespace

SilentCout::SilentCout() : m_old(std::cout.rdbuf(&s_null)) {}

SilentCout::~SilentCout()
{
    std::cout.rdbuf(m_old);
}

std::vector<Cell> RouteThroughGold()
{
    const Map* map = Map::Instance();
    std::vector<Cell> gold;
    for (const auto& piece : map->m_events)
    {
        if (piece->active)
        {
            gold.push_back(Cell{piece->m_x / kCellSize, piece->m_y / kCellSize});
        }
    }
    Cell at{map->m_player->m_x / kCellSize, map->m_player->m_y / kCellSize};
    std::vector<Cell> route;
    while (!gold.empty())
    {
        if (std::erase(gold, at) > 0)
        {
            continue;
        }
        const std::vector<Cell> leg = PathToNearest(map->m_collisionGrid, at, gold);
        if (leg.empty())
        {
            return {};
        }
        route.insert(route.end(), leg.begin(), leg.end());
        at = leg.back();
    }
    return route;
}

unsigned FavourableSeed(unsigned from)
{
    // Each piece draws one number: 0 hides, 1 sticks, 2 adds time, 3 takes it.
    for (unsigned seed = from;; ++seed)
    {
        std::srand(seed);
        int stuck = 0;
        int balance = 0;
        for (int piece = 0; piece < kGoldToWin; ++piece)
        {
            const int effect = std::rand() % 4;
            stuck += effect == 1 ? 1 : 0;
            balance += effect == 2 ? 1 : (effect == 3 ? -1 : 0);
        }
        if (stuck <= 2 && balance >= 0)
        {
            return seed;
        }
    }
}

const char* Name(Screen screen)
{
    switch (screen)
    {
    case Screen::None:
        return "no screen";
    case Screen::Menu:
        return "the menu";
    case Screen::Play:
        return "the play screen";
    case Screen::Pause:
        return "the pause screen";
    case Screen::Guide:
        return "the guide";
    case Screen::Scores:
        return "the scores screen";
    case Screen::Win:
        return "the win screen";
    case Screen::Lose:
        return "the lose screen";
    }
    return "?";
}

Driver::Driver()
{
    Input::s_keyStateOverride = m_keys.data();
    Game::Instance()->m_idleDelay = 0;
}

Driver::~Driver()
{
    Input::s_keyStateOverride = nullptr;
}

bool Driver::Fail(const std::string& message)
{
    std::cerr << "FAILED after " << m_frames << " frames: " << message << std::endl;
    m_failed = true;
    return false;
}

bool Driver::Start()
{
    if (!Game::Instance()->Initialize())
    {
        return Fail("the game did not start");
    }
    Frame();
    return Expect(Screen::Menu, "after start-up");
}

void Driver::Shutdown()
{
    Game::Instance()->Shutdown();
}

void Driver::Frame()
{
    Game* game = Game::Instance();
    while (!game->m_quit && !game->Step())
    {
    }
    ++m_frames;
}

void Driver::Frames(int count)
{
    for (int i = 0; i < count; ++i)
    {
        Frame();
    }
}

Screen Driver::Front() const
{
    const Game* game = Game::Instance();
    if (game->m_quit || game->m_states.empty())
    {
        return Screen::None;
    }
    GameState* front = game->m_states.front().get();
    if (dynamic_cast<MenuState*>(front) != nullptr)
    {
        return Screen::Menu;
    }
    if (dynamic_cast<PlayState*>(front) != nullptr)
    {
        return Screen::Play;
    }
    if (dynamic_cast<PauseState*>(front) != nullptr)
    {
        return Screen::Pause;
    }
    if (dynamic_cast<GuideState*>(front) != nullptr)
    {
        return Screen::Guide;
    }
    if (dynamic_cast<ScoresState*>(front) != nullptr)
    {
        return Screen::Scores;
    }
    if (dynamic_cast<WinState*>(front) != nullptr)
    {
        return Screen::Win;
    }
    if (dynamic_cast<LoseState*>(front) != nullptr)
    {
        return Screen::Lose;
    }
    return Screen::None;
}

bool Driver::Expect(Screen screen, const char* when)
{
    if (Front() != screen)
    {
        return Fail(std::string(when) + ": expected " + Name(screen) + ", found " + Name(Front()));
    }
    return true;
}

bool Driver::Click(int x, int y)
{
    SDL_Event event{};
    event.type = SDL_MOUSEBUTTONDOWN;
    event.button.button = SDL_BUTTON_LEFT;
    event.button.state = SDL_PRESSED;
    event.button.x = x;
    event.button.y = y;
    SDL_PushEvent(&event);
    Frame();
    event.type = SDL_MOUSEBUTTONUP;
    event.button.state = SDL_RELEASED;
    SDL_PushEvent(&event);
    Frame();
    return true;
}

bool Driver::ClickPlay()
{
    if (!Expect(Screen::Menu, "before clicking Play"))
    {
        return false;
    }
    Click(kMenuButtonX, kPlayY);
    return Expect(Screen::Play, "after clicking Play");
}

bool Driver::TapUntil(int scancode, Screen screen, const char* when)
{
    Hold(scancode);
    for (int i = 0; i < kScreenFrames && Front() != screen; ++i)
    {
        Frame();
    }
    Release(scancode);
    return Expect(screen, when);
}

bool Driver::VisitScores()
{
    if (!Expect(Screen::Menu, "before clicking Scores"))
    {
        return false;
    }
    Click(kMenuButtonX, kScoresY);
    if (!Expect(Screen::Scores, "after clicking Scores"))
    {
        return false;
    }
    Frames(3);
    const auto* scores = dynamic_cast<ScoresState*>(Game::Instance()->m_states.front().get());
    m_scoreLines.clear();
    for (const Text& line : scores->m_scoreTexts)
    {
        m_scoreLines.push_back(line.m_text);
    }
    return TapUntil(kKeyReturn, Screen::Menu, "after Return on the scores screen");
}

bool Driver::VisitGuide()
{
    if (!Expect(Screen::Menu, "before clicking Guide"))
    {
        return false;
    }
    Click(kMenuButtonX, kGuideY);
    if (!Expect(Screen::Guide, "after clicking Guide"))
    {
        return false;
    }
    Frames(3);
    return TapUntil(kKeyReturn, Screen::Menu, "after Return on the guide");
}

bool Driver::ClickExit()
{
    if (!Expect(Screen::Menu, "before clicking Exit"))
    {
        return false;
    }
    Click(kMenuButtonX, kExitY);
    if (!Game::Instance()->m_quit)
    {
        return Fail("Exit did not end the game");
    }
    return true;
}

bool Driver::PauseAndResume()
{
    if (!Expect(Screen::Play, "before P"))
    {
        return false;
    }
    ReleaseAll();
    if (!TapUntil(kKeyP, Screen::Pause, "after P"))
    {
        return false;
    }
    const std::int32_t timeLeft = Map::Instance()->m_timeLeft;
    const std::int32_t frameCounter = Map::Instance()->m_frameCounter;
    Frames(30);
    if (Map::Instance()->m_timeLeft != timeLeft || Map::Instance()->m_frameCounter != frameCounter)
    {
        return Fail("the clock ran during the pause");
    }
    return TapUntil(kKeyReturn, Screen::Play, "after Return on the pause screen");
}

bool Driver::PauseToMenu()
{
    ReleaseAll();
    if (!TapUntil(kKeyP, Screen::Pause, "after P"))
    {
        return false;
    }
    Frames(2);
    return TapUntil(kKeySpace, Screen::Menu, "after Space on the pause screen");
}

bool Driver::ReturnToMenu()
{
    const Screen now = Front();
    if (now != Screen::Win && now != Screen::Lose)
    {
        return Fail(std::string("expected the win or lose screen, found ") + Name(now));
    }
    Frames(2);
    return TapUntil(kKeyReturn, Screen::Menu, "after Return on the win or lose screen");
}

bool Driver::WaitForLoss()
{
    if (!Expect(Screen::Play, "before waiting"))
    {
        return false;
    }
    ReleaseAll();
    for (int i = 0; i < kGameFrames && Front() == Screen::Play; ++i)
    {
        Frame();
    }
    return Expect(Screen::Lose, "after waiting for the clock");
}

bool Driver::WalkToWin(int pauseAtStep)
{
    if (!Expect(Screen::Play, "before walking"))
    {
        return false;
    }
    const std::vector<Cell> route = RouteThroughGold();
    if (route.empty())
    {
        return Fail("no route through every piece of gold");
    }
    const Player& player = *Map::Instance()->m_player;
    std::size_t next = 0;
    for (int i = 0; i < kGameFrames && Front() == Screen::Play; ++i)
    {
        if (!player.m_moving)
        {
            const Cell at{player.m_x / kCellSize, player.m_y / kCellSize};
            if (next < route.size() && route[next] == at)
            {
                ++next;
            }
            if (static_cast<int>(next) == pauseAtStep)
            {
                pauseAtStep = -1;
                if (!PauseAndResume())
                {
                    return false;
                }
                continue;
            }
            ReleaseAll();
            if (next < route.size())
            {
                const Cell to = route[next];
                if (to.column < at.column)
                {
                    Hold(kKeyLeft);
                }
                else if (to.column > at.column)
                {
                    Hold(kKeyRight);
                }
                else if (to.row < at.row)
                {
                    Hold(kKeyUp);
                }
                else
                {
                    Hold(kKeyDown);
                }
            }
        }
        Frame();
    }
    ReleaseAll();
    if (Front() == Screen::Lose)
    {
        return false;
    }
    return Expect(Screen::Win, "after walking the route");
}

} // namespace scripted

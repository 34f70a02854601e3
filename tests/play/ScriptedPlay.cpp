#include "tests/play/ScriptedPlay.h"

#include "core/Game.h"
#include "core/GameState.h"
#include "core/Input.h"
#include "core/PlayState.h"
#include "core/Screens.h"
#include "gameplay/MenuState.h"
#include "gameplay/Player.h"
#include "gameplay/ScoresState.h"
#include "world/Map.h"

#include <iostream>

namespace scripted
{

namespace
{
constexpr int kMenuButtonX = 100;
constexpr int kPlayY = 330;
constexpr int kScoresY = 390;
constexpr int kGuideY = 450;
constexpr int kExitY = 515;

// Enough frames for any single screen change.
constexpr int kScreenFrames = 5;
// A game cannot last longer than its clock with every bonus.
constexpr int kGameFrames = (kGameSeconds + kGoldToWin * kTimeBonus + 2) * kUpdatesPerSecond;

const char* Name(Screen screen)
{
    static const char* const kNames[] = {"no screen",        "the menu",       "the play screen",
                                         "the pause screen", "the guide",      "the scores screen",
                                         "the win screen",   "the lose screen"};
    return kNames[static_cast<int>(screen)];
}

template <typename T> bool Is(GameState* state)
{
    return dynamic_cast<T*>(state) != nullptr;
}
} // namespace

Driver::Driver()
{
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
    support::Frame();
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
    const std::pair<bool, Screen> kinds[] = {
        {Is<MenuState>(front), Screen::Menu},     {Is<PlayState>(front), Screen::Play},
        {Is<PauseState>(front), Screen::Pause},   {Is<GuideState>(front), Screen::Guide},
        {Is<ScoresState>(front), Screen::Scores}, {Is<WinState>(front), Screen::Win},
        {Is<LoseState>(front), Screen::Lose}};
    for (const auto& [is, screen] : kinds)
    {
        if (is)
        {
            return screen;
        }
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

bool Driver::ClickOnMenu(int y, Screen screen, const char* button)
{
    if (!Expect(Screen::Menu, (std::string("before clicking ") + button).c_str()))
    {
        return false;
    }
    support::PushMouseButton(kMenuButtonX, y, SDL_BUTTON_LEFT, true);
    Frame();
    support::PushMouseButton(kMenuButtonX, y, SDL_BUTTON_LEFT, false);
    Frame();
    return Expect(screen, (std::string("after clicking ") + button).c_str());
}

bool Driver::ClickPlay()
{
    return ClickOnMenu(kPlayY, Screen::Play, "Play");
}

bool Driver::TapUntil(int scancode, Screen screen, const char* when)
{
    m_keys.Hold(scancode);
    for (int i = 0; i < kScreenFrames && Front() != screen; ++i)
    {
        Frame();
    }
    m_keys.Release(scancode);
    return Expect(screen, when);
}

bool Driver::VisitScores()
{
    if (!ClickOnMenu(kScoresY, Screen::Scores, "Scores"))
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
    if (!ClickOnMenu(kGuideY, Screen::Guide, "Guide"))
    {
        return false;
    }
    Frames(3);
    return TapUntil(kKeyReturn, Screen::Menu, "after Return on the guide");
}

bool Driver::ClickExit()
{
    return ClickOnMenu(kExitY, Screen::None, "Exit");
}

bool Driver::PauseAndResume()
{
    if (!Expect(Screen::Play, "before P"))
    {
        return false;
    }
    m_keys.ReleaseAll();
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
    m_keys.ReleaseAll();
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
    m_keys.ReleaseAll();
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
    support::RouteWalker walker(support::RouteThroughGold(*Map::Instance()));
    if (walker.Empty())
    {
        return Fail("no route through every piece of gold");
    }
    const Player& player = *Map::Instance()->m_player;
    for (int i = 0; i < kGameFrames && Front() == Screen::Play; ++i)
    {
        if (walker.Steer(player, m_keys) && static_cast<int>(walker.Reached()) == pauseAtStep)
        {
            pauseAtStep = -1;
            if (!PauseAndResume())
            {
                return false;
            }
            continue;
        }
        Frame();
    }
    m_keys.ReleaseAll();
    return Front() != Screen::Lose && Expect(Screen::Win, "after walking the route");
}

} // namespace scripted

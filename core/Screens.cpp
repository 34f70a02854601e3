#include "core/Screens.h"

#include "core/Game.h"
#include "core/Input.h"
#include "core/ResultLine.h"
#include "gameplay/MenuState.h"
#include "gameplay/Player.h"
#include "gameplay/Rules.h"
#include "graphics/Log.h"
#include "graphics/Objects.h"
#include "graphics/ResourceManager.h"
#include "graphics/View.h"
#include "world/Level.h"
#include "world/Map.h"

#include <string>

namespace
{
// The construction all four picture screens share.
std::unique_ptr<Background> Build(GameState& screen, const std::string& name, int assets,
                                  const char* tag)
{
    LogBlock(name + " constructor called...");
    screen.m_alive = true;
    screen.m_running = true;
    ResourceManager::Instance()->Initialize(assets);
    auto background = std::make_unique<Background>(tag);
    LogBlock(name + " constructor initialized successfully...");
    return background;
}

void Destroy(std::unique_ptr<Background>& background, const std::string& name)
{
    LogBlock(name + " destructor called...");
    background.reset();
    LogBlock(name + " destructor completed successfully.");
}

} // namespace

void UpdateOverPrevious(GameState& screen, ReturnKey returnKey)
{
    const Input* input = Input::Instance();
    screen.m_keys = input->m_keys;
    if (input->m_quit || screen.Held(kKeyEscape))
    {
        screen.End();
        screen.m_previous->m_alive = false;
    }
    if (returnKey == ReturnKey::kHeld ? screen.Held(kKeyReturn) : input->Pressed(kKeyReturn))
    {
        screen.End();
        screen.m_previous->m_running = true;
    }
}

namespace
{
// The win and lose screens stand alone in the queue.
void UpdateAfterGame(GameState& screen)
{
    const Input* input = Input::Instance();
    screen.m_keys = input->m_keys;
    if (input->m_quit || screen.Held(kKeyEscape))
    {
        screen.End();
    }
    if (screen.Held(kKeyReturn))
    {
        Game::Instance()->PushStateBack(std::make_unique<MenuState>(&screen));
        screen.End();
    }
}

void DrawBackground(const std::unique_ptr<Background>& background)
{
    background->Draw();
}

// The result line in the gold of the pictures' titles, over the same soft
// drop shadow as their painted words.
constexpr SDL_Color kResultColour{255, 240, 160, 255};
constexpr SDL_Color kResultShadow{0, 0, 0, 200};
constexpr int kShadowOffset = 2;

// The font was opened by the game just played; taking it from the cache adds
// no narration. The words are drawn at their own size, not stretched.
void WriteResult(Text& line, const std::string& words)
{
    line.Prepare("Fixedsys", 0.0f, 0.0f);
    line.SetText(words);
    int width = 0;
    int height = 0;
    if (line.m_texture != nullptr &&
        SDL_QueryTexture(line.m_texture, nullptr, nullptr, &width, &height) == 0)
    {
        line.m_width = static_cast<float>(width);
        line.m_height = static_cast<float>(height);
    }
}

void DrawResult(const Text& line, int y)
{
    const int x = (kViewWidth - static_cast<int>(line.m_width)) / 2;
    line.Draw(x + kShadowOffset, y + kShadowOffset, kResultShadow);
    line.Draw(x, y, kResultColour);
}
} // namespace

PauseState::PauseState(GameState* previous) : GameState(previous)
{
    m_background = Build(*this, "PauseState", kPauseAssets, "Pause");
}

PauseState::~PauseState()
{
    Destroy(m_background, "PauseState");
}

bool PauseState::Update()
{
    UpdateOverPrevious(*this, ReturnKey::kHeld);
    // P, or a pad's Start, closes the pause as it opened it; only a new
    // press does, since the press that paused is still held in its first frames.
    if (Input::Instance()->Pressed(kKeyP))
    {
        End();
        m_previous->m_running = true;
    }
    // Space leaves the game for a new menu; the suspended game ends unseen.
    if (Held(kKeySpace))
    {
        m_previous->m_alive = false;
        End();
        Game::Instance()->PushStateBack(std::make_unique<MenuState>(this));
    }
    return true;
}

bool PauseState::Render()
{
    DrawBackground(m_background);
    return true;
}

GuideState::GuideState(GameState* previous) : GameState(previous)
{
    m_background = Build(*this, "GuideState", kGuideAssets, "Guide");
}

// The guide leaves quietly: only its background narrates its end.
GuideState::~GuideState() = default;

bool GuideState::Update()
{
    UpdateOverPrevious(*this, ReturnKey::kNewPress);
    return true;
}

bool GuideState::Render()
{
    DrawBackground(m_background);
    return true;
}

WinState::WinState(GameState* previous) : GameState(previous)
{
    m_background = Build(*this, "WinState", kWinAssets, "Win");
    // The number the rules have just appended to the score file.
    const Player* player = Map::Instance()->m_player.get();
    WriteResult(m_result, "Score: " + std::to_string(player != nullptr ? player->m_score : 0));
}

WinState::~WinState()
{
    Destroy(m_background, "WinState");
}

bool WinState::Update()
{
    UpdateAfterGame(*this);
    return true;
}

bool WinState::Render()
{
    DrawBackground(m_background);
    DrawResult(m_result, kResultWinY);
    return true;
}

LoseState::LoseState(GameState* previous) : GameState(previous)
{
    m_background = Build(*this, "LoseState", kLoseAssets, "Lose");
    WriteResult(m_result,
                "Gold: " + std::to_string(g_goldCount) + " of " + std::to_string(kGoldToWin));
}

LoseState::~LoseState()
{
    Destroy(m_background, "LoseState");
}

bool LoseState::Update()
{
    UpdateAfterGame(*this);
    return true;
}

bool LoseState::Render()
{
    DrawBackground(m_background);
    DrawResult(m_result, kResultLoseY);
    return true;
}

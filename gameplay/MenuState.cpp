#include "gameplay/MenuState.h"

#include "core/Game.h"
#include "core/Input.h"
#include "core/PlayState.h"
#include "core/Screens.h"
#include "core/Sound.h"
#include "gameplay/MenuLayout.h"
#include "gameplay/ScoresState.h"
#include "graphics/Log.h"
#include "graphics/Objects.h"
#include "graphics/ResourceManager.h"

#include <SDL.h>

MenuState::MenuState(GameState* previous) : GameState(previous)
{
    LogBlock("MenuState constructor called...");
    Initialize();
    LogBlock("MenuState constructor initialized successfully...");
}

MenuState::~MenuState()
{
    LogBlock("MenuState destructor called...");
    DeleteObjects(m_gameObjects);
    LogBlock("MenuState destructor completed successfully.");
}

Button* MenuState::AddButton(const ButtonPlace& place)
{
    auto button = std::make_unique<Button>(place.tag, place.x, place.y, place.width, place.height);
    Button* raw = button.get();
    m_gameObjects.push_back(std::move(button));
    return raw;
}

void MenuState::Initialize()
{
    LogLine("MenuState Initialize function called...");
    m_alive = true;
    m_running = true;

    // Every new menu replaces the cursor; it stays a crosshair on every screen.
    Input* input = Input::Instance();
    SDL_FreeCursor(input->m_cursor);
    input->m_cursor = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_CROSSHAIR);
    SDL_SetCursor(input->m_cursor);

    ResourceManager::Instance()->Initialize(kMenuAssets);
    m_gameObjects.push_back(std::make_unique<Background>("Menu"));
    m_buttonPlay = AddButton(kMenuButtons[kButtonPlay]);
    m_buttonScores = AddButton(kMenuButtons[kButtonScores]);
    m_buttonGuide = AddButton(kMenuButtons[kButtonGuide]);
    m_buttonExit = AddButton(kMenuButtons[kButtonExit]);
    LogLine("Number of objects currently in container m_gameObjects(MenuState): " +
            ToString(static_cast<std::uint32_t>(m_gameObjects.size())));
    LogLine("MenuState Initialized successfully...");
}

bool MenuState::Update()
{
    Input* input = Input::Instance();
    m_keys = input->m_keys;
    if (input->m_quit)
    {
        End();
    }
    if (Held(kKeyEscape))
    {
        End();
    }
    HandleClick(*m_buttonPlay);
    HandleClick(*m_buttonGuide);
    HandleClick(*m_buttonExit);
    HandleClick(*m_buttonScores);
    for (std::unique_ptr<GameObject>& object : m_gameObjects)
    {
        object->Update();
    }
    return true;
}

bool MenuState::Render()
{
    for (std::unique_ptr<GameObject>& object : m_gameObjects)
    {
        object->Draw();
    }
    return true;
}

void MenuState::HandleClick(const Button& button)
{
    const Input* input = Input::Instance();
    const auto mx = static_cast<int>(input->m_mouseX);
    const auto my = static_cast<int>(input->m_mouseY);
    const AABB pointer = AABB::FromRect(static_cast<float>(mx), static_cast<float>(my), 1.0f, 1.0f);
    if (!pointer.Overlaps(button.m_bound) || input->m_mouseLeft != 1)
    {
        return;
    }
    Sound::Instance()->Play(kSoundClick);
    Game* game = Game::Instance();
    if (button.m_tag == "buttonPlay")
    {
        game->PushStateBack(std::make_unique<PlayState>(this));
        End();
    }
    else if (button.m_tag == "buttonScores")
    {
        game->PushStateFront(std::make_unique<ScoresState>(this));
        m_running = false;
    }
    else if (button.m_tag == "buttonGuide")
    {
        game->PushStateFront(std::make_unique<GuideState>(this));
        m_running = false;
    }
    else if (button.m_tag == "buttonExit")
    {
        End();
    }
}

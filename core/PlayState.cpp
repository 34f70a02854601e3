#include "core/PlayState.h"

#include "core/Game.h"
#include "core/Input.h"
#include "core/Screens.h"
#include "core/Sound.h"
#include "graphics/Log.h"
#include "graphics/ResourceManager.h"
#include "world/FileManager.h"
#include "world/Map.h"

PlayState::PlayState(GameState* previous) : GameState(previous)
{
    LogBlock("PlayState constructor called...");
    m_alive = true;
    m_running = true;
    ResourceManager::Instance()->Initialize(kPlayAssets);
    Map* map = Map::Instance();
    map->Initialize();
    map->LoadMap(kCollisionMapKey);
    map->LoadMap(kFloorMapKey);
    map->LoadMap(kWallMapKey);
    map->LoadMap(kObjectMapKey);
    LogBlock("PlayState constructor initialized successfully...");
}

PlayState::~PlayState()
{
    LogBlock("PlayState destructor called...");
    LogBlock("PlayState destructor completed successfully.");
}

bool PlayState::Update()
{
    const Input* input = Input::Instance();
    m_keys = input->m_keys;
    // The world moves first, so the frame in which the player pauses or quits
    // is still played.
    Map* map = Map::Instance();
    map->Update();
    Sound* sound = Sound::Instance();
    sound->KeepAmbience();
    if (input->m_quit || Held(kKeyEscape))
    {
        End();
    }
    // A game that loses the keyboard or a pad pauses as if P had been pressed.
    // P pauses on its press, not while held: the press that resumes the game
    // from the pause screen would otherwise pause it again at once.
    if (input->Pressed(kKeyP) || input->m_focusLost || input->m_padLost)
    {
        Game::Instance()->PushStateFront(std::make_unique<PauseState>(this));
        m_running = false;
    }
    // The rules never leave both flags set: a win in the update the clock runs
    // out stands as a win.
    if (map->m_won && !map->m_lost)
    {
        sound->Play(kSoundWin);
        Game::Instance()->PushStateBack(std::make_unique<WinState>(this));
        End();
    }
    if (map->m_lost && !map->m_won)
    {
        sound->Play(kSoundLose);
        Game::Instance()->PushStateBack(std::make_unique<LoseState>(this));
        End();
    }
    return true;
}

bool PlayState::Render()
{
    Map::Instance()->Render();
    return true;
}

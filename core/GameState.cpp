#include "core/GameState.h"

#include "graphics/Log.h"

GameState::GameState(GameState* previous) : m_previous(previous)
{
    LogBlock("GameState Initialized successfully...");
}

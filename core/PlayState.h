#pragma once

#include "core/GameState.h"

// The screen during which the game is played. The world lives in the Map; the
// play screen rebuilds it when created, advances it and draws it.
class PlayState final : public GameState
{
public:
    explicit PlayState(GameState* previous);
    ~PlayState() override;
    bool Update() override;
    bool Render() override;
};

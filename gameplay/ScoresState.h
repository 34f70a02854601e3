#pragma once

#include "core/GameState.h"
#include "graphics/Text.h"

#include <array>
#include <memory>

class Background;

// The saved scores: the first four records of the score file, in the order
// they were saved, read anew at every visit.
class ScoresState final : public GameState
{
public:
    explicit ScoresState(GameState* previous);
    ~ScoresState() override;

    void Initialize();
    bool Update() override;
    bool Render() override;

    std::unique_ptr<Background> m_background;
    // Line i shows entry i of the list; line 4 never gets a text.
    std::array<Text, 5> m_scoreTexts;
};

#pragma once

#include "core/GameState.h"
#include "graphics/Text.h"

#include <memory>

class Background;

// The four screens that show one picture and wait for a key.

// Over a suspended game: Return or P resumes it, Space goes to a new menu, Escape
// or closing the window ends the program.
class PauseState final : public GameState
{
public:
    explicit PauseState(GameState* previous);
    ~PauseState() override;
    bool Update() override;
    bool Render() override;

    std::unique_ptr<Background> m_background;
};

// The help page over the suspended menu: Return goes back to the menu.
class GuideState final : public GameState
{
public:
    explicit GuideState(GameState* previous);
    ~GuideState() override;
    bool Update() override;
    bool Render() override;

    std::unique_ptr<Background> m_background;
};

// After a won game, with the score just saved: Return goes to a new menu.
class WinState final : public GameState
{
public:
    explicit WinState(GameState* previous);
    ~WinState() override;
    bool Update() override;
    bool Render() override;

    std::unique_ptr<Background> m_background;
    Text m_result;
};

// After a lost game, with the gold found: Return goes to a new menu.
class LoseState final : public GameState
{
public:
    explicit LoseState(GameState* previous);
    ~LoseState() override;
    bool Update() override;
    bool Render() override;

    std::unique_ptr<Background> m_background;
    Text m_result;
};

// How Return counts on a screen in front of a suspended one: while held, or
// only as a new press, for the screens the menu opens with Return, which the
// press that opened them must not close again at once.
enum class ReturnKey
{
    kHeld,
    kNewPress,
};

// The update of a screen standing in front of a suspended one (pause, guide,
// scores): close or Escape end both, Return resumes the one behind.
void UpdateOverPrevious(GameState& screen, ReturnKey returnKey);

#pragma once

#include "core/GameState.h"
#include "graphics/GameObject.h"

#include <list>
#include <memory>

class Button;
struct ButtonPlace;

// The main menu: a background and the buttons Play, Scores, Guide and Exit.
// It also sets the program's mouse cursor to a crosshair.
class MenuState final : public GameState
{
public:
    explicit MenuState(GameState* previous);
    ~MenuState() override;

    void Initialize();
    bool Update() override;
    bool Render() override;

    // A button is pressed while the left mouse button is down over it: the
    // state of the button counts, not a click, so holding it down over a
    // button triggers that button.
    void HandleClick(const Button& button);

    Button* m_buttonPlay = nullptr;
    Button* m_buttonGuide = nullptr;
    Button* m_buttonScores = nullptr;
    Button* m_buttonExit = nullptr;
    std::list<std::unique_ptr<GameObject>> m_gameObjects;

private:
    Button* AddButton(const ButtonPlace& place);
};

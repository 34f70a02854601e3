#pragma once

#include "core/GameState.h"
#include "gameplay/MenuLayout.h"
#include "graphics/GameObject.h"

#include <array>
#include <cstddef>
#include <list>
#include <memory>

class Button;

// The main menu: a background and the buttons Play, Scores, Guide and Exit,
// pressed with the mouse or with Return on the highlighted one. It also sets
// the program's mouse cursor to a crosshair.
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
    // The button Return presses, in the buttons' order from the top: a new
    // menu starts on Play, and a menu coming back from the guide or the
    // scores keeps it where it was.
    std::size_t m_highlight = 0;

private:
    Button* AddButton(const ButtonPlace& place);
    // The buttons from the top down.
    std::array<const Button*, kMenuButtons.size()> Buttons() const;
    bool UnderPointer(const Button& button) const;
    // Up and Down move the highlight, Return presses its button: new presses
    // only, so a key held over from the screen before does nothing here.
    void HandleKeys();
    void Press(const Button& button);
    void DrawHighlight() const;
};

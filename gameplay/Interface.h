#pragma once

#include "graphics/GameObject.h"
#include "graphics/Text.h"

// Where the panel stands in the view; the panel's lowest rows fall outside it.
inline constexpr int kPanelX = 559;
inline constexpr int kPanelY = 510;
inline constexpr int kPanelWidth = 209;
inline constexpr int kPanelHeight = 122;

// The heads-up display: a panel near the bottom right with the seconds left
// and the gold collected. The panel is drawn for an 800 x 608 window, so its
// lowest rows fall outside it.
class Interface final : public GameObject
{
public:
    Interface();
    ~Interface() override;

    // Shows the current values, rendering a line again only when it changed.
    void Update() override;
    bool Draw() override;

    Text m_timeText;
    Text m_goldText;
    Sprite m_sprite;

private:
    void LoadText(Text& text);
};

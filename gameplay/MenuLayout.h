#pragma once

// The main menu's buttons: their pictures and where they stand. The game, the
// asset generator and the tests (which click a button through its rectangle)
// all read this table.

#include <array>

struct ButtonPlace
{
    const char* tag;
    const char* label;
    int x;
    int y;
    int width;
    int height;
};

enum MenuButton : int
{
    kButtonPlay = 0,
    kButtonScores = 1,
    kButtonGuide = 2,
    kButtonExit = 3,
};

// Buttons stand in one column at x 70.
inline constexpr std::array<ButtonPlace, 4> kMenuButtons{{
    {"buttonPlay", "Play", 70, 310, 128, 49},
    {"buttonScores", "Scores", 70, 371, 192, 49},
    {"buttonGuide", "Guide", 70, 432, 160, 50},
    {"buttonExit", "Exit", 70, 494, 128, 50},
}};

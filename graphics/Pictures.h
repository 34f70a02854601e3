#pragma once

// Every picture the game loads: its sprite tag, its stored path, the size the
// game draws it at, and the screen whose asset list registers it. The
// resource manager, the asset generator and the tests all read this table.

#include <array>

enum ScreenAssets : int
{
    kMenuAssets = 0,
    kPlayAssets = 1,
    kPauseAssets = 2,
    kGuideAssets = 3,
    kScoresAssets = 4,
    kWinAssets = 5,
    kLoseAssets = 6,
    kScreenAssetLists = 7,
};

// The window's icon; not drawn in the game, so in no screen's list.
inline constexpr const char* kWindowIconPath = "Assets\\Sprites\\Icon.png";
inline constexpr int kWindowIconSize = 64;

struct Picture
{
    const char* tag;
    const char* path;
    int width;
    int height;
    ScreenAssets screen;
};

// In the order each screen's list registers them.
inline constexpr std::array<Picture, 20> kPictures{{
    {"Menu", "Assets\\GameState\\MENU_background.png", 800, 608, kMenuAssets},
    {"buttonPlay", "Assets\\GameState\\buttonPlay.png", 128, 49, kMenuAssets},
    {"buttonScores", "Assets\\GameState\\buttonScores.png", 192, 49, kMenuAssets},
    {"buttonGuide", "Assets\\GameState\\buttonGuide.png", 160, 50, kMenuAssets},
    {"buttonExit", "Assets\\GameState\\buttonExit.png", 128, 50, kMenuAssets},
    {"Gold", "Assets\\Sprites\\Gold.png", 32, 32, kPlayAssets},
    {"Player", "Assets\\Sprites\\Player.png", 64, 128, kPlayAssets},
    {"Floors", "Assets\\Textures\\Tilesets\\final\\floor.png", 1600, 608, kPlayAssets},
    {"Walls", "Assets\\Textures\\Tilesets\\final\\wall.png", 1600, 608, kPlayAssets},
    {"Objects", "Assets\\Textures\\Tilesets\\final\\objects.png", 1600, 608, kPlayAssets},
    {"TextBox_Stuck", "Assets\\Sprites\\TextBox_Stuck.png", 524, 255, kPlayAssets},
    {"TextBox_Invisible", "Assets\\Sprites\\TextBox_Invisible.png", 524, 255, kPlayAssets},
    {"TextBox_Increase", "Assets\\Sprites\\TextBox_Increase.png", 524, 255, kPlayAssets},
    {"TextBox_Decrease", "Assets\\Sprites\\TextBox_Decrease.png", 524, 255, kPlayAssets},
    {"Interface", "Assets\\Sprites\\Interface.png", 209, 122, kPlayAssets},
    {"Pause", "Assets\\GameState\\PAUSE_background.png", 800, 608, kPauseAssets},
    {"Guide", "Assets\\GameState\\GUIDE_background.png", 800, 608, kGuideAssets},
    {"Scores", "Assets\\GameState\\SCORES_background.png", 800, 608, kScoresAssets},
    {"Win", "Assets\\GameState\\WIN_background.png", 800, 608, kWinAssets},
    {"Lose", "Assets\\GameState\\LOSE_background.png", 800, 608, kLoseAssets},
}};

// The window's first size on a desktop too small for it. SDL's dummy display,
// which the tests use, is 1024 x 768.

#include "tests/support/Scratch.h"

#include "core/Game.h"
#include "core/Graphics.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <sstream>
#include <string>

namespace
{
struct Size
{
    const char* settings;
    int width;
    int height;
    bool reduced; // whether the line naming the size used is printed
};

void PrintTo(const Size& size, std::ostream* out)
{
    *out << '"' << size.settings << '"';
}

class Window : public testing::TestWithParam<Size>
{
};

// Each case starts the game once in a process of its own (the game is a
// singleton) and looks at the window SDL made.
TEST_P(Window, TooLargeForTheDesktopIsFittedKeepingItsShape)
{
    const Size& size = GetParam();
    support::ScratchFolder scratch("window");
    scratch.CopyAssets(size.settings);
    std::stringstream narration;
    std::streambuf* old = std::cout.rdbuf(narration.rdbuf());
    Game* game = Game::Instance();
    const bool started = game->Initialize();
    std::cout.rdbuf(old);
    ASSERT_TRUE(started) << narration.str();
    SDL_Window* window = Graphics::Instance()->m_window;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    SDL_GetWindowPosition(window, &x, &y);
    SDL_GetWindowSize(window, &width, &height);
    game->Shutdown();

    EXPECT_EQ(std::pair(width, height), std::pair(size.width, size.height));
    EXPECT_TRUE(x >= 0 && y >= 0 && x + width <= 1024 && y + height <= 768)
        << "the window is not all on the desktop: " << x << ", " << y;
    // The one line comes right after the settings were read, and no other
    // about the window.
    const std::string line =
        size.reduced ? "Window size reduced to fit the desktop: " + std::to_string(size.width) +
                           " x " + std::to_string(size.height) + "\n"
                     : "";
    const std::string text = narration.str();
    const std::string closed = "File closed: Assets\\ini\\game.ini\n";
    const std::size_t after = text.find(closed);
    ASSERT_NE(after, std::string::npos) << text;
    const std::string next = text.substr(after + closed.size(), 200);
    EXPECT_TRUE(next.starts_with(line)) << next;
    EXPECT_EQ(text.find("Window", after + closed.size() + line.size()), std::string::npos) << next;
}

INSTANTIATE_TEST_SUITE_P(Sizes, Window,
                         testing::Values(Size{"Dungeon 160 120 0", 160, 120, false},
                                         Size{"Dungeon 1024 768 0", 1024, 768, false},
                                         Size{"Dungeon 1025 768 0", 1024, 767, true},
                                         Size{"Dungeon 4000 3000 0", 1024, 768, true},
                                         Size{"Dungeon 1000 1500 0", 512, 768, true},
                                         Size{"Dungeon 99999999999 99999999999 0", 768, 768, true},
                                         Size{"Dungeon 99999999999 608 0", 1024, 120, true},
                                         // Too small to use: raised to 160 x 120.
                                         Size{"Dungeon 1 1 0", 160, 120, false},
                                         Size{"Dungeon 1 100000 0", 160, 768, true},
                                         // Fullscreen covers the desktop, as it always did.
                                         Size{"Dungeon 4000 3000 1", 1024, 768, false}),
                         [](const testing::TestParamInfo<Size>& info)
                         {
                             std::string name = info.param.settings;
                             std::replace(name.begin(), name.end(), ' ', '_');
                             return name;
                         });
} // namespace

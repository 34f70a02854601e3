// The menu's buttons under the pointer, through the frame step the main loop
// uses: every button answers a hover and a click on its first and last pixel
// column and row, and nothing answers one pixel beside it.

#include "tests/support/Play.h"
#include "tests/support/Scratch.h"

#include "core/Game.h"
#include "core/PlayState.h"
#include "core/Screens.h"
#include "gameplay/MenuLayout.h"
#include "gameplay/MenuState.h"
#include "gameplay/ScoresState.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <tuple>

namespace
{
// A pointer event at a pixel of the 800 x 608 picture (no window ID, so SDL
// hands the position on as it is).
void Push(Uint32 type, int x, int y)
{
    const Uint8 state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    SDL_Event event{.button = {type, 0, 0, 0, SDL_BUTTON_LEFT, state, 1, 0, x, y}};
    if (type == SDL_MOUSEMOTION)
    {
        event.motion = {type, 0, 0, 0, 0, x, y, 1, 1};
    }
    ASSERT_EQ(SDL_PushEvent(&event), 1);
}

// The screen in front of the queue.
std::string Front()
{
    const auto& states = Game::Instance()->m_states;
    if (states.empty())
    {
        return "none";
    }
    const GameState* front = states.front().get();
    return dynamic_cast<const MenuState*>(front) != nullptr     ? "menu"
           : dynamic_cast<const PlayState*>(front) != nullptr   ? "play"
           : dynamic_cast<const ScoresState*>(front) != nullptr ? "scores"
           : dynamic_cast<const GuideState*>(front) != nullptr  ? "guide"
                                                                : "other";
}

// A new menu alone in the queue, as the win, lose and pause screens make one.
MenuState* FreshMenu()
{
    Game* game = Game::Instance();
    game->m_states.clear();
    game->m_currentState = nullptr;
    game->m_quit = false;
    game->PushStateFront(std::make_unique<MenuState>(nullptr));
    return static_cast<MenuState*>(game->m_states.front().get());
}

TEST(MenuButtons, EachAnswersOnItsEdgePixelsAndNothingOnePixelBeside)
{
    support::SilentCout quiet(true);
    support::ScratchFolder scratch("menu");
    // Pointer events are in the picture's pixels: a one-pixel window draws it cheaply.
    scratch.CopyAssets("Dungeon 1 1 0\n");
    ASSERT_TRUE(Game::Instance()->Initialize()) << quiet.Tail() << SDL_GetError();
    support::TestPlatform platform;
    // The screen each button's click leads to.
    const std::array<std::string, kMenuButtons.size()> leadsTo{"play", "scores", "guide", "none"};
    for (std::size_t i = 0; i < kMenuButtons.size(); ++i)
    {
        const auto [tag, label, x, y, w, h] = kMenuButtons[i];
        const int midX = x + w / 2;
        const int midY = y + h / 2;
        // The four corner pixels (first and last column and row), then the
        // pixel beside each edge.
        const std::tuple<int, int, bool> probes[] = {
            {x, y, true},         {x + w - 1, y, true},
            {x, y + h - 1, true}, {x + w - 1, y + h - 1, true},
            {x - 1, midY, false}, {x + w, midY, false},
            {midX, y - 1, false}, {midX, y + h, false},
        };
        for (const auto& [px, py, inside] : probes)
        {
            SCOPED_TRACE(testing::Message() << label << " at " << px << "," << py);
            // A hover takes the highlight from another button.
            MenuState* menu = FreshMenu();
            const std::size_t other = (i + 2) % kMenuButtons.size();
            menu->m_highlight = other;
            Push(SDL_MOUSEMOTION, px, py);
            support::Frame(platform);
            EXPECT_EQ(menu->m_highlight, inside ? i : other) << "hover";
            // A click, pressed and let go within one frame.
            Push(SDL_MOUSEBUTTONDOWN, px, py);
            Push(SDL_MOUSEBUTTONUP, px, py);
            support::Frame(platform);
            EXPECT_EQ(Front(), inside ? leadsTo[i] : "menu") << "click";
        }
    }
    FreshMenu();
    Game::Instance()->Shutdown();
}
} // namespace

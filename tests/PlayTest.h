#pragma once

// A fixture for tests that play: it writes a small level of its own, starts
// the program, clicks Play the way a player does and gives short access to the
// world. Header only, so every test executable can include it.

#include "tests/Harness.h"

#include "core/Game.h"
#include "core/GameState.h"
#include "core/Input.h"
#include "gameplay/Camera.h"
#include "gameplay/Interface.h"
#include "gameplay/Player.h"
#include "graphics/Objects.h"
#include "world/Map.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace harness
{

// Where the menu's buttons can be clicked.
inline constexpr int kPlayX = 100, kPlayY = 330;
inline constexpr int kScoresX = 100, kScoresY = 390;
inline constexpr int kGuideX = 100, kGuideY = 450;

// The first seed from 1 on whose leading outcomes are `wanted`; 0 if none.
inline unsigned SeedFor(const std::vector<int>& wanted)
{
    for (unsigned seed = 1; seed < 100000; ++seed)
    {
        if (Outcomes(seed, static_cast<int>(wanted.size())) == wanted)
        {
            return seed;
        }
    }
    return 0;
}

inline const char* EffectMessage(int outcome)
{
    static const char* const kMessages[] = {"Hide Event Triggered.", "Stuck Event Triggered.",
                                            "Time Increase Event Triggered.",
                                            "Time Decreased Event Triggered."};
    return kMessages[outcome];
}

class PlayTest : public GameTest
{
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        m_grid.fill(0);
    }

    static std::string TileText(int entries)
    {
        std::string text;
        for (int k = 0; k < entries; ++k)
        {
            text += std::to_string(k % 50) + "," + std::to_string(k / 50) + " ";
            if (k % 50 == 49)
            {
                text += "\n";
            }
        }
        return text;
    }

    void WriteCollision(const CollisionGrid& grid)
    {
        std::string text;
        for (int k = 0; k < kMapCells; ++k)
        {
            text += std::to_string(grid[static_cast<std::size_t>(k)]);
            text += k % kMapColumns == kMapColumns - 1 ? "\n" : " ";
        }
        WriteFile(m_dir / "Assets" / "Maps" / "collisionMap.map", text);
    }

    // The level of m_grid with complete picture layers.
    void WriteLevel()
    {
        m_levelWritten = true;
        WriteCollision(m_grid);
        for (const char* name : {"floorMap.map", "wallMap.map", "objectMap.map"})
        {
            WriteFile(m_dir / "Assets" / "Maps" / name, TileText(m_tileEntries));
        }
    }

    // Presses the left button over a point for one frame; the release is
    // seen in the next frame, by whichever screen runs then.
    void Click(int x, int y)
    {
        PushMouseButton(x, y, SDL_BUTTON_LEFT, true);
        Frame();
        PushMouseButton(x, y, SDL_BUTTON_LEFT, false);
    }

    // Starts the program once, with test pictures (and the level of m_grid
    // unless the test wrote one); the menu is at the front.
    void Launch()
    {
        if (!m_started)
        {
            InstallTestPictures();
            if (!m_levelWritten)
            {
                WriteLevel();
            }
            Start();
            m_started = true;
        }
    }

    // Starts the program (writing the level of m_grid unless the test wrote
    // one) and clicks Play; the play screen is built but has not run a frame
    // yet. The effects then follow `seed`.
    void StartGame(unsigned seed = 1)
    {
        Launch();
        std::srand(seed);
        Click(kPlayX, kPlayY);
        ASSERT_NE(Map::Instance()->m_player, nullptr);
    }

    // P, then Space: the game is left for a new menu, which has run a frame.
    void PauseToMenu()
    {
        Hold(kKeyP);
        Frame();
        Release(kKeyP);
        Hold(kKeySpace);
        Frames(2);
        Release(kKeySpace);
    }

    static Map& World() { return *Map::Instance(); }
    static Player& Hero() { return *Map::Instance()->m_player; }
    static Game& TheGame() { return *Game::Instance(); }
    static GameState* Front()
    {
        auto& states = Game::Instance()->m_states;
        return states.empty() ? nullptr : states.front().get();
    }
    template <typename T> static T* FrontAs() { return dynamic_cast<T*>(Front()); }

    // Puts the idle player on a cell, as if it had walked there.
    static void Place(int x, int y)
    {
        Hero().m_x = x;
        Hero().m_y = y;
    }
    static std::size_t Cell(int column, int row)
    {
        return static_cast<std::size_t>(row * kMapColumns + column);
    }

    // The pickup log lines seen so far.
    std::vector<std::string> Pickups() const
    {
        std::vector<std::string> found;
        for (const std::string& line : m_out->Lines())
        {
            if (line.ends_with("Triggered."))
            {
                found.push_back(line);
            }
        }
        return found;
    }

    // Leaves `remaining` pieces on the level: the others count as collected.
    static void CollectAllBut(int remaining)
    {
        auto& events = World().m_events;
        for (std::size_t i = 0; i + static_cast<std::size_t>(remaining) < events.size(); ++i)
        {
            events[i]->active = false;
        }
        g_goldCount = static_cast<std::int32_t>(events.size()) - remaining;
    }

    std::string ScoreFile() const { return ReadFile(m_dir / "Assets" / "bin" / "scores.bin"); }

    CollisionGrid m_grid{};
    // Entries per picture layer; long tests draw less to run faster.
    int m_tileEntries = kMapCells;
    bool m_started = false;
    bool m_levelWritten = false;
};

} // namespace harness

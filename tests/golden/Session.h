#pragma once

// Plays the game from a script, the way a player would, through the same
// per-frame step the main loop uses: clicks on the menu's buttons by name,
// held keys, frame counts, a fixed random seed, walks through the gold. What
// the session itself reports is written to std::cout as lines beginning with
// "#> ", so a transcript shows the game's narration and the checks together.
// The golden runner, the soak, the valgrind session and the benchmark all
// drive the game with it.
//
// One command a line; '#' starts a comment:
//   settings <words...>     write Assets/ini/game.ini (before start)
//   scores <n>...           write the score file with these records
//   bytes <path> <hex>...   write a file of raw bytes (empty when no hex)
//   remove <path>           delete a file of the scratch folder
//   start                   Game::Initialize
//   seed <n>                seed the random effects
//   frames <n>              run n frames
//   hold <key> / release <key|all>   Return Escape Space P Left Right Up Down
//   click <button>          press and release a menu button within one frame
//   press <button> / letgo  hold the left button down over a button / let go
//   quit                    the window's close button
//   focus-lost / fullscreen the window loses the keyboard / F11
//   resize <w> <h>          the window's new size
//   walk-gold [n]           walk a shortest route through the active gold,
//                           until n pieces are collected or play ends
//   picture <name>          a hash of the frame on screen (and a PNG), and
//                           the number of texture copies that drew it
//   live                    textures, cursors and fonts alive
//   score-file              the records of the score file
//   run                     frames until the game ends
//   shutdown                Game::Shutdown
//   repeat <n> ... end      the commands between, n times
//   steady                  fail if textures, fonts, open files or memory
//                           grew since the first steady

#include "tests/support/Play.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace golden
{

struct Command
{
    std::string name;
    std::vector<std::string> args;
    std::vector<Command> body; // of a repeat
    int line = 0;
};

// Parses a script; false (with a message on std::cerr) on an unknown command.
bool Parse(std::istream& in, std::vector<Command>& commands);

class Session
{
public:
    // Picture PNGs go to `pictureDir` when it is not empty.
    explicit Session(std::filesystem::path pictureDir = {});

    // Runs the commands; false (with a message on std::cerr) when one could
    // not be carried out.
    bool Run(const std::vector<Command>& commands);

    support::TestPlatform& Platform() { return m_platform; }

private:
    bool Execute(const Command& command);
    bool Frames(int count);
    bool WalkGold(int pieces);
    void Picture(const std::string& name);
    bool Steady();

    support::TestPlatform m_platform;
    std::filesystem::path m_pictureDir;
    bool m_started = false;
    std::optional<std::array<long, 4>> m_base;
};

// Live counts of the game's textures, cursors and fonts: defined by the
// programs that wrap SDL's calls at link time, zero elsewhere.
struct LiveCounts
{
    long textures = 0;
    long cursors = 0;
    long fonts = 0;
    long copies = 0; // texture copies in the last picture
};
LiveCounts Live();

} // namespace golden

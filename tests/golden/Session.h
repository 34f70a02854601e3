#pragma once

// Plays the game from a script (tests/golden/README.md), the way a player
// would, through the same per-frame step the main loop uses.

#include "tests/support/Play.h"

#include <array>
#include <filesystem>
#include <map>
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
    explicit Session(std::filesystem::path pictureDir = {}) : m_pictureDir(std::move(pictureDir)) {}

    // Runs the commands; false (with a message on std::cerr) when one fails.
    bool Run(const std::vector<Command>& commands);

    support::TestPlatform& Platform() { return m_platform; }

private:
    bool Execute(const Command& command);

    support::TestPlatform m_platform;
    std::filesystem::path m_pictureDir;
    bool m_started = false;
    std::optional<std::array<long, 4>> m_base; // what the first steady found
    std::size_t m_recordFrom = 0;              // where the recording starts in what was played
    std::map<int, SDL_Joystick*> m_pads;       // virtual pads, by the script's number
};

} // namespace golden

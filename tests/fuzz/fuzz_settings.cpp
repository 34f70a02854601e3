// Feeds arbitrary bytes to the settings reader as Assets/ini/game.ini.
#include "core/Game.h"
#include "tests/fuzz/FuzzScratch.h"
#include "world/FileManager.h"

#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/)
{
    fuzz::EnterScratchFolder();
    return 0;
}

namespace
{
// The first four white-space separated tokens, the way formatted string
// extraction in the C locale splits them.
std::vector<std::string> Tokens(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> tokens;
    std::size_t i = 0;
    while (tokens.size() < 4)
    {
        while (i < size && std::isspace(data[i]) != 0)
        {
            ++i;
        }
        if (i == size)
        {
            break;
        }
        std::string token;
        while (i < size && std::isspace(data[i]) == 0)
        {
            token.push_back(static_cast<char>(data[i++]));
        }
        tokens.push_back(token);
    }
    tokens.resize(4);
    return tokens;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::WriteInput("Assets/ini/game.ini", data, size);
    // No reset between runs: reading must not depend on what an earlier file
    // held.
    Game* game = Game::Instance();
    bool read = false;
    {
        fuzz::SilentCout quiet;
        read = game->ReadSettings();
    }
    // The file exists: whatever it holds, reading succeeds and takes exactly
    // the first four tokens.
    if (!read)
    {
        std::abort();
    }
    const std::vector<std::string> expected = Tokens(data, size);
    for (std::size_t i = 0; i < 4; ++i)
    {
        if (game->m_settings[i] != expected[i])
        {
            std::abort();
        }
    }
    if (game->m_title != game->m_settings[0].c_str() ||
        game->m_fullscreen != (game->m_settings[3] != "0"))
    {
        std::abort();
    }
    return 0;
}

// Feeds arbitrary bytes to the collision layer reader as
// Assets/Maps/collisionMap.map.
#include "tests/fuzz/FuzzScratch.h"
#include "world/FileManager.h"
#include "world/Map.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <limits>
#include <string>

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/)
{
    fuzz::EnterScratchFolder();
    return 0;
}

namespace
{
// What the grid must hold: decimal integers with an optional sign, separated
// by white space, row after row; the first text that is not a number in the
// 32-bit range ends reading, and every cell not read is free.
CollisionGrid Expected(const std::uint8_t* data, std::size_t size)
{
    CollisionGrid grid{};
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::size_t i = 0;
    for (std::int32_t& cell : grid)
    {
        while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])) != 0)
        {
            ++i;
        }
        std::size_t digits = i;
        if (digits < text.size() && (text[digits] == '+' || text[digits] == '-'))
        {
            ++digits;
        }
        std::size_t end = digits;
        while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])) != 0)
        {
            ++end;
        }
        if (end == digits)
        {
            break;
        }
        errno = 0;
        const std::string number = text.substr(i, end - i);
        const long long value = std::strtoll(number.c_str(), nullptr, 10);
        if (errno == ERANGE || value > std::numeric_limits<std::int32_t>::max() ||
            value < std::numeric_limits<std::int32_t>::min())
        {
            break;
        }
        cell = static_cast<std::int32_t>(value);
        i = end;
    }
    return grid;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::WriteInput("Assets/Maps/collisionMap.map", data, size);
    Map* map = Map::Instance();
    // Leftovers of the previous input must not survive a load.
    map->m_collisionGrid.fill(7);
    bool loaded = false;
    {
        fuzz::SilentCout quiet;
        loaded = map->LoadMap(kCollisionMapKey);
    }
    if (!loaded || !map->m_mapLoaded)
    {
        std::abort();
    }
    if (map->m_collisionGrid != Expected(data, size))
    {
        std::abort();
    }
    return 0;
}

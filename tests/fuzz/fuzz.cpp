// libFuzzer targets of the file readers, one per FUZZ_* define: each writes the input
// where the game looks for its file, calls the reader and stops on a wrong reading.
#include "core/Game.h"
#include "platform/Files.h"
#include "tests/support/Scratch.h"
#include "world/FileManager.h"
#include "world/Map.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#define REQUIRE(ok) ((ok) ? void() : std::abort())

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/)
{
    static const support::ScratchFolder scratch("dungeon-fuzz");
    static const support::SilentCout quiet; // the readers narrate every file they open
    FileManager::Instance()->Initialize();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto write = [&](int key)
    { support::WriteFile(NativePath(FileManager::Instance()->Path(key)), text); };
    std::istringstream in(text);
    [[maybe_unused]] Map* map = Map::Instance();
#if defined(FUZZ_SETTINGS)
    // The first four tokens, whatever an earlier file held; "0" asks for a window.
    write(kSettingsKey);
    Game* game = Game::Instance();
    std::vector<std::string> tokens(std::istream_iterator<std::string>(in), {});
    tokens.resize(4);
    REQUIRE(game->ReadSettings() && std::ranges::equal(game->m_settings, tokens));
    REQUIRE(game->m_fullscreen == (tokens[3] != "0"));
#elif defined(FUZZ_COLLISION)
    // Integers up to the first text that is no int32; cells not read are free.
    write(kCollisionMapKey);
    CollisionGrid expected{};
    std::int32_t value = 0;
    for (std::size_t i = 0; i < expected.size() && in >> value; ++i)
    {
        expected[i] = value;
    }
    map->m_collisionGrid.fill(7);
    REQUIRE(map->LoadMap(kCollisionMapKey) && map->m_collisionGrid == expected);
#elif defined(FUZZ_LAYERS)
    // Each layer read twice: a second game reads the same layer, not a longer one,
    // and white space separates entries: no more of them than runs of other text.
    const auto runs = std::distance(std::istream_iterator<std::string>(in), {});
    for (int key :
         {kFloorMapKey, kWallMapKey, kObjectMapKey, kFloorMapKey, kWallMapKey, kObjectMapKey})
    {
        write(key);
        REQUIRE(map->LoadMap(key));
    }
    REQUIRE(map->m_floorValues == map->m_wallValues && map->m_wallValues == map->m_objectValues &&
            std::ssize(map->m_floorValues) <= runs);
#elif defined(FUZZ_SCORES)
    // The first four whole records, little-endian, then zeros, at every read.
    write(kScoreFileKey);
    FileManager* files = FileManager::Instance();
    std::string records = text.substr(0, std::min<std::size_t>(size / 4 * 4, 16));
    records.resize(16, '\0');
    REQUIRE(files->ReadBinaryFile(kScoreFileKey) && support::Records(files->m_scores) == records);
#endif
    return 0;
}

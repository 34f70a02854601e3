// libFuzzer targets of the file readers, one per FUZZ_* define: each writes the input
// where the game looks for its file, calls the reader and stops on a wrong reading.
#include "core/Game.h"
#include "graphics/Util.h"
#include "world/FileManager.h"
#include "world/Map.h"

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>

#define REQUIRE(ok) ((ok) ? void() : std::abort())

namespace fs = std::filesystem;

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/)
{
    static const fs::path folder =
        fs::temp_directory_path() / ("dungeon-fuzz-" + std::to_string(getpid()));
    fs::create_directories(folder);
    fs::current_path(folder);
    std::atexit([] { fs::remove_all(folder); });
    std::cout.rdbuf(nullptr); // the readers narrate every file they open
    FileManager::Instance()->Initialize();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto write = [&](int key)
    {
        const fs::path path = NativePath(FileManager::Instance()->Path(key));
        fs::create_directories(path.parent_path());
        REQUIRE(std::ofstream(path, std::ios::binary) << text);
    };
    std::istringstream in(text);
    [[maybe_unused]] Map* map = Map::Instance();
#if defined(FUZZ_SETTINGS)
    // The first four tokens, whatever an earlier file held; "0" asks for a window.
    write(kSettingsKey);
    Game* game = Game::Instance();
    REQUIRE(game->ReadSettings());
    for (const std::string& setting : game->m_settings)
    {
        std::string token;
        in >> token;
        REQUIRE(setting == token);
    }
    REQUIRE(game->m_fullscreen == (game->m_settings[3] != "0"));
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
    // The first four whole records, little-endian, then zeros; at the first visit.
    write(kScoreFileKey);
    FileManager* files = FileManager::Instance();
    files->m_scores.clear();
    REQUIRE(files->ReadBinaryFile(kScoreFileKey) && files->m_scores.size() == 4);
    for (std::size_t n = 0, i = 0; n < 4; ++n, i += 4)
    {
        const std::uint32_t expected =
            i + 4 > size
                ? 0
                : data[i] | data[i + 1] << 8 | data[i + 2] << 16 | std::uint32_t{data[i + 3]} << 24;
        REQUIRE(static_cast<std::uint32_t>(files->m_scores[n]) == expected);
    }
#endif
    return 0;
}

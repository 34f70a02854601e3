// Feeds arbitrary bytes to the picture layer reader: the same bytes as the
// floor, wall and object layer files.
#include "tests/fuzz/FuzzScratch.h"
#include "world/FileManager.h"
#include "world/Map.h"

#include <cctype>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/)
{
    fuzz::EnterScratchFolder();
    return 0;
}

namespace
{
// Entries are separated by white space, so there can be no more of them than
// runs of other characters.
std::size_t MostEntries(const std::uint8_t* data, std::size_t size)
{
    std::size_t runs = 0;
    bool inRun = false;
    for (std::size_t i = 0; i < size; ++i)
    {
        const bool space = std::isspace(data[i]) != 0;
        if (!space && !inRun)
        {
            ++runs;
        }
        inRun = !space;
    }
    return runs;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Map* map = Map::Instance();
    for (const char* path :
         {"Assets/Maps/floorMap.map", "Assets/Maps/wallMap.map", "Assets/Maps/objectMap.map"})
    {
        fuzz::WriteInput(path, data, size);
    }
    bool loaded = true;
    {
        fuzz::SilentCout quiet;
        // Twice each: a second game must read the same layer, not a longer one.
        for (int round = 0; round < 2; ++round)
        {
            for (int key : {kFloorMapKey, kWallMapKey, kObjectMapKey})
            {
                loaded = map->LoadMap(key) && loaded;
            }
        }
    }
    if (!loaded)
    {
        std::abort();
    }
    if (map->m_floorValues != map->m_wallValues || map->m_wallValues != map->m_objectValues)
    {
        std::abort();
    }
    if (map->m_floorValues.size() > MostEntries(data, size))
    {
        std::abort();
    }
    return 0;
}

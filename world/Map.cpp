#include "world/Map.h"

#include "gameplay/Camera.h"
#include "gameplay/Interface.h"
#include "gameplay/Player.h"
#include "gameplay/Rules.h"
#include "graphics/DataFile.h"
#include "graphics/Log.h"
#include "graphics/Objects.h"
#include "world/FileManager.h"

#include <algorithm>
#include <sstream>

std::int32_t g_goldCount = 0;

namespace
{
// The world objects are built once per run and reused by every game; the
// map's shutdown deletes them.
bool s_worldBuilt = false;

Tileset* AddTileset(std::vector<std::unique_ptr<Tileset>>& tiles, const char* tag)
{
    tiles.push_back(std::make_unique<Tileset>(tag));
    return tiles.back().get();
}
} // namespace

Map* Map::Instance()
{
    static Map* instance = new Map();
    return instance;
}

Map::Map() = default;
Map::~Map() = default;

bool Map::Initialize()
{
    LogBlock("Map Initialize function called...");
    if (!s_worldBuilt)
    {
        for (const CellSpot& spot : kGoldCells)
        {
            m_events.push_back(
                std::make_unique<Event>(spot.column * kCellSize, spot.row * kCellSize));
        }
        m_floorTiles = AddTileset(m_tiles, "Floors");
        m_wallTiles = AddTileset(m_tiles, "Walls");
        m_objectTiles = AddTileset(m_tiles, "Objects");
        for (const char* tag :
             {"TextBox_Stuck", "TextBox_Invisible", "TextBox_Increase", "TextBox_Decrease"})
        {
            m_texts.push_back(std::make_unique<TextBox>(tag));
        }
        m_player = std::make_unique<Player>();
        m_camera = std::make_unique<Camera>();
        m_interface = std::make_unique<Interface>();
        s_worldBuilt = true;
    }
    m_player->Reset();
    for (std::unique_ptr<Event>& gold : m_events)
    {
        gold->active = true;
    }
    g_goldCount = 0;
    m_timeLeft = kGameSeconds;
    m_frameCounter = 0;
    m_mapLoaded = false;
    m_lost = false;
    m_won = false;
    LogLine("Number of objects currently in container m_tiles: " +
            ToString(static_cast<std::uint32_t>(m_tiles.size())));
    LogLine("Number of objects currently in container m_events: " +
            ToString(static_cast<std::uint32_t>(m_events.size())));
    LogLine("Number of objects currently in container m_texts: " +
            ToString(static_cast<std::uint32_t>(m_texts.size())));
    LogBlock("Map Initialized successfully...");
    return true;
}

bool Map::LoadMap(int key)
{
    FileManager* files = FileManager::Instance();
    const char* path = files->Path(key);
    if (path == nullptr)
    {
        LogLine("Invalid map parameter passed: " + ToString(key));
        return false;
    }
    LayerStatus* status = key == kFloorMapKey    ? &m_floorStatus
                          : key == kWallMapKey   ? &m_wallStatus
                          : key == kObjectMapKey ? &m_objectStatus
                                                 : nullptr;
    if (status != nullptr)
    {
        *status = LayerStatus{};
    }
    const DataFile file = ReadDataFile(path, kLayerFileLimit);
    if (file.status != DataStatus::kDone)
    {
        // No level is that long: a file past the bound is as good as missing.
        LogLine(std::string(file.status == DataStatus::kNotOpened ? "Error opening map file: "
                                                                  : "Error reading map file: ") +
                path);
        LogReason(file.reason);
        m_mapLoaded = false;
        return false;
    }
    LogLine(std::string("Map file loaded successfully: ") + path);
    m_mapLoaded = true;
    if (status != nullptr)
    {
        status->loaded = true;
    }
    std::istringstream in(file.bytes);
    // Every load replaces the layer, so an edited level shows in the next game
    // and the lists do not grow from game to game.
    switch (key)
    {
    case kCollisionMapKey:
        ReadCollisionGrid(in, m_collisionGrid);
        break;
    case kFloorMapKey:
        m_floorValues = ReadTilePairs(in);
        break;
    case kWallMapKey:
        m_wallValues = ReadTilePairs(in);
        break;
    case kObjectMapKey:
        m_objectValues = ReadTilePairs(in);
        break;
    default:
        break;
    }
    LogLine(std::string("Map file closed: ") + path);
    return true;
}

bool Map::DrawLayer(Tileset& tiles, const TileList& values, LayerStatus& status)
{
    // A layer without data is left out and the others are drawn. Saying so
    // once per game is enough; every frame would bury the log.
    if (!status.loaded || values.empty())
    {
        if (!status.reported)
        {
            LogLine(status.loaded ? "Error! Could not load values from vector."
                                  : "Map file couldn't be loaded!");
            status.reported = true;
        }
        return false;
    }
    // A short layer draws the cells it has and nothing past its end. Only the
    // cells the view shows, wholly or in part, are drawn: the rest would be
    // clipped away after costing a copy each.
    const std::size_t cells = std::min<std::size_t>(values.size(), kMapCells);
    const int firstColumn = std::max(0, m_camera->x / kCellSize);
    const int lastColumn = (m_camera->x + m_camera->width - 1) / kCellSize;
    const int firstRow = std::max(0, m_camera->y / kCellSize);
    const int lastRow = (m_camera->y + m_camera->height - 1) / kCellSize;
    for (std::size_t k = 0; k < cells; ++k)
    {
        const int cellColumn = static_cast<int>(k) % kMapColumns;
        const int cellRow = static_cast<int>(k) / kMapColumns;
        if (cellColumn < firstColumn || cellColumn > lastColumn || cellRow < firstRow ||
            cellRow > lastRow || tiles.Blank(values[k].first, values[k].second))
        {
            continue;
        }
        tiles.m_x = cellColumn * kCellSize;
        tiles.m_y = cellRow * kCellSize;
        tiles.m_sprite.m_column = static_cast<float>(values[k].first);
        tiles.m_sprite.m_row = static_cast<float>(values[k].second);
        tiles.m_sprite.Draw(tiles.m_x - m_camera->x, tiles.m_y - m_camera->y, 0.0, SDL_FLIP_NONE);
    }
    // The layer is left as a pass over every cell would leave it: the cursor
    // back at (0, 0), the frame of the last cell.
    const auto [column, row] = values[cells - 1];
    tiles.m_column = column;
    tiles.m_row = row;
    tiles.m_sprite.m_column = static_cast<float>(column);
    tiles.m_sprite.m_row = static_cast<float>(row);
    tiles.m_x = 0;
    tiles.m_y = 0;
    return cells == static_cast<std::size_t>(kMapCells);
}

bool Map::Render()
{
    const int cameraX = m_camera->x;
    const int cameraY = m_camera->y;
    DrawLayer(*m_floorTiles, m_floorValues, m_floorStatus);
    for (std::unique_ptr<Event>& gold : m_events)
    {
        if (gold->active)
        {
            gold->m_sprite.Draw(gold->m_x - cameraX, gold->m_y - cameraY, 0.0, SDL_FLIP_NONE);
        }
    }
    if (m_player->visible)
    {
        m_player->m_sprite.Draw(m_player->m_x - cameraX, m_player->m_y - cameraY, 0.0,
                                SDL_FLIP_NONE);
    }
    DrawLayer(*m_wallTiles, m_wallValues, m_wallStatus);
    DrawLayer(*m_objectTiles, m_objectValues, m_objectStatus);
    // Pop-ups by the player's state, then the display over everything.
    if (m_player->m_stuck)
    {
        m_texts[kPopupStuck]->Draw();
    }
    if (!m_player->visible)
    {
        m_texts[kPopupInvisible]->Draw();
    }
    if (m_player->m_timeIncreased)
    {
        m_texts[kPopupIncrease]->Draw();
    }
    if (m_player->m_timeDecreased)
    {
        m_texts[kPopupDecrease]->Draw();
    }
    m_interface->Draw();
    return true;
}

void Map::Shutdown()
{
    LogBlock("Map shut down function called...");
    DeleteObjects(m_tiles);
    DeleteObjects(m_events);
    DeleteObjects(m_texts);
    m_floorTiles = m_wallTiles = m_objectTiles = nullptr;
    m_player.reset();
    m_interface.reset();
    m_camera.reset();
    s_worldBuilt = false;
    LogBlock("Map shut down successfully.");
}

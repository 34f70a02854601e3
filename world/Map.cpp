#include "world/Map.h"

#include "core/Graphics.h"

#include "gameplay/Camera.h"
#include "gameplay/Interface.h"
#include "gameplay/Player.h"
#include "gameplay/Rules.h"
#include "graphics/Log.h"
#include "graphics/Objects.h"
#include "platform/Files.h"
#include "world/FileManager.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <sstream>
#include <vector>

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
    m_popupOpened.fill(0);
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
    // kLayerCount: not a picture layer (the collision layer).
    const Layer layer = key == kFloorMapKey    ? kFloorLayer
                        : key == kWallMapKey   ? kWallLayer
                        : key == kObjectMapKey ? kObjectLayer
                                               : kLayerCount;
    if (layer != kLayerCount)
    {
        m_pictures.Reload(layer);
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
    if (layer != kLayerCount)
    {
        m_pictures.Status(layer).loaded = true;
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

Tileset& Map::Tiles(Layer layer) const
{
    return *std::array{m_floorTiles, m_wallTiles, m_objectTiles}[layer];
}

const TileList& Map::Values(Layer layer) const
{
    return *std::array{&m_floorValues, &m_wallValues, &m_objectValues}[layer];
}

void Map::DrawSprites(const SDL_Rect* place)
{
    const int cameraX = m_camera->x;
    const int cameraY = m_camera->y;
    const auto overlaps = [place](const Sprite& sprite, int x, int y)
    {
        const SDL_Rect rect{x, y, static_cast<int>(sprite.m_width),
                            static_cast<int>(sprite.m_height)};
        return place == nullptr || SDL_HasIntersection(&rect, place) == SDL_TRUE;
    };
    for (std::unique_ptr<Event>& gold : m_events)
    {
        if (gold->active && overlaps(gold->m_sprite, gold->m_x - cameraX, gold->m_y - cameraY))
        {
            gold->m_sprite.Draw(gold->m_x - cameraX, gold->m_y - cameraY, 0.0, SDL_FLIP_NONE);
        }
    }
    if (m_player->visible &&
        overlaps(m_player->m_sprite, m_player->m_x - cameraX, m_player->m_y - cameraY))
    {
        m_player->m_sprite.Draw(m_player->m_x - cameraX, m_player->m_y - cameraY, 0.0,
                                SDL_FLIP_NONE);
    }
}

bool Map::DrawLayer(Layer layer, bool copy)
{
    Tileset& tiles = Tiles(layer);
    const TileList& values = Values(layer);
    LayerStatus& status = m_pictures.Status(layer);
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
    const bool pictured = m_pictures.Draw(layer, tiles, values);
    if (pictured && copy)
    {
        const SDL_Rect part{m_camera->x, m_camera->y, m_camera->width, m_camera->height};
        const SDL_Rect place{0, 0, part.w, part.h};
        Graphics::Instance()->Copy(m_pictures.Texture(layer), &part, place);
    }
    const int firstColumn = std::max(0, m_camera->x / kCellSize);
    const int lastColumn = (m_camera->x + m_camera->width - 1) / kCellSize;
    const int firstRow = std::max(0, m_camera->y / kCellSize);
    const int lastRow = (m_camera->y + m_camera->height - 1) / kCellSize;
    for (std::size_t k = 0; k < cells && !pictured; ++k)
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
    // The floor, then the gold and the player, then the walls and the objects
    // over them. With the three layers pictured, the level is one copy, and
    // only where a sprite stands is the frame made again layer by layer:
    // cleared, floor, the sprites there, walls, objects. A sprite without its
    // picture says so each time it is drawn, so then every layer is copied.
    const auto drawable = [](const Sprite& sprite)
    { return sprite.m_texture != nullptr && sprite.m_frameWidth > 0 && sprite.m_frameHeight > 0; };
    bool sprites = drawable(m_player->m_sprite);
    for (const std::unique_ptr<Event>& gold : m_events)
    {
        sprites = sprites && drawable(gold->m_sprite);
    }
    constexpr Layer kLayers[] = {kFloorLayer, kWallLayer, kObjectLayer};
    const bool layers =
        std::all_of(std::begin(kLayers), std::end(kLayers),
                    [this](Layer layer) { return m_pictures.Status(layer).loaded; }) &&
        std::none_of(std::begin(kLayers), std::end(kLayers),
                     [this](Layer layer) { return Values(layer).empty(); });
    // The layers' own pictures are drawn by the first DrawLayer of a game.
    if (sprites && layers && !m_pictures.LevelDrawn())
    {
        for (const Layer layer : kLayers)
        {
            m_pictures.Draw(layer, Tiles(layer), Values(layer));
        }
    }
    if (sprites && layers && m_pictures.DrawLevel())
    {
        Graphics* graphics = Graphics::Instance();
        const SDL_Rect view{0, 0, m_camera->width, m_camera->height};
        const SDL_Rect part{m_camera->x, m_camera->y, view.w, view.h};
        graphics->Copy(m_pictures.LevelTexture(), &part, view);
        std::vector<SDL_Rect> places;
        const auto add = [&](const Sprite& sprite, int x, int y)
        {
            const SDL_Rect rect{x - m_camera->x, y - m_camera->y, static_cast<int>(sprite.m_width),
                                static_cast<int>(sprite.m_height)};
            SDL_Rect place{};
            if (SDL_IntersectRect(&rect, &view, &place) == SDL_TRUE)
            {
                places.push_back(place);
            }
        };
        for (const std::unique_ptr<Event>& gold : m_events)
        {
            if (gold->active)
            {
                add(gold->m_sprite, gold->m_x, gold->m_y);
            }
        }
        if (m_player->visible)
        {
            add(m_player->m_sprite, m_player->m_x, m_player->m_y);
        }
        for (const SDL_Rect& place : places)
        {
            const SDL_Rect inWorld{place.x + m_camera->x, place.y + m_camera->y, place.w, place.h};
            graphics->Rectangle(place, graphics->ClearColor(), SDL_BLENDMODE_NONE, true);
            graphics->Copy(m_pictures.Texture(kFloorLayer), &inWorld, place);
            graphics->Clip(&place);
            DrawSprites(&place);
            graphics->Clip(nullptr);
            graphics->Copy(m_pictures.Texture(kWallLayer), &inWorld, place);
            graphics->Copy(m_pictures.Texture(kObjectLayer), &inWorld, place);
        }
        for (const Layer layer : kLayers)
        {
            DrawLayer(layer, false);
        }
    }
    else
    {
        DrawLayer(kFloorLayer);
        DrawSprites(nullptr);
        DrawLayer(kWallLayer);
        DrawLayer(kObjectLayer);
    }
    // Pop-ups by the player's state, then the display over everything. Their
    // plates are see-through, so two drawn over each other mix their words
    // into something nobody can read: only the newest of those showing is
    // drawn, and the level stays in sight around it.
    const bool showing[] = {m_player->m_stuck, !m_player->visible, m_player->m_timeIncreased,
                            m_player->m_timeDecreased};
    std::size_t newest = m_texts.size();
    for (std::size_t i = 0; i < m_texts.size() && i < std::size(showing); ++i)
    {
        if (showing[i] && (newest == m_texts.size() || m_popupOpened[i] >= m_popupOpened[newest]))
        {
            newest = i;
        }
    }
    if (newest < m_texts.size())
    {
        m_texts[newest]->Draw();
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
    ForgetLayerPictures();
    s_worldBuilt = false;
    LogBlock("Map shut down successfully.");
}

void Map::ForgetLayerPictures()
{
    m_pictures.Forget();
}

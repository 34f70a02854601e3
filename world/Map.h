#pragma once

#include "world/LayerFile.h"
#include "world/LevelPicture.h"

#include <SDL.h>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class Camera;
class Event;
class Interface;
class Player;
class TextBox;
class Tileset;

// The pop-up boxes, in the order the world creates them.
enum Popup : int
{
    kPopupStuck = 0,
    kPopupInvisible = 1,
    kPopupIncrease = 2,
    kPopupDecrease = 3,
};

// Gold pieces collected in the current game.
extern std::int32_t g_goldCount;

// The level: it owns every object of the game world, the layer data, the
// countdown and the outcome of the game. Built once per process, reset for
// every game.
class Map final
{
public:
    static Map* Instance();

    Map(const Map&) = delete;
    Map& operator=(const Map&) = delete;

    // Builds the world the first time, and resets it for a new game every time.
    bool Initialize();
    // Reads the layer file of a path key into the matching layer.
    bool LoadMap(int key);
    // One update of the rules of play.
    void Update();
    // Draws the whole world. Moves each tile layer's drawing cursor and frame,
    // and leaves the cursor back at (0, 0).
    bool Render();
    // Releases every object of the world.
    void Shutdown();
    // The renderer lost what was drawn into textures: the layers' pictures
    // are drawn again when next needed.
    void ForgetLayerPictures();

    std::unique_ptr<Interface> m_interface;
    std::unique_ptr<Player> m_player;
    std::unique_ptr<Camera> m_camera;
    Tileset* m_floorTiles = nullptr;
    Tileset* m_wallTiles = nullptr;
    Tileset* m_objectTiles = nullptr;
    // The outcome of the most recent load; each layer keeps its own in the
    // level's pictures.
    bool m_mapLoaded = false;
    std::int32_t m_frameCounter = 0;
    std::int32_t m_timeLeft = 0;
    bool m_lost = false;
    bool m_won = false;
    CollisionGrid m_collisionGrid{};
    TileList m_floorValues;
    TileList m_wallValues;
    TileList m_objectValues;
    std::vector<std::unique_ptr<Tileset>> m_tiles;
    // Indexed by Popup.
    std::vector<std::unique_ptr<TextBox>> m_texts;
    std::vector<std::unique_ptr<Event>> m_events;

private:
    Map();
    ~Map();

    // A layer's tile sheet and cells.
    Tileset& Tiles(Layer layer) const;
    const TileList& Values(Layer layer) const;
    // Draws a layer into the frame (or with `copy` false only leaves its
    // tile cursor as drawing would), saying once per game when it is missing.
    bool DrawLayer(Layer layer, bool copy = true);
    // Draws the gold and the player that overlap `place` (in the view), as
    // they are drawn between the floor and the walls.
    void DrawSprites(const SDL_Rect* place);

    LevelPicture m_pictures;
    // The gold piece (1 to 10 of this game) whose pickup last opened each
    // pop-up: of several showing at once, the newest is the one drawn.
    std::array<std::uint32_t, 4> m_popupOpened{};
    void CollectGold();
};

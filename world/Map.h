#pragma once

#include "world/LayerFile.h"

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

// Whether a picture layer's file loaded for the current game, and whether a
// layer left out of the drawing has been reported (once per game).
struct LayerStatus
{
    bool loaded = false;
    bool reported = false;
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
    // The outcome of the most recent load; each layer keeps its own below.
    bool m_mapLoaded = false;
    LayerStatus m_floorStatus;
    LayerStatus m_wallStatus;
    LayerStatus m_objectStatus;
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

    // A picture of a whole layer, drawn once per game and copied in part
    // into every frame: the layers do not change during a game.
    struct LayerPicture
    {
        SDL_Texture* texture = nullptr;
        bool drawn = false;
    };
    // Draws a layer into the frame (or with `copy` false only leaves its
    // tile cursor as drawing would), saying once per game when it is missing.
    bool DrawLayer(Tileset& tiles, const TileList& values, LayerStatus& status,
                   LayerPicture& picture, bool copy = true);
    // The level as the three layers make it over the frame's clear colour,
    // drawn when its layers are; false where it cannot be.
    bool DrawLevelPicture();
    // Makes `picture` (a texture of the whole level, the first time) the
    // render target, cleared with `clear`.
    bool StartPicture(LayerPicture& picture, Uint32 format, SDL_BlendMode blend, SDL_Color clear);
    // Draws the gold and the player that overlap `place` (in the view), as
    // they are drawn between the floor and the walls.
    void DrawSprites(const SDL_Rect* place);
    // Draws every cell of the layer into its picture; false where the
    // renderer cannot (then the cells are drawn into each frame).
    bool DrawLayerPicture(Tileset& tiles, const TileList& values, LayerPicture& picture);

    LayerPicture m_floorPicture;
    LayerPicture m_wallPicture;
    LayerPicture m_objectPicture;
    // The three layers in one, over the colour the frame is cleared with.
    LayerPicture m_levelPicture;
    std::uint32_t m_levelClear = 0;
    // When each pop-up last opened, counted in pickups of this game: of
    // several showing at once, the newest is the one drawn.
    std::array<std::uint32_t, 4> m_popupOpened{};
    std::uint32_t m_pickups = 0;
    void CollectGold();
};

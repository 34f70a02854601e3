#pragma once

#include "world/LayerFile.h"

#include <SDL.h>

#include <array>
#include <cstddef>
#include <cstdint>

class Tileset;

// The three picture layers, in the order they are drawn.
enum Layer : std::size_t
{
    kFloorLayer = 0,
    kWallLayer = 1,
    kObjectLayer = 2,
    kLayerCount = 3,
};

// Whether a picture layer's file loaded for the current game, and whether a
// layer left out of the drawing has been reported (once per game).
struct LayerStatus
{
    bool loaded = false;
    bool reported = false;
};

// The pictures of the level, one table over the three layers: a picture of
// each whole layer, drawn once per game and copied in part into every frame
// (the layers do not change during a game), and the three in one over the
// colour the frame is cleared with. Each layer keeps its status beside its
// picture.
class LevelPicture final
{
public:
    LayerStatus& Status(Layer layer) { return m_layers[layer].status; }
    const LayerStatus& Status(Layer layer) const { return m_layers[layer].status; }
    // The layer is read anew: its status starts again, and its picture and
    // the level's are drawn again from what is read now.
    void Reload(Layer layer);

    bool Drawn(Layer layer) const { return m_layers[layer].picture.drawn; }
    SDL_Texture* Texture(Layer layer) const { return m_layers[layer].picture.texture; }
    // Draws the layer's picture unless it is drawn; false where the renderer
    // cannot (then the cells are drawn into each frame).
    bool Draw(Layer layer, Tileset& tiles, const TileList& values);

    // The level as the three layers make it over the frame's clear colour,
    // drawn when its layers are; false where it cannot be.
    bool DrawLevel();
    bool LevelDrawn() const { return m_level.drawn; }
    SDL_Texture* LevelTexture() const { return m_level.texture; }

    // Frees every picture: the renderer lost them, or goes.
    void Forget();

private:
    struct Picture
    {
        SDL_Texture* texture = nullptr;
        bool drawn = false;
    };
    struct LayerEntry
    {
        LayerStatus status;
        Picture picture;
    };

    // Draws every cell of the layer into its picture.
    bool DrawCells(Picture& picture, Tileset& tiles, const TileList& values);
    // Makes `picture` (a texture of the whole level, the first time) the
    // render target, cleared with `clear`.
    static bool Start(Picture& picture, Uint32 format, SDL_BlendMode blend, SDL_Color clear);

    std::array<LayerEntry, kLayerCount> m_layers{};
    Picture m_level;
    std::uint32_t m_levelClear = 0;
};

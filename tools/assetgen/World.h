#pragma once

#include "tools/assetgen/Canvas.h"
#include "tools/assetgen/Level.h"

#include <functional>
#include <map>
#include <string>

namespace art
{

// A tile sheet the size of the level, one 32 x 32 frame per cell. Frames are painted the
// first time a cell asks for them, so every frame in the sheet is one the
// level uses and the rest stay transparent.
class Sheet
{
public:
    // With reserveClear the first frame stays transparent, for cells that show
    // nothing in this layer.
    explicit Sheet(bool reserveClear);

    // Returns the (column, row) of the frame named key, painting it with paint
    // (a 16 x 16 picture, shown at twice its size) when it is new.
    level::Pair Frame(const std::string& key, const std::function<Canvas()>& paint);
    level::Pair Clear() const { return {0, 0}; }
    const Canvas& Picture() const { return m_picture; }

private:
    Canvas m_picture;
    std::map<std::string, level::Pair> m_frames;
    int m_next;
};

struct World
{
    level::Layers layers;
    Sheet floor{false};
    Sheet wall{true};
    Sheet objects{true};
};

// Derives the three picture layers and their sheets from the designed level.
void BuildWorld(const level::Layout& layout, World& world);

Canvas GoldSprite();         // 32 x 32
Canvas WindowIcon(int size); // the gold on a stone tile, at any size from 16 up
// The browser's home-screen icon, drawn to be cut to any shape.
Canvas MaskableIcon(int size);
Canvas PlayerSheet(); // 64 x 128: rows down, left, right, up; column 1 stands
Canvas PlayerFrame(int row, int column);
Canvas FloorPiece(int variant, int decoration, std::uint32_t seed); // 16 x 16
Canvas WallFacePiece(std::uint32_t seed);                           // 16 x 16
Canvas TorchPiece();
Canvas BannerPiece();
Canvas BarrelPiece();
Canvas CratePiece();
Canvas ChestPiece();

// The whole level as the game draws it, with the gold and the player at the
// start, for looking at the design without running the game.
Canvas Preview(const World& world);

} // namespace art

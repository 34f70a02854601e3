#include "tools/assetgen/World.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace art
{

namespace
{

constexpr int kPiece = 16; // world art is drawn at 16 x 16 and shown doubled

// The dungeon palette.
const Color kMortar = Rgb(0x1b1a22);
const Color kStone = Rgb(0x4a4657);
const Color kWallTop = Rgb(0x2b2733);
const Color kWallCap = Rgb(0x3b3546);
const Color kCapEdge = Rgb(0x7a7090);
const Color kRimLight = Rgb(0x8a819c);
const Color kRimMid = Rgb(0x544c62);
const Color kBrick = Rgb(0x6a6074);
const Color kBrickMortar = Rgb(0x2a2430);
const Color kMoss = Rgb(0x4f6b35);
const Color kMossLight = Rgb(0x6f8f45);
const Color kBone = Rgb(0xd8d0bc);
const Color kBoneShade = Rgb(0x9c9482);
const Color kWood = Rgb(0x7a4a26);
const Color kWoodDark = Rgb(0x4e2e18);
const Color kWoodLight = Rgb(0xa06a38);
const Color kIron = Rgb(0x4a4a55);
const Color kIronLight = Rgb(0x7a7a88);
const Color kGold = Rgb(0xf0b828);
const Color kGoldLight = Rgb(0xffe070);
const Color kGoldDark = Rgb(0xa86810);
const Color kShadow = Rgb(0x000000, 96);

void Darken(Canvas& c, int x, int y, float factor)
{
    const Color p = c.Get(x, y);
    if (p.a != 0)
    {
        c.Set(x, y, Shade(p, factor));
    }
}

// --- floor -------------------------------------------------------------------

struct Slab
{
    int x, y, w, h;
};

// Ways of cutting a cell into flagstones; mortar runs along the top and left
// edge of every stone, so neighbouring cells join into one paving.
const std::array<std::array<Slab, 4>, 5> kSlabLayouts{{
    {{{0, 0, 8, 8}, {8, 0, 8, 8}, {0, 8, 8, 8}, {8, 8, 8, 8}}},
    {{{0, 0, 16, 8}, {0, 8, 6, 8}, {6, 8, 10, 8}, {0, 0, 0, 0}}},
    {{{0, 0, 10, 6}, {10, 0, 6, 6}, {0, 6, 5, 10}, {5, 6, 11, 10}}},
    {{{0, 0, 16, 16}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}}},
    {{{0, 0, 6, 16}, {6, 0, 10, 9}, {6, 9, 10, 7}, {0, 0, 0, 0}}},
}};

void PaintCrack(Canvas& c, std::uint32_t seed)
{
    int x = 3 + static_cast<int>(Hash(seed, 1) % 4);
    int y = 3;
    const Color crack = Rgb(0x25232d);
    while (y < 14)
    {
        c.Set(x, y, crack);
        const std::uint32_t h = Hash(seed, static_cast<std::uint32_t>(y));
        if (h % 3 == 0)
        {
            x += 1;
        }
        else if (h % 3 == 1 && x > 2)
        {
            x -= 1;
        }
        c.Set(x, y, crack);
        y += 1;
        if (h % 5 == 0)
        {
            c.Set(x + 1, y, crack);
            c.Set(x + 2, y + 1, crack);
        }
    }
}

void PaintMoss(Canvas& c, std::uint32_t seed)
{
    const int cx = 4 + static_cast<int>(Hash(seed, 2) % 8);
    const int cy = 4 + static_cast<int>(Hash(seed, 3) % 8);
    for (int i = 0; i < 14; ++i)
    {
        const int dx = static_cast<int>(Hash(seed, 10 + i) % 5) - 2;
        const int dy = static_cast<int>(Hash(seed, 40 + i) % 4) - 1;
        c.Set(cx + dx, cy + dy, i % 3 == 0 ? kMossLight : kMoss);
    }
}

void PaintBones(Canvas& c)
{
    // An old bone and a scrap of another, half sunk into the dust.
    for (int i = 0; i < 6; ++i)
    {
        c.Set(4 + i, 7 + i / 2, kBoneShade);
        c.Set(4 + i, 6 + i / 2, kBone);
    }
    c.Set(3, 5, kBone);
    c.Set(3, 7, kBoneShade);
    c.Set(10, 8, kBone);
    c.Set(10, 10, kBoneShade);
    c.Set(11, 12, kBoneShade);
    c.Set(12, 12, kBone);
}

void PaintSkull(Canvas& c)
{
    const char* rows[] = {
        ".kkkkk.", "kwwwwwk", "kwkwkwk", "kwwwwwk", ".kwkwk.", "..kkk..",
    };
    const Canvas skull = FromPattern(rows, 6, "k=3a3440 w=d8d0bc");
    c.Draw(skull, 5, 6);
    c.Set(12, 12, kBone);
    c.Set(13, 12, kBone);
    c.Set(12, 13, kBoneShade);
}

void PaintPebbles(Canvas& c, std::uint32_t seed)
{
    for (int i = 0; i < 6; ++i)
    {
        const int x = 2 + static_cast<int>(Hash(seed, 60 + i) % 12);
        const int y = 2 + static_cast<int>(Hash(seed, 80 + i) % 12);
        c.Set(x, y, Rgb(0x6a6676));
        c.Set(x + 1, y, Rgb(0x5a5666));
        c.Set(x, y + 1, Rgb(0x2c2a34));
    }
}

void PaintPuddle(Canvas& c)
{
    c.FillEllipse(17, 18, 11, 7, Rgb(0x2a3446));
    c.FillEllipse(16, 17, 8, 4, Rgb(0x34425a));
    c.Set(6, 8, Rgb(0x8aa0c0));
    c.Set(7, 8, Rgb(0x6a80a0));
}

} // namespace

Canvas FloorPiece(int variant, int decoration, std::uint32_t seed)
{
    Canvas c(kPiece, kPiece);
    c.Fill(kMortar);
    for (const Slab& s : kSlabLayouts[variant % kSlabLayouts.size()])
    {
        if (s.w == 0)
        {
            continue;
        }
        const std::uint32_t stone = Hash(seed, static_cast<std::uint32_t>(s.x * 17 + s.y));
        const Color base = Shade(kStone, 0.88f + 0.22f * Hash01(stone));
        for (int y = s.y + 1; y < s.y + s.h; ++y)
        {
            for (int x = s.x + 1; x < s.x + s.w; ++x)
            {
                float f = 0.95f + 0.10f * Hash01(stone, static_cast<std::uint32_t>(x),
                                                 static_cast<std::uint32_t>(y));
                if (y == s.y + 1 || x == s.x + 1)
                {
                    f *= 1.14f;
                }
                if (y == s.y + s.h - 1 || x == s.x + s.w - 1)
                {
                    f *= 0.82f;
                }
                c.Set(x, y, Shade(base, f));
            }
        }
    }
    switch (decoration)
    {
    case 1:
        PaintCrack(c, seed);
        break;
    case 2:
        PaintMoss(c, seed);
        break;
    case 3:
        PaintBones(c);
        break;
    case 4:
        PaintSkull(c);
        break;
    case 5:
        PaintPebbles(c, seed);
        break;
    case 6:
        PaintPuddle(c);
        break;
    default:
        break;
    }
    return c;
}

namespace
{

// A wall above a floor cell throws a shadow over the top of it, and one to
// the west over its left edge.
void ShadeFloor(Canvas& c, bool north, bool west)
{
    const float rows[] = {0.45f, 0.6f, 0.75f, 0.9f};
    const float columns[] = {0.65f, 0.85f};
    for (int y = 0; y < kPiece; ++y)
    {
        for (int x = 0; x < kPiece; ++x)
        {
            float f = 1.0f;
            if (north && y < 4)
            {
                f *= rows[y];
            }
            if (west && x < 2)
            {
                f *= columns[x];
            }
            if (f < 1.0f)
            {
                Darken(c, x, y, f);
            }
        }
    }
}

// --- walls -------------------------------------------------------------------

struct Sides
{
    bool north, east, west; // the neighbour on that side is open ground
    bool northEast, northWest, southEast, southWest;
};

void PaintBricks(Canvas& c, int top, std::uint32_t seed)
{
    c.FillRect(0, top, kPiece, kPiece - top, kBrickMortar);
    for (int course = 0; course * 4 + top < kPiece; ++course)
    {
        const int y0 = top + course * 4;
        const int offset = course % 2 == 0 ? 0 : 4;
        for (int b = -1; b < 3; ++b)
        {
            const int x0 = offset + b * 8;
            const std::uint32_t h =
                Hash(seed, static_cast<std::uint32_t>(course), static_cast<std::uint32_t>(b + 5));
            const Color base = Shade(kBrick, 0.84f + 0.26f * Hash01(h));
            for (int y = y0; y < y0 + 3 && y < kPiece; ++y)
            {
                for (int x = std::max(x0 + 1, 0); x < std::min(x0 + 8, kPiece); ++x)
                {
                    float f = 0.96f + 0.08f * Hash01(h, static_cast<std::uint32_t>(x),
                                                     static_cast<std::uint32_t>(y));
                    if (y == y0)
                    {
                        f *= 1.18f;
                    }
                    if (y == y0 + 2)
                    {
                        f *= 0.8f;
                    }
                    c.Set(x, y, Shade(base, f));
                }
            }
        }
    }
}

Canvas WallFace(const Sides& open, std::uint32_t seed, int variant)
{
    Canvas c(kPiece, kPiece);
    // The cap: the top of the wall seen at the front edge.
    c.FillRect(0, 0, kPiece, 4, kWallCap);
    c.FillRect(0, 3, kPiece, 1, kCapEdge);
    if (open.north)
    {
        c.FillRect(0, 0, kPiece, 1, kRimLight);
    }
    PaintBricks(c, 4, seed);
    // The foot of the wall is in its own shadow.
    for (int x = 0; x < kPiece; ++x)
    {
        Darken(c, x, 15, 0.55f);
        Darken(c, x, 14, 0.8f);
    }
    if (variant == 1)
    {
        // A cracked brick.
        c.Set(9, 6, kBrickMortar);
        c.Set(10, 7, kBrickMortar);
        c.Set(10, 8, kBrickMortar);
        c.Set(11, 9, kBrickMortar);
    }
    else if (variant == 2)
    {
        // Moss creeping up from the floor.
        for (int i = 0; i < 9; ++i)
        {
            const int x = 1 + static_cast<int>(Hash(seed, 200 + i) % 14);
            const int y = 11 + static_cast<int>(Hash(seed, 300 + i) % 4);
            c.Set(x, y, i % 2 == 0 ? kMoss : kMossLight);
        }
    }
    if (open.west)
    {
        c.FillRect(0, 0, 1, kPiece, kMortar);
        c.FillRect(1, 4, 1, 12, Shade(kBrick, 1.2f));
    }
    if (open.east)
    {
        c.FillRect(15, 0, 1, kPiece, kMortar);
    }
    return c;
}

Canvas WallTop(const Sides& open, std::uint32_t seed)
{
    Canvas c(kPiece, kPiece);
    for (int y = 0; y < kPiece; ++y)
    {
        for (int x = 0; x < kPiece; ++x)
        {
            const float f = 0.92f + 0.16f * Hash01(seed, static_cast<std::uint32_t>(x),
                                                   static_cast<std::uint32_t>(y));
            c.Set(x, y, Shade(kWallTop, f));
        }
    }
    // Faint joints between the big blocks the wall is built of.
    const Color joint = Shade(kWallTop, 0.75f);
    const int split = 5 + static_cast<int>(Hash(seed, 7) % 6);
    c.FillRect(0, 7, kPiece, 1, joint);
    c.FillRect(split, 0, 1, 7, joint);
    c.FillRect((split + 8) % kPiece, 8, 1, 8, joint);
    if (open.north)
    {
        c.FillRect(0, 0, kPiece, 1, kRimLight);
        c.FillRect(0, 1, kPiece, 1, kRimMid);
    }
    if (open.west)
    {
        c.FillRect(0, 0, 1, kPiece, kRimLight);
        c.FillRect(1, 0, 1, kPiece, kRimMid);
    }
    if (open.east)
    {
        c.FillRect(15, 0, 1, kPiece, kRimLight);
        c.FillRect(14, 0, 1, kPiece, kRimMid);
    }
    if (!open.north && !open.west && open.northWest)
    {
        c.Set(0, 0, kRimLight);
    }
    if (!open.north && !open.east && open.northEast)
    {
        c.Set(15, 0, kRimLight);
    }
    if (!open.west && open.southWest)
    {
        c.Set(0, 15, kRimLight);
    }
    if (!open.east && open.southEast)
    {
        c.Set(15, 15, kRimLight);
    }
    return c;
}

// --- things standing in the dungeon ------------------------------------------

void GroundShadow(Canvas& c, int width2)
{
    c.FillEllipse(16, 27, width2, 5, kShadow);
}

} // namespace

Canvas WallFacePiece(std::uint32_t seed)
{
    return WallFace(Sides{true, false, false, false, false, false, false}, seed, 0);
}

Canvas TorchPiece()
{
    Canvas c(kPiece, kPiece);
    // Warm light on the bricks around the flame.
    c.FillEllipse(16, 10, 15, 15, Rgb(0xff9a30, 36));
    c.FillEllipse(16, 9, 9, 10, Rgb(0xffb040, 44));
    // Iron bracket.
    c.FillRect(6, 10, 4, 1, kIron);
    c.FillRect(7, 11, 2, 2, kIron);
    c.Set(6, 10, kIronLight);
    // Handle.
    c.FillRect(7, 6, 2, 5, kWood);
    c.FillRect(7, 6, 1, 5, kWoodLight);
    // Flame.
    c.FillEllipse(16, 8, 5, 9, Rgb(0xd04018));
    c.FillEllipse(16, 9, 3, 6, Rgb(0xff9a20));
    c.FillEllipse(16, 10, 2, 3, Rgb(0xffee90));
    c.Set(8, 1, Rgb(0xd04018));
    return c;
}

Canvas BannerPiece()
{
    Canvas c(kPiece, kPiece);
    const Color cloth = Rgb(0x8e2430);
    const Color clothDark = Rgb(0x641822);
    const Color clothLight = Rgb(0xb03840);
    c.FillRect(4, 4, 8, 9, cloth);
    c.FillRect(4, 4, 1, 9, clothDark);
    c.FillRect(11, 4, 1, 9, clothDark);
    c.FillRect(5, 4, 1, 9, clothLight);
    // Swallow-tail end.
    c.FillRect(4, 13, 3, 1, cloth);
    c.FillRect(9, 13, 3, 1, cloth);
    c.FillRect(4, 14, 2, 1, clothDark);
    c.FillRect(10, 14, 2, 1, clothDark);
    // Gold trim and the house's coin.
    c.FillRect(4, 5, 8, 1, kGoldDark);
    c.FillRect(6, 7, 4, 4, kGold);
    c.Set(6, 7, cloth);
    c.Set(9, 7, cloth);
    c.Set(6, 10, cloth);
    c.Set(9, 10, kGoldDark);
    c.Set(7, 8, kGoldLight);
    // Rod with gold knobs.
    c.FillRect(3, 3, 10, 1, kWoodDark);
    c.Set(2, 3, kGold);
    c.Set(13, 3, kGold);
    return c;
}

Canvas BarrelPiece()
{
    Canvas big(32, 32);
    GroundShadow(big, 22);
    Canvas c(kPiece, kPiece);
    c.FillRect(4, 3, 8, 11, kWood);
    c.FillRect(3, 5, 10, 7, kWood);
    // Staves.
    for (int x : {6, 9})
    {
        c.FillRect(x, 4, 1, 10, kWoodDark);
    }
    c.FillRect(4, 4, 1, 9, kWoodLight);
    c.FillRect(3, 6, 1, 5, kWoodLight);
    c.FillRect(12, 5, 1, 7, kWoodDark);
    c.FillRect(11, 3, 1, 11, Shade(kWood, 0.8f));
    // Iron hoops.
    for (int y : {5, 11})
    {
        c.FillRect(3, y, 10, 1, kIron);
        c.Set(4, y, kIronLight);
    }
    // Lid seen from above.
    c.FillRect(4, 2, 8, 2, Shade(kWoodLight, 1.05f));
    c.FillRect(5, 1, 6, 1, kWoodDark);
    c.FillRect(4, 2, 1, 2, kWoodDark);
    c.FillRect(11, 2, 1, 2, kWoodDark);
    c.FillRect(5, 4, 6, 1, kWoodDark);
    c.FillRect(4, 14, 8, 1, kWoodDark);
    big.Draw(c, 0, 0, 2);
    return big;
}

Canvas CratePiece()
{
    Canvas big(32, 32);
    GroundShadow(big, 26);
    Canvas c(kPiece, kPiece);
    const Color plank = Rgb(0x9a6a38);
    c.FillRect(2, 3, 12, 11, plank);
    c.FillRect(2, 6, 12, 1, Shade(plank, 0.75f));
    c.FillRect(2, 10, 12, 1, Shade(plank, 0.75f));
    // Cross brace.
    for (int i = 0; i < 10; ++i)
    {
        c.Set(3 + i, 4 + i, Rgb(0xb88448));
        c.Set(3 + i, 5 + i > 13 ? 13 : 5 + i, Rgb(0x7a5028));
    }
    c.Frame(2, 3, 12, 11, kWoodDark);
    c.FillRect(3, 4, 10, 1, Rgb(0xc49058));
    // Lid edge and nails.
    c.FillRect(2, 2, 12, 1, Rgb(0xb88448));
    for (int x : {3, 12})
    {
        for (int y : {4, 12})
        {
            c.Set(x, y, kIronLight);
        }
    }
    big.Draw(c, 0, 0, 2);
    return big;
}

Canvas ChestPiece()
{
    Canvas big(32, 32);
    GroundShadow(big, 28);
    Canvas c(kPiece, kPiece);
    const Color body = Rgb(0x7a3e20);
    const Color lid = Rgb(0x944c28);
    c.FillRect(2, 8, 12, 6, body);
    c.FillRect(2, 5, 12, 3, lid);
    c.FillRect(3, 4, 10, 1, lid);
    c.FillRect(3, 5, 10, 1, Shade(lid, 1.25f));
    c.FillRect(2, 8, 12, 1, kWoodDark);
    c.Frame(2, 4, 12, 10, kWoodDark);
    c.Set(2, 4, kClear);
    c.Set(13, 4, kClear);
    // Gold bands and lock.
    for (int x : {4, 11})
    {
        c.FillRect(x, 4, 1, 10, kGold);
    }
    c.FillRect(7, 7, 2, 3, kGold);
    c.Set(7, 7, kGoldLight);
    c.Set(8, 9, kWoodDark);
    c.FillRect(2, 13, 12, 1, Shade(body, 0.6f));
    big.Draw(c, 0, 0, 2);
    return big;
}

namespace
{

Canvas PillarPiece()
{
    Canvas big(32, 32);
    GroundShadow(big, 26);
    const char* rows[] = {
        "..kkkkkkkkkkkk..", "..kLLLLLLLLLLk..", "..kMMMMMMMMMMk..", "...kkkkkkkkkk...",
        "....kLLMMMDk....", "....kLLMMMDk....", "....kLWMMMDk....", "....kLWMMMDk....",
        "....kLLMMMDk....", "....kLLMMMDk....", "....kLLMMMDk....", "...kkkkkkkkkk...",
        "..kLLLLLLLLLLk..", "..kMMMMMMMMMMk..", "..kDDDDDDDDDDk..", "..kkkkkkkkkkkk..",
    };
    big.Draw(FromPattern(rows, 16, "k=24222c L=8e889c M=6e687c D=4c4858 W=aaa4b8"), 0, 0, 2);
    return big;
}

} // namespace

Canvas GoldSprite()
{
    Canvas c(32, 32);
    c.FillEllipse(32, 50, 26, 8, kShadow);
    // The heap, outlined so it stands out from the grey stone.
    c.FillEllipse(32, 42, 26, 16, Rgb(0x5a3408));
    c.FillEllipse(32, 42, 22, 12, kGoldDark);
    c.FillEllipse(30, 40, 18, 9, kGold);
    c.FillEllipse(26, 37, 8, 4, kGoldLight);
    // Coins lying on the heap.
    const int coins[][2] = {{18, 36}, {40, 38}, {30, 46}, {22, 44}, {44, 45}};
    for (const auto& coin : coins)
    {
        c.FillEllipse(coin[0], coin[1], 8, 4, kGoldDark);
        c.FillEllipse(coin[0], coin[1] - 1, 6, 3, kGoldLight);
    }
    // A coin standing upright on top.
    c.FillEllipse(34, 26, 12, 14, Rgb(0x5a3408));
    c.FillEllipse(34, 26, 9, 11, kGold);
    c.FillEllipse(33, 25, 4, 6, kGoldLight);
    c.FillRect(16, 9, 1, 7, Rgb(0x8a5010));
    // Sparkles.
    const Color white = Rgb(0xffffff);
    const Color glint = Rgb(0xfff6c0);
    c.FillRect(8, 9, 1, 5, glint);
    c.FillRect(6, 11, 5, 1, glint);
    c.Set(8, 11, white);
    c.FillRect(24, 3, 1, 3, glint);
    c.FillRect(23, 4, 3, 1, glint);
    c.Set(24, 4, white);
    c.Set(10, 18, white);
    c.Set(22, 15, white);
    return c;
}

namespace
{
// Below the gold's own 32 pixels there is no room for the heap: one upright
// coin with its slot and a glint, on the same tile, placed for its size.
Canvas SmallIcon(int size)
{
    Canvas c(size, size);
    c.Fill(Rgb(0x1a1420));
    c.FillRect(1, 1, size - 2, size - 2, Rgb(0x3a3444));
    c.Frame(1, 1, size - 2, size - 2, kGoldDark, 1);
    // Ellipse sizes are in half pixels; the coin stands in the tile's middle.
    const int rx = size / 4;
    const int ry = rx * 4 / 3;
    const int line = std::max(1, size / 12);
    c.FillEllipse(size, size, 2 * rx + 3, 2 * ry + 3, Rgb(0x5a3408));
    c.FillEllipse(size, size, 2 * rx, 2 * ry, kGold);
    c.FillRect(size / 2 - line / 2, size / 2 - ry + 3, line, 2 * ry - 6, kGoldDark);
    c.FillRect(size / 2 - rx + 1, size / 2 - ry + 3, line, 2 * ry - 6, kGoldLight);
    const int glint = size * 3 / 4;
    c.Set(glint, size / 4, Rgb(0xffffff));
    if (size >= 24)
    {
        c.Set(glint - 1, size / 4, Rgb(0xfff6c0));
        c.Set(glint + 1, size / 4, Rgb(0xfff6c0));
        c.Set(glint, size / 4 - 1, Rgb(0xfff6c0));
        c.Set(glint, size / 4 + 1, Rgb(0xfff6c0));
    }
    return c;
}
} // namespace

Canvas WindowIcon(int size)
{
    if (size < GoldSprite().Width())
    {
        return SmallIcon(size);
    }
    // The gold, scaled up whole, on a dark stone tile with a golden rim: the
    // game at a glance in a task bar.
    Canvas c(size, size);
    c.Fill(Rgb(0x1a1420));
    c.FillRect(2, 2, size - 4, size - 4, Rgb(0x3a3444));
    c.Frame(2, 2, size - 4, size - 4, kGoldDark, 2);
    const Canvas gold = GoldSprite();
    const int scale = size / gold.Width();
    c.Draw(gold, (size - gold.Width() * scale) / 2, (size - gold.Height() * scale) / 2 - 2, scale);
    return c;
}

Canvas MaskableIcon(int size)
{
    // A home screen may cut the icon to any shape that holds the middle
    // circle of four fifths of its width: the tile's colour to the edges,
    // the gold whole inside that circle.
    Canvas c(size, size);
    c.Fill(Rgb(0x3a3444));
    const Canvas gold = GoldSprite();
    const int scale = size * 4 / 5 * 7 / 10 / gold.Width();
    c.Draw(gold, (size - gold.Width() * scale) / 2, (size - gold.Height() * scale) / 2, scale);
    return c;
}

namespace
{

const char* const kPlayerPalette = "k=1a1420 h=6a3a1a H=9a5a2a s=f0c090 S=c88858 e=1a1420 "
                                   "t=3468c8 T=20448e b=7a5020 g=ffd84a p=4a3a2a o=2a1e16 "
                                   "r=b03030";

// Facing down, standing and stepping.
const char* const kDown[2][16] = {
    {"................", ".....kkkkkk.....", "....khhhhhhk....", "...khhHHhhhhk...",
     "...khhhhhhhhk...", "...khsssssshk...", "...kssessessk...", "...kSssssssSk...",
     "..kkttttttttkk..", "..ktTttttttTtk..", "..ktTttttttTtk..", "..sTbbbggbbbTs..",
     "...kttttttttk...", "....kppkkppk....", "....kppkkppk....", "...kooo..oook..."},
    {"................", "................", ".....kkkkkk.....", "....khhhhhhk....",
     "...khhHHhhhhk...", "...khsssssshk...", "...kssessessk...", "...kSssssssSk...",
     "..kkttttttttkk..", "..ktTttttttTtk..", "..stTttttttTtk..", "...Tbbbggbbbts..",
     "...kttttttttk...", "....kppkkppk....", "....kppk.kook...", "...kooo........."},
};

// Facing right; facing left is the mirror image.
const char* const kRight[2][16] = {
    {"................", ".....kkkkkk.....", "....khhhhhhk....", "...khhHHhhhhk...",
     "...khhhhhhhhk...", "...khhhhsssk....", "...khhhssesk....", "...khSssssssk...",
     "....kkSSSSkk....", "....kttTTttk....", "....kttTTttk....", "....kbbsbgbk....",
     "....kttttttk....", ".....kppppk.....", ".....kppppk.....", ".....koooooook.."},
    {"................", "................", ".....kkkkkk.....", "....khhhhhhk....",
     "...khhHHhhhhk...", "...khhhhsssk....", "...khhhssesk....", "...khSssssssk...",
     "....kkSSSSkk....", "....kttTTttk....", "....ktttTTtk....", "....kbbbbgsk....",
     "....kttttttk....", "....kppkppk.....", "...kppk.kppk....", "..kook...kook..."},
};

// Facing up: the back of the head and the pack.
const char* const kUp[2][16] = {
    {"................", ".....kkkkkk.....", "....khhhhhhk....", "...khhhhhhhhk...",
     "...khhHHhhhhk...", "...khhhhhhhhk...", "...khhhhhhhhk...", "...kShhhhhhSk...",
     "..kkttttttttkk..", "..ktTtbbbbtTtk..", "..ktTtbbbbtTtk..", "..sTbbbbbbbbTs..",
     "...kttttttttk...", "....kppkkppk....", "....kppkkppk....", "...kooo..oook..."},
    {"................", "................", ".....kkkkkk.....", "....khhhhhhk....",
     "...khhhhhhhhk...", "...khhHHhhhhk...", "...khhhhhhhhk...", "...kShhhhhhSk...",
     "..kkttttttttkk..", "..ktTtbbbbtTtk..", "..stTtbbbbtTtk..", "...Tbbbbbbbbts..",
     "...kttttttttk...", "....kppkkppk....", "....kppk.kook...", "...kooo........."},
};

} // namespace

Canvas PlayerFrame(int row, int column)
{
    Canvas frame(32, 32);
    frame.FillEllipse(32, 60, 20, 5, kShadow);
    // Column 1 is the standing frame, column 0 the step between.
    const int pose = column == 1 ? 0 : 1;
    switch (row)
    {
    case 0:
        frame.Draw(FromPattern(kDown[pose], 16, kPlayerPalette), 0, 0, 2);
        break;
    case 1:
        frame.Draw(FromPattern(kRight[pose], 16, kPlayerPalette), 0, 0, 2, true);
        break;
    case 2:
        frame.Draw(FromPattern(kRight[pose], 16, kPlayerPalette), 0, 0, 2);
        break;
    default:
        frame.Draw(FromPattern(kUp[pose], 16, kPlayerPalette), 0, 0, 2);
        break;
    }
    return frame;
}

Canvas PlayerSheet()
{
    Canvas sheet(64, 128);
    for (int row = 0; row < 4; ++row)
    {
        for (int column = 0; column < 2; ++column)
        {
            sheet.Draw(PlayerFrame(row, column), column * 32, row * 32);
        }
    }
    return sheet;
}

Sheet::Sheet(bool reserveClear) : m_picture(kWorldWidth, kWorldHeight), m_next(reserveClear ? 1 : 0)
{
}

level::Pair Sheet::Frame(const std::string& key, const std::function<Canvas()>& paint)
{
    const auto it = m_frames.find(key);
    if (it != m_frames.end())
    {
        return it->second;
    }
    if (m_next >= kMapCells)
    {
        throw std::runtime_error("tile sheet full");
    }
    const level::Pair frame{m_next % kMapColumns, m_next / kMapColumns};
    ++m_next;
    const Canvas piece = paint();
    const int scale = piece.Width() == kPiece ? 2 : 1;
    m_picture.Draw(piece, frame.first * kCellSize, frame.second * kCellSize, scale);
    m_frames.emplace(key, frame);
    return frame;
}

void BuildWorld(const level::Layout& layout, World& world)
{
    using level::Cell;
    level::Layers& layers = world.layers;
    for (int r = 0; r < kMapRows; ++r)
    {
        for (int c = 0; c < kMapColumns; ++c)
        {
            const Cell cell = layout.At(c, r);
            const bool wall = layout.IsWall(c, r);
            const std::uint32_t cellSeed =
                Hash(static_cast<std::uint32_t>(c), static_cast<std::uint32_t>(r), 11);
            layers.collision[r * kMapColumns + c] = cell == Cell::Floor ? 0 : 1;

            // Floor: a few stone cuttings, now and then something lying on it.
            const int variant = static_cast<int>(Hash(cellSeed, 1) % 9) % 5;
            int decoration = 0;
            if (!wall && Hash(cellSeed, 2) % 100 < 13)
            {
                decoration = 1 + static_cast<int>(Hash(cellSeed, 3) % 6);
            }
            const bool shadowNorth = !wall && layout.IsWall(c, r - 1);
            const bool shadowWest = !wall && layout.IsWall(c - 1, r);
            const std::uint32_t floorSeed = static_cast<std::uint32_t>(variant * 7 + decoration);
            const std::string floorKey = "floor " + std::to_string(variant) + " " +
                                         std::to_string(decoration) + " " +
                                         std::to_string(shadowNorth) + std::to_string(shadowWest);
            layers.floor.push_back(world.floor.Frame(floorKey,
                                                     [&]
                                                     {
                                                         Canvas piece = FloorPiece(
                                                             variant, decoration, floorSeed);
                                                         ShadeFloor(piece, shadowNorth, shadowWest);
                                                         return piece;
                                                     }));

            // Walls: a face where open ground lies in front, else the top.
            if (wall)
            {
                const Sides open{!layout.IsWall(c, r - 1),     !layout.IsWall(c + 1, r),
                                 !layout.IsWall(c - 1, r),     !layout.IsWall(c + 1, r - 1),
                                 !layout.IsWall(c - 1, r - 1), !layout.IsWall(c + 1, r + 1),
                                 !layout.IsWall(c - 1, r + 1)};
                const bool face = !layout.IsWall(c, r + 1);
                std::string key = face ? "face " : "top ";
                key += std::to_string(open.north) + std::to_string(open.east) +
                       std::to_string(open.west);
                std::uint32_t look = 0;
                if (face)
                {
                    // Decorated faces stay plain behind the torch or banner.
                    const bool decorated = cell != Cell::Wall;
                    look = decorated ? 0 : Hash(cellSeed, 4) % 8;
                    key += " " + std::to_string(look);
                    layers.wall.push_back(world.wall.Frame(
                        key,
                        [&] {
                            return WallFace(open, look * 31 + 5, look == 6 ? 1 : look == 7 ? 2 : 0);
                        }));
                }
                else
                {
                    look = Hash(cellSeed, 5) % 3;
                    key += std::to_string(open.northEast) + std::to_string(open.northWest) +
                           std::to_string(open.southEast) + std::to_string(open.southWest) + " " +
                           std::to_string(look);
                    layers.wall.push_back(
                        world.wall.Frame(key, [&] { return WallTop(open, look * 13 + 3); }));
                }
            }
            else
            {
                layers.wall.push_back(world.wall.Clear());
            }

            // Objects stand only on blocked cells: this layer is drawn over
            // the player, who must never vanish behind a barrel.
            switch (cell)
            {
            case Cell::WallTorch:
                layers.objects.push_back(world.objects.Frame("torch", TorchPiece));
                break;
            case Cell::WallBanner:
                layers.objects.push_back(world.objects.Frame("banner", BannerPiece));
                break;
            case Cell::Barrel:
                layers.objects.push_back(world.objects.Frame("barrel", BarrelPiece));
                break;
            case Cell::Crate:
                layers.objects.push_back(world.objects.Frame("crate", CratePiece));
                break;
            case Cell::Chest:
                layers.objects.push_back(world.objects.Frame("chest", ChestPiece));
                break;
            case Cell::Pillar:
                layers.objects.push_back(world.objects.Frame("pillar", PillarPiece));
                break;
            default:
                layers.objects.push_back(world.objects.Clear());
                break;
            }
        }
    }
}

Canvas Preview(const World& world)
{
    constexpr int kSize = kCellSize;
    Canvas out(kWorldWidth, kWorldHeight);
    out.Fill(Rgb(0x000000));
    auto drawLayer = [&](const Sheet& sheet, const std::vector<level::Pair>& pairs)
    {
        for (int k = 0; k < kMapCells; ++k)
        {
            const level::Pair p = pairs[k];
            for (int y = 0; y < kSize; ++y)
            {
                for (int x = 0; x < kSize; ++x)
                {
                    out.Blend((k % kMapColumns) * kSize + x, (k / kMapColumns) * kSize + y,
                              sheet.Picture().Get(p.first * kSize + x, p.second * kSize + y));
                }
            }
        }
    };
    drawLayer(world.floor, world.layers.floor);
    const Canvas gold = GoldSprite();
    for (const CellSpot g : kGoldCells)
    {
        out.Draw(gold, g.column * kSize, g.row * kSize);
    }
    out.Draw(PlayerFrame(0, 1), kStartCell.column * kSize, kStartCell.row * kSize);
    drawLayer(world.wall, world.layers.wall);
    drawLayer(world.objects, world.layers.objects);
    return out;
}

} // namespace art

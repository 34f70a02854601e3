#include "tools/assetgen/Level.h"

#include <stdexcept>
#include <string>

namespace level
{

namespace
{

// The dungeon, one character per cell:
//   '#' wall        't' wall with a torch    'n' wall with a banner
//   '.' floor       'B' barrel    'C' crate    'H' chest    'P' pillar
// Barrels, crates, chests and pillars block the way like walls do.
//
// Rooms: the start room in the south, the armoury with its pillars in the
// west, the treasury and the north-east store at the top, the pillared hall
// in the middle, the east room, the cellar and the south-east store. The
// treasury hangs off the room above the start like a dead end, and the middle
// hall is only reached round the long way, so the walls shape the route.
// Short dead ends with chests tempt the player off the way.
constexpr std::array<const char*, kMapRows> kDesign{{
    "#########################t#n#t###########t#n#t####",
    "##t#n#t#################......H########BB......###",
    "#.......###########............########........###",
    "#..P..P.......H####.####.......########.........H#",
    "#.......#########t#.t###B.....C########.......C###",
    "#.......########B....CC####################t#.#t##",
    "#..P..P.########.......####t####t#########C.....B#",
    "#.......##n#t###.......###........########.......#",
    "####.####..............###.P....P.###t####.......#",
    "####..........############.......................#",
    "#########.....#########....P......########......B#",
    "#########C....#########.##........##########.#####",
    "###########....#t#n#t##.######.#############.#####",
    "#############...........#####t.##t#n######t#.##t##",
    "#t###########........#######C.......B####C.......#",
    "....#########........#######.........####.........",
    ".....................#######...........H#.........",
    "...B#########B......C#######B........####C.....B..",
    "##################################################",
}};

Cell FromChar(char c)
{
    switch (c)
    {
    case '.':
        return Cell::Floor;
    case '#':
        return Cell::Wall;
    case 't':
        return Cell::WallTorch;
    case 'n':
        return Cell::WallBanner;
    case 'B':
        return Cell::Barrel;
    case 'C':
        return Cell::Crate;
    case 'H':
        return Cell::Chest;
    case 'P':
        return Cell::Pillar;
    default:
        throw std::runtime_error(std::string("unknown cell in the design: ") + c);
    }
}

} // namespace

Layout Layout::Designed()
{
    Layout layout;
    for (int r = 0; r < kMapRows; ++r)
    {
        const std::string row = kDesign[r];
        if (static_cast<int>(row.size()) != kMapColumns)
        {
            throw std::runtime_error("design row " + std::to_string(r) + " is not " +
                                     std::to_string(kMapColumns) + " cells wide");
        }
        for (int c = 0; c < kMapColumns; ++c)
        {
            layout.m_cells[r * kMapColumns + c] = FromChar(row[c]);
        }
    }
    auto mustBeFree = [&](CellSpot s, const char* what)
    {
        if (layout.Blocked(s.column, s.row))
        {
            throw std::runtime_error(std::string(what) + " cell is blocked: " +
                                     std::to_string(s.column) + "," + std::to_string(s.row));
        }
    };
    mustBeFree(kStartCell, "start");
    for (CellSpot g : kGoldCells)
    {
        mustBeFree(g, "gold");
    }
    for (int r = 0; r < kMapRows; ++r)
    {
        for (int c = 0; c < kMapColumns; ++c)
        {
            const Cell cell = layout.At(c, r);
            if ((cell == Cell::WallTorch || cell == Cell::WallBanner) && layout.IsWall(c, r + 1))
            {
                throw std::runtime_error("a wall decoration at " + std::to_string(c) + "," +
                                         std::to_string(r) + " has no face to hang on");
            }
        }
    }
    return layout;
}

Cell Layout::At(int column, int row) const
{
    if (column < 0 || row < 0 || column >= kMapColumns || row >= kMapRows)
    {
        return Cell::Wall;
    }
    return m_cells[row * kMapColumns + column];
}

bool Layout::IsWall(int column, int row) const
{
    const Cell c = At(column, row);
    return c == Cell::Wall || c == Cell::WallTorch || c == Cell::WallBanner;
}

std::string CollisionText(const Layers& layers)
{
    std::string text;
    for (int r = 0; r < kMapRows; ++r)
    {
        for (int c = 0; c < kMapColumns; ++c)
        {
            if (c > 0)
            {
                text += ' ';
            }
            text += std::to_string(layers.collision[r * kMapColumns + c]);
        }
        text += '\n';
    }
    return text;
}

std::string PairText(const std::vector<Pair>& pairs)
{
    // Each entry ends with its blank; the line break comes after that blank,
    // never straight after a row number, where a reader would swallow it.
    std::string text;
    for (std::size_t k = 0; k < pairs.size(); ++k)
    {
        text += std::to_string(pairs[k].first) + ',' + std::to_string(pairs[k].second) + ' ';
        if ((k + 1) % kMapColumns == 0)
        {
            text += '\n';
        }
    }
    return text;
}

} // namespace level

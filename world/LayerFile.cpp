#include "world/LayerFile.h"

#include "graphics/Util.h"

#include <cctype>
#include <string>

int ReadCollisionGrid(std::istream& in, CollisionGrid& grid)
{
    grid.fill(0);
    int read = 0;
    for (std::int32_t& cell : grid)
    {
        std::int32_t value = 0;
        if (!(in >> value))
        {
            break;
        }
        cell = value;
        ++read;
    }
    return read;
}

namespace
{
bool IsSpace(int c)
{
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}
} // namespace

TileList ReadTilePairs(std::istream& in)
{
    TileList pairs;
    std::string column;
    std::string row;
    for (;;)
    {
        while (IsSpace(in.peek()))
        {
            in.get();
        }
        if (in.peek() == std::char_traits<char>::eof())
        {
            break;
        }
        column.clear();
        row.clear();
        int c = in.get();
        while (c != std::char_traits<char>::eof() && c != ',')
        {
            column.push_back(static_cast<char>(c));
            c = in.get();
        }
        if (c == ',')
        {
            while (in.peek() != std::char_traits<char>::eof() && !IsSpace(in.peek()))
            {
                row.push_back(static_cast<char>(in.get()));
            }
        }
        pairs.emplace_back(ParseInt(column), ParseInt(row));
    }
    return pairs;
}

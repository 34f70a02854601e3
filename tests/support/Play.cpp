#include "tests/support/Play.h"

#include "core/Game.h"
#include "core/Input.h"
#include "gameplay/Player.h"
#include "graphics/Objects.h"
#include "world/Map.h"

#include <algorithm>
#include <deque>

namespace support
{

void Frame(Platform& platform)
{
    Game* game = Game::Instance();
    while (!game->m_quit && !game->Step(platform))
    {
    }
}

namespace
{
// The way back from every cell to `from`, stepping as the player does; -1
// where a cell cannot be reached, `from` itself for `from`.
std::array<int, kMapCells> WaysBack(const CollisionGrid& grid, int from)
{
    std::array<int, kMapCells> back;
    back.fill(-1);
    back[static_cast<std::size_t>(from)] = from;
    for (std::deque<int> queue{from}; !queue.empty(); queue.pop_front())
    {
        const int at = queue.front();
        const int column = at % kMapColumns;
        for (const int next : {column > 0 ? at - 1 : -1, column + 1 < kMapColumns ? at + 1 : -1,
                               at - kMapColumns, at + kMapColumns})
        {
            if (next >= 0 && next < kMapCells && grid[static_cast<std::size_t>(next)] != 1 &&
                back[static_cast<std::size_t>(next)] < 0)
            {
                back[static_cast<std::size_t>(next)] = at;
                queue.push_back(next);
            }
        }
    }
    return back;
}
} // namespace

std::vector<int> RouteThroughGold(const Map& map)
{
    std::vector<int> gold;
    for (const auto& piece : map.m_events)
    {
        if (piece->active)
        {
            gold.push_back(piece->m_y / kCellSize * kMapColumns + piece->m_x / kCellSize);
        }
    }
    int at = map.m_player->m_y / kCellSize * kMapColumns + map.m_player->m_x / kCellSize;
    std::vector<int> route;
    while (!gold.empty())
    {
        const std::array<int, kMapCells> back = WaysBack(map.m_collisionGrid, at);
        std::vector<std::vector<int>> legs;
        for (const int piece : gold)
        {
            std::vector<int> leg;
            for (int c = piece; c != at && back[static_cast<std::size_t>(c)] >= 0;
                 c = back[static_cast<std::size_t>(c)])
            {
                leg.insert(leg.begin(), c);
            }
            if (back[static_cast<std::size_t>(piece)] < 0)
            {
                return {};
            }
            legs.push_back(leg);
        }
        const auto nearest = std::ranges::min_element(legs, {}, &std::vector<int>::size);
        route.insert(route.end(), nearest->begin(), nearest->end());
        at = gold[static_cast<std::size_t>(nearest - legs.begin())];
        gold.erase(gold.begin() + (nearest - legs.begin()));
    }
    return route;
}

void RouteWalker::Steer(const Player& player, TestPlatform& keys)
{
    if (player.m_moving)
    {
        return;
    }
    const int column = player.m_x / kCellSize;
    const int row = player.m_y / kCellSize;
    if (m_next < m_route.size() && m_route[m_next] == row * kMapColumns + column)
    {
        ++m_next;
    }
    keys.ReleaseAll();
    if (m_next < m_route.size())
    {
        const int to = m_route[m_next];
        keys.Hold(to % kMapColumns < column   ? kKeyLeft
                  : to % kMapColumns > column ? kKeyRight
                  : to / kMapColumns < row    ? kKeyUp
                                              : kKeyDown);
    }
}

} // namespace support

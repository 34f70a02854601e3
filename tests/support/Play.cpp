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

bool Free(const CollisionGrid& grid, Cell c)
{
    return c.column >= 0 && c.column < kMapColumns && c.row >= 0 && c.row < kMapRows &&
           grid[static_cast<std::size_t>(c.row * kMapColumns + c.column)] != 1;
}

namespace
{
std::size_t Index(Cell c)
{
    return static_cast<std::size_t>(c.row * kMapColumns + c.column);
}
} // namespace

Paths::Paths(const CollisionGrid& grid, Cell from) : m_from(from)
{
    m_distance.fill(-1);
    m_previous.fill(-1);
    std::deque<Cell> queue{from};
    m_distance[Index(from)] = 0;
    while (!queue.empty())
    {
        const Cell cell = queue.front();
        queue.pop_front();
        for (const Cell step : {Cell{-1, 0}, Cell{1, 0}, Cell{0, -1}, Cell{0, 1}})
        {
            const Cell next{cell.column + step.column, cell.row + step.row};
            if (Free(grid, next) && m_distance[Index(next)] < 0)
            {
                m_distance[Index(next)] = m_distance[Index(cell)] + 1;
                m_previous[Index(next)] = static_cast<int>(Index(cell));
                queue.push_back(next);
            }
        }
    }
}

int Paths::Distance(Cell to) const
{
    return m_distance[Index(to)];
}

std::vector<Cell> Paths::To(Cell to) const
{
    std::vector<Cell> path;
    if (Distance(to) < 0)
    {
        return path;
    }
    for (Cell c = to; !(c == m_from);)
    {
        path.insert(path.begin(), c);
        const int p = m_previous[Index(c)];
        c = Cell{p % kMapColumns, p / kMapColumns};
    }
    return path;
}

std::vector<Cell> RouteThroughGold(const Map& map)
{
    std::vector<Cell> gold;
    for (const auto& piece : map.m_events)
    {
        if (piece->active)
        {
            gold.push_back(Cell{piece->m_x / kCellSize, piece->m_y / kCellSize});
        }
    }
    Cell at{map.m_player->m_x / kCellSize, map.m_player->m_y / kCellSize};
    std::vector<Cell> route;
    while (!gold.empty())
    {
        const Paths paths(map.m_collisionGrid, at);
        // As unsigned, "unreachable" (-1) comes after every distance.
        const auto steps = [&paths](Cell c) { return static_cast<unsigned>(paths.Distance(c)); };
        const auto nearest = std::min_element(
            gold.begin(), gold.end(), [&steps](Cell a, Cell b) { return steps(a) < steps(b); });
        if (paths.Distance(*nearest) < 0)
        {
            return {};
        }
        const std::vector<Cell> leg = paths.To(*nearest);
        route.insert(route.end(), leg.begin(), leg.end());
        at = *nearest;
        gold.erase(nearest);
    }
    return route;
}

void RouteWalker::Steer(const Player& player, TestPlatform& keys)
{
    if (player.m_moving)
    {
        return;
    }
    const Cell at{player.m_x / kCellSize, player.m_y / kCellSize};
    if (m_next < m_route.size() && m_route[m_next] == at)
    {
        ++m_next;
    }
    keys.ReleaseAll();
    if (m_next < m_route.size())
    {
        const Cell to = m_route[m_next];
        keys.Hold(to.column < at.column   ? kKeyLeft
                  : to.column > at.column ? kKeyRight
                  : to.row < at.row       ? kKeyUp
                                          : kKeyDown);
    }
}

} // namespace support

#include "gameplay/Player.h"

#include "core/Input.h"
#include "core/Sound.h"
#include "gameplay/Rules.h"
#include "graphics/Log.h"
#include "graphics/ResourceManager.h"
#include "world/Map.h"

Player::Player()
{
    LogLine("Player constructor called...");
    LogLine("Player Initialize function called... setting the default values...");
    m_tag = "Player";
    m_x = kStartCell.column * kCellSize;
    m_y = kStartCell.row * kCellSize;
    m_width = kCellSize;
    m_height = kCellSize;
    m_columns = 2;
    m_rows = 4;
    m_column = 1;
    CreateSprite(m_sprite);
    LogLine("Player Create Bound function called... setting up the AABB...");
    m_bound = MakeBound();
    LogLine("Player constructor completed successfully.");
}

Player::~Player()
{
    LogLine("Player destructor called...");
    ReleaseTexture();
    LogLine("Player destructor completed successfully.");
}

void Player::Reset()
{
    m_score = 0;
    m_x = kStartCell.column * kCellSize;
    m_y = kStartCell.row * kCellSize;
    m_stuck = false;
    m_timeDecreased = false;
    m_timeIncreased = false;
    visible = true;
    // A game that ended mid-move (a win usually does) must not carry that move
    // or a running effect count into the next game.
    m_moving = false;
    m_moveUp = m_moveDown = m_moveLeft = m_moveRight = false;
    m_target = 0;
    m_effectTimer = 0;
    m_sprite.m_column = 1.0f;
    m_sprite.m_row = static_cast<float>(kFaceDown);
    m_bound = MakeBound();
}

void Player::Update()
{
    // The walk animation alternates its two columns on every update.
    m_column = m_column >= m_columns - 1 ? 0 : m_column + 1;
    HandleMovement();
    if (m_moving)
    {
        AdvanceMove();
    }
    m_bound.x = m_bound.minX = static_cast<float>(m_x);
    m_bound.y = m_bound.minY = static_cast<float>(m_y);
    m_bound.maxX = static_cast<float>(m_x) + m_bound.width;
    m_bound.maxY = static_cast<float>(m_y) + m_bound.height;
    CountEffects();
}

void Player::AdvanceMove()
{
    auto land = [this](std::int32_t& coordinate, bool& flag, int row)
    {
        coordinate = m_target;
        m_moving = false;
        flag = false;
        m_sprite.m_column = 1.0f;
        m_sprite.m_row = static_cast<float>(row);
    };
    if (m_moveUp)
    {
        m_y -= m_speed;
        if (m_y <= m_target)
        {
            land(m_y, m_moveUp, kFaceUp);
        }
    }
    if (m_moveDown)
    {
        m_y += m_speed;
        if (m_y >= m_target)
        {
            land(m_y, m_moveDown, kFaceDown);
        }
    }
    if (m_moveLeft)
    {
        m_x -= m_speed;
        if (m_x <= m_target)
        {
            land(m_x, m_moveLeft, kFaceLeft);
        }
    }
    if (m_moveRight)
    {
        m_x += m_speed;
        if (m_x >= m_target)
        {
            land(m_x, m_moveRight, kFaceRight);
        }
    }
}

void Player::CountEffects()
{
    // One timer serves every running effect, so overlapping effects do not
    // last 200 updates each: the first to see exactly 200 ends, and the others
    // count on from 0.
    auto count = [this](bool& running, bool endValue)
    {
        ++m_effectTimer;
        if (m_effectTimer == kEffectUpdates)
        {
            m_effectTimer = 0;
            running = endValue;
        }
    };
    if (!visible)
    {
        count(visible, true);
    }
    if (m_stuck)
    {
        count(m_stuck, false);
    }
    if (m_timeDecreased)
    {
        count(m_timeDecreased, false);
    }
    if (m_timeIncreased)
    {
        count(m_timeIncreased, false);
    }
}

namespace
{
// Cells outside the grid, and neighbours across the left or right edge of
// the level, count as walls.
bool Blocked(const CollisionGrid& grid, int column, int row)
{
    if (column < 0 || column >= kMapColumns || row < 0 || row >= kMapRows)
    {
        return true;
    }
    const int cell = row * kMapColumns + column;
    return grid[static_cast<std::size_t>(cell)] == 1;
}
} // namespace

void Player::HandleMovement()
{
    m_keys = Input::Instance()->m_keys;
    if (m_keys == nullptr)
    {
        return;
    }
    const CollisionGrid& grid = Map::Instance()->m_collisionGrid;
    const int column = m_x / kCellSize;
    const int row = m_y / kCellSize;
    struct Direction
    {
        int key;
        int dx;
        int dy;
        bool Player::*flag;
        int row;
    };
    // Tested in this order, and the first that starts a move wins: left over
    // right, right over up, up over down.
    static constexpr Direction kDirections[] = {
        {kKeyLeft, -1, 0, &Player::m_moveLeft, kFaceLeft},
        {kKeyRight, 1, 0, &Player::m_moveRight, kFaceRight},
        {kKeyUp, 0, -1, &Player::m_moveUp, kFaceUp},
        {kKeyDown, 0, 1, &Player::m_moveDown, kFaceDown},
    };
    for (const Direction& d : kDirections)
    {
        if (m_keys[d.key] == 0 || Blocked(grid, column + d.dx, row + d.dy) || m_moving || m_stuck)
        {
            continue;
        }
        this->*d.flag = true;
        // The neighbour is inside the grid (Blocked says so), so the target
        // needs no clamping.
        m_target = d.dx != 0 ? m_x + d.dx * kCellSize : m_y + d.dy * kCellSize;
        m_moving = true;
        m_sprite.m_column = static_cast<float>(m_column);
        m_sprite.m_row = static_cast<float>(d.row);
        // One footstep for every cell walked.
        Sound::Instance()->Play(kSoundStep);
    }
}

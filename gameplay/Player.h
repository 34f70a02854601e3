#pragma once

#include "graphics/GameObject.h"
#include "world/Level.h"

#include <cstdint>

// Pixels walked per update; a 32-pixel cell takes 11 updates (the last step
// lands on the cell).
inline constexpr int kPlayerSpeed = 3;
inline constexpr int kUpdatesPerCell = (32 + kPlayerSpeed - 1) / kPlayerSpeed;

// The character the player steers. It moves one 32-pixel cell at a time: an
// arrow key starts a move when the collision layer allows it, and the move
// runs at a fixed speed until the player stands on the next cell. Walls are
// respected by refusing to start a move, never by pushing back.
class Player final : public GameObject
{
public:
    Player();
    ~Player() override;

    void Update() override;
    // The world drawing draws the player with the camera offset.
    bool Draw() override { return true; }

    // Starts a move from the keyboard when none is running.
    void HandleMovement();
    // Back to the start cell, standing, facing down, with no move or effect
    // running: every game starts the same way.
    void Reset();

    std::int32_t m_effectTimer = 0;
    std::int32_t m_speed = kPlayerSpeed;
    std::int32_t m_target = 0;
    std::int32_t m_score = 0;
    bool m_stuck = false;
    bool m_timeIncreased = false;
    bool m_timeDecreased = false;
    bool m_moveUp = false;
    bool m_moveDown = false;
    bool m_moveLeft = false;
    bool m_moveRight = false;
    bool m_moving = false;
    Sprite m_sprite;
    AABB m_bound;

private:
    void AdvanceMove();
    void CountEffects();
};

// Sprite rows of the four facings; column 1 is the standing frame.
inline constexpr int kFaceDown = 0;
inline constexpr int kFaceLeft = 1;
inline constexpr int kFaceRight = 2;
inline constexpr int kFaceUp = 3;

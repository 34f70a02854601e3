#pragma once

#include "graphics/GameObject.h"
#include "world/Level.h"

#include <cstdint>

class Player;

// The 800 x 608 view onto the 1600 x 608 level. It is as tall as the level,
// so it only ever scrolls sideways.
class Camera final
{
public:
    Camera();
    ~Camera();
    Camera(const Camera&) = delete;
    Camera& operator=(const Camera&) = delete;

    // Centres the view on the player and keeps it inside the level.
    void Follow(const Player& player);

    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = kViewWidth;
    std::int32_t height = kViewHeight;
    AABB m_bound;
};

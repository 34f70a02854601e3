#pragma once

#include "graphics/GameObject.h"
#include "graphics/View.h"

#include <cstdint>

// The 800 x 608 view onto the 1600 x 608 level. It is as tall as the level,
// so it only ever scrolls sideways.
class Camera final
{
public:
    Camera();
    ~Camera();
    Camera(const Camera&) = delete;
    Camera& operator=(const Camera&) = delete;

    // Centres the view on a point of the level (the player's middle) and
    // keeps it inside the level.
    void Follow(std::int32_t centreX, std::int32_t centreY);

    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = kViewWidth;
    std::int32_t height = kViewHeight;
    AABB m_bound;
};

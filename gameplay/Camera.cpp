#include "gameplay/Camera.h"

#include "gameplay/Player.h"
#include "graphics/Log.h"
#include "world/LayerFile.h"

Camera::Camera()
{
    LogLine("Camera constructor called...");
    LogLine("Camera Create Bound function called... setting up the AABB...");
    m_bound.minX = m_bound.x = static_cast<float>(x);
    m_bound.minY = m_bound.y = static_cast<float>(y);
    m_bound.width = static_cast<float>(width);
    m_bound.height = static_cast<float>(height);
    m_bound.maxX = static_cast<float>(x + width);
    m_bound.maxY = static_cast<float>(y + height);
    LogLine("Camera constructor completed successfully.");
}

Camera::~Camera()
{
    LogLine("Camera destructor called...");
    LogLine("Camera destructor completed successfully.");
}

void Camera::Follow(const Player& player)
{
    // 400 and 304 are half of the 800 x 608 view the game was drawn for.
    x = player.m_x + player.m_width / 2 - 400;
    y = player.m_y + player.m_height / 2 - 304;
    if (x < 0)
    {
        x = 0;
    }
    if (y < 0)
    {
        y = 0;
    }
    if (x > kWorldWidth - width)
    {
        x = kWorldWidth - width;
    }
    if (y > kWorldHeight - height)
    {
        y = kWorldHeight - height;
    }
}

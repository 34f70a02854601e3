#include "gameplay/Camera.h"

#include "graphics/Log.h"
#include "graphics/View.h"
#include "world/Level.h"

Camera::Camera()
{
    LogLine("Camera constructor called...");
    LogLine("Camera Create Bound function called... setting up the AABB...");
    m_bound = AABB::FromRect(static_cast<float>(x), static_cast<float>(y),
                             static_cast<float>(width), static_cast<float>(height));
    LogLine("Camera constructor completed successfully.");
}

Camera::~Camera()
{
    LogLine("Camera destructor called...");
    LogLine("Camera destructor completed successfully.");
}

void Camera::Follow(std::int32_t centreX, std::int32_t centreY)
{
    x = centreX - kViewWidth / 2;
    y = centreY - kViewHeight / 2;
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

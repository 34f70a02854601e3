#pragma once

#include "graphics/Sprite.h"

#include <SDL.h>

#include <cstdint>
#include <string>

// A bounding box of floats. Overlap is strict on all four sides: boxes that
// only touch do not overlap.
struct AABB
{
    float minX = 0.0f;
    float minY = 0.0f;
    float maxX = 0.0f;
    float maxY = 0.0f;
    float x = 0.0f;
    float y = 0.0f;
    float width = 0.0f;
    float height = 0.0f;

    static AABB FromRect(float left, float top, float w, float h)
    {
        return AABB{left, top, left + w, top + h, left, top, w, h};
    }

    bool Overlaps(const AABB& other) const
    {
        return maxX > other.minX && other.maxX > minX && maxY > other.minY && other.maxY > minY;
    }
};

// Anything drawn from a sprite sheet: a position and size in pixels, the sheet
// layout, the sprite tag naming its picture, and two flags.
class GameObject
{
public:
    GameObject();
    virtual ~GameObject() = default;
    GameObject(const GameObject&) = delete;
    GameObject& operator=(const GameObject&) = delete;

    // Per-frame logic.
    virtual void Update() = 0;
    // Draws the object; only the sprite's current frame changes. Always true.
    virtual bool Draw() = 0;

    // Fills a sprite with the texture of m_tag and the object's geometry.
    void CreateSprite(Sprite& sprite);
    // A bound made from the object's current position and size.
    AABB MakeBound() const;

    const Uint8* m_keys = nullptr;
    std::int32_t m_x = 0;
    std::int32_t m_y = 0;
    std::int32_t m_width = 1;
    std::int32_t m_height = 1;
    std::int32_t m_columns = 1;
    std::int32_t m_rows = 1;
    std::int32_t m_column = 0;
    std::int32_t m_row = 0;
    std::string m_tag;
    bool active = true;
    bool visible = true;

protected:
    // Destroys the texture of m_tag and says so: the common end of the
    // destructors of objects that own a picture.
    void ReleaseTexture() const;
};

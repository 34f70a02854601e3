#pragma once

#include <SDL.h>

#include <cstdint>

// One frame of a sprite sheet: the texture is cut into m_columns frames per
// row of m_frameWidth x m_frameHeight, and the frame is drawn scaled to
// m_width x m_height. The texture belongs to the AssetCache.
class Sprite
{
public:
    Sprite() = default;
    virtual ~Sprite() = default;
    Sprite(const Sprite&) = default;
    Sprite& operator=(const Sprite&) = default;

    // Picks the frame from column and row (it sets m_frameIndex) and draws it.
    virtual void Draw(std::int32_t x, std::int32_t y, double angle, SDL_RendererFlip flip);

    // The source rectangle of the current frame (m_frameIndex).
    SDL_Rect SourceRect() const;

    std::int32_t m_frameIndex = 0;
    float m_column = 0.0f;
    float m_row = 0.0f;
    float m_width = 0.0f;
    float m_height = 0.0f;
    SDL_Texture* m_texture = nullptr;
    std::int32_t m_columns = 0;
    std::int32_t m_rows = 0;
    std::int32_t m_frameWidth = 0;
    std::int32_t m_frameHeight = 0;

private:
    void RenderFrame(std::int32_t x, std::int32_t y, SDL_RendererFlip flip, double angle);
};

#include "graphics/Sprite.h"

#include "core/Graphics.h"
#include "graphics/Log.h"

namespace
{
// Frame numbers from -1 (exclusive: truncation takes -0.5 to 0) up to this
// bound convert to int32; anything else, NaN included, is no frame at all.
constexpr float kNoFrameBelow = -1.0f;
constexpr float kNoFrameFrom = 2147483648.0f;
} // namespace

void Sprite::Draw(std::int32_t x, std::int32_t y, double angle, SDL_RendererFlip flip)
{
    // Column and row may be fractional; only the sum is truncated. A tile
    // number too large for a frame number is outside every sheet.
    const float frame = static_cast<float>(m_columns) * m_row + m_column;
    m_frameIndex =
        frame > kNoFrameBelow && frame < kNoFrameFrom ? static_cast<std::int32_t>(frame) : -1;
    RenderFrame(x, y, flip, angle);
}

SDL_Rect Sprite::SourceRect() const
{
    return SDL_Rect{(m_frameIndex % m_columns) * m_frameWidth,
                    (m_frameIndex / m_columns) * m_frameHeight, m_frameWidth, m_frameHeight};
}

void Sprite::RenderFrame(std::int32_t x, std::int32_t y, SDL_RendererFlip flip, double angle)
{
    if (m_frameWidth == 0 || m_frameHeight == 0)
    {
        LogLine("Can't load texture data, but still calling Draw function somewhere.");
        return;
    }
    if (m_columns < 1)
    {
        return; // a sheet without columns has no frames to pick from
    }
    // A frame outside the sheet (a stray tile number in a layer file) has no
    // picture to draw.
    if (m_frameIndex < 0 ||
        static_cast<std::int64_t>(m_frameIndex) >= static_cast<std::int64_t>(m_columns) * m_rows)
    {
        return;
    }
    const SDL_Rect source = SourceRect();
    const SDL_Rect destination{x, y, static_cast<int>(m_width), static_cast<int>(m_height)};
    const SDL_Point centre{destination.w / 2, destination.h / 2};
    Graphics::Instance()->Copy(m_texture, &source, destination, angle, &centre, flip);
}

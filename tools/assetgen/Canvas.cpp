#include "tools/assetgen/Canvas.h"

#include <SDL_image.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <stdexcept>

namespace art
{

Color Rgb(std::uint32_t hex, std::uint8_t alpha)
{
    return Color{static_cast<std::uint8_t>(hex >> 16), static_cast<std::uint8_t>(hex >> 8),
                 static_cast<std::uint8_t>(hex), alpha};
}

namespace
{
std::uint8_t Clamp8(float v)
{
    return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}
} // namespace

Color Mix(Color a, Color b, float t)
{
    return Color{Clamp8(a.r + (b.r - a.r) * t), Clamp8(a.g + (b.g - a.g) * t),
                 Clamp8(a.b + (b.b - a.b) * t), Clamp8(a.a + (b.a - a.a) * t)};
}

Color Shade(Color c, float factor)
{
    return Color{Clamp8(c.r * factor), Clamp8(c.g * factor), Clamp8(c.b * factor), c.a};
}

std::uint32_t Hash(std::uint32_t a, std::uint32_t b, std::uint32_t c)
{
    std::uint32_t h = 0x9E3779B9u ^ (a * 0x85EBCA6Bu) ^ (b * 0xC2B2AE35u) ^ (c * 0x27D4EB2Fu);
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

float Hash01(std::uint32_t a, std::uint32_t b, std::uint32_t c)
{
    return static_cast<float>(Hash(a, b, c) & 0xFFFFu) / 65535.0f;
}

Canvas::Canvas(int width, int height)
    : m_width(width), m_height(height),
      m_surface(SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGBA32))
{
    if (m_surface == nullptr)
    {
        throw std::runtime_error(std::string("cannot create a surface: ") + SDL_GetError());
    }
    SDL_SetSurfaceBlendMode(m_surface, SDL_BLENDMODE_NONE);
    std::memset(m_surface->pixels, 0, static_cast<std::size_t>(m_surface->pitch) * height);
}

Canvas::~Canvas()
{
    SDL_FreeSurface(m_surface);
}

Canvas::Canvas(Canvas&& other) noexcept
    : m_width(other.m_width), m_height(other.m_height), m_surface(other.m_surface)
{
    other.m_surface = nullptr;
}

Color Canvas::Get(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
    {
        return kClear;
    }
    const auto* p =
        static_cast<const std::uint8_t*>(m_surface->pixels) + y * m_surface->pitch + x * 4;
    return Color{p[0], p[1], p[2], p[3]};
}

void Canvas::Set(int x, int y, Color c)
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
    {
        return;
    }
    auto* p = static_cast<std::uint8_t*>(m_surface->pixels) + y * m_surface->pitch + x * 4;
    p[0] = c.r;
    p[1] = c.g;
    p[2] = c.b;
    p[3] = c.a;
}

void Canvas::Blend(int x, int y, Color c)
{
    if (c.a == 255)
    {
        Set(x, y, c);
        return;
    }
    if (c.a == 0)
    {
        return;
    }
    const Color d = Get(x, y);
    const float sa = c.a / 255.0f;
    const float da = d.a / 255.0f;
    const float oa = sa + da * (1.0f - sa);
    if (oa <= 0.0f)
    {
        return;
    }
    auto channel = [&](std::uint8_t s, std::uint8_t t)
    { return Clamp8((s * sa + t * da * (1.0f - sa)) / oa); };
    Set(x, y, Color{channel(c.r, d.r), channel(c.g, d.g), channel(c.b, d.b), Clamp8(oa * 255.0f)});
}

void Canvas::Fill(Color c)
{
    FillRect(0, 0, m_width, m_height, c);
}

void Canvas::FillRect(int x, int y, int w, int h, Color c)
{
    for (int j = y; j < y + h; ++j)
    {
        for (int i = x; i < x + w; ++i)
        {
            Set(i, j, c);
        }
    }
}

void Canvas::BlendRect(int x, int y, int w, int h, Color c)
{
    for (int j = y; j < y + h; ++j)
    {
        for (int i = x; i < x + w; ++i)
        {
            Blend(i, j, c);
        }
    }
}

void Canvas::Frame(int x, int y, int w, int h, Color c, int thickness)
{
    FillRect(x, y, w, thickness, c);
    FillRect(x, y + h - thickness, w, thickness, c);
    FillRect(x, y, thickness, h, c);
    FillRect(x + w - thickness, y, thickness, h, c);
}

// Centre and radii are given doubled so that ellipses can sit on half pixels.
void Canvas::FillEllipse(int cx2, int cy2, int rx2, int ry2, Color c)
{
    const int x0 = (cx2 - rx2) / 2 - 1;
    const int x1 = (cx2 + rx2) / 2 + 1;
    const int y0 = (cy2 - ry2) / 2 - 1;
    const int y1 = (cy2 + ry2) / 2 + 1;
    for (int y = y0; y <= y1; ++y)
    {
        for (int x = x0; x <= x1; ++x)
        {
            const double dx = (2.0 * x + 1.0 - cx2) / rx2;
            const double dy = (2.0 * y + 1.0 - cy2) / ry2;
            if (dx * dx + dy * dy <= 1.0)
            {
                Blend(x, y, c);
            }
        }
    }
}

void Canvas::Draw(const Canvas& src, int x, int y, int scale, bool mirror)
{
    DrawFaded(src, x, y, scale, 1.0f, mirror);
}

void Canvas::DrawFaded(const Canvas& src, int x, int y, int scale, float opacity, bool mirror)
{
    const int s = scale;
    const int left = x;
    for (int j = 0; j < src.Height(); ++j)
    {
        for (int i = 0; i < src.Width(); ++i)
        {
            Color c = src.Get(mirror ? src.Width() - 1 - i : i, j);
            c.a = Clamp8(c.a * opacity);
            if (c.a == 0)
            {
                continue;
            }
            for (int v = 0; v < s; ++v)
            {
                for (int u = 0; u < s; ++u)
                {
                    Blend(left + i * s + u, y + j * s + v, c);
                }
            }
        }
    }
}

bool Canvas::SavePng(const std::string& path) const
{
    return IMG_SavePNG(m_surface, path.c_str()) == 0;
}

Canvas FromPattern(const char* const* rows, int height, const char* palette)
{
    std::map<char, Color> colors;
    colors['.'] = kClear;
    for (const char* p = palette; *p != '\0';)
    {
        const char key = p[0];
        if (p[1] != '=')
        {
            throw std::runtime_error("bad palette entry");
        }
        colors[key] = Rgb(
            static_cast<std::uint32_t>(std::strtoul(std::string(p + 2, 6).c_str(), nullptr, 16)));
        p += 8;
        while (*p == ' ')
        {
            ++p;
        }
    }
    const int width = static_cast<int>(std::strlen(rows[0]));
    Canvas out(width, height);
    for (int y = 0; y < height; ++y)
    {
        if (static_cast<int>(std::strlen(rows[y])) != width)
        {
            throw std::runtime_error(std::string("pattern row of the wrong width: ") + rows[y]);
        }
        for (int x = 0; x < width; ++x)
        {
            const auto it = colors.find(rows[y][x]);
            if (it == colors.end())
            {
                throw std::runtime_error(std::string("pattern colour missing: ") + rows[y][x]);
            }
            out.Set(x, y, it->second);
        }
    }
    return out;
}

} // namespace art

#pragma once

#include <SDL.h>

#include <cstdint>
#include <string>

namespace art
{

struct Color
{
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    std::uint8_t a = 255;
};

constexpr Color kClear{0, 0, 0, 0};

Color Rgb(std::uint32_t hex, std::uint8_t alpha = 255);
Color Mix(Color a, Color b, float t);
Color Shade(Color c, float factor);

// Stable pseudo-random numbers: the same inputs give the same value on every
// machine, so the pictures come out byte for byte the same on every run.
std::uint32_t Hash(std::uint32_t a, std::uint32_t b = 0, std::uint32_t c = 0);
float Hash01(std::uint32_t a, std::uint32_t b = 0, std::uint32_t c = 0);

// An RGBA picture in memory with the few drawing operations the art needs.
class Canvas
{
public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    Canvas(Canvas&& other) noexcept;
    Canvas& operator=(Canvas&&) = delete;

    int Width() const { return m_width; }
    int Height() const { return m_height; }

    Color Get(int x, int y) const;
    void Set(int x, int y, Color c);
    // Alpha-composites c over the pixel.
    void Blend(int x, int y, Color c);

    void Fill(Color c);
    void FillRect(int x, int y, int w, int h, Color c);
    void BlendRect(int x, int y, int w, int h, Color c);
    void Frame(int x, int y, int w, int h, Color c, int thickness = 1);
    void FillEllipse(int cx2, int cy2, int rx2, int ry2, Color c);

    // Copies src, every pixel enlarged to scale x scale, composited over this.
    void Draw(const Canvas& src, int x, int y, int scale = 1, bool mirror = false);
    // Like Draw, but every drawn pixel's alpha is multiplied by opacity.
    void DrawFaded(const Canvas& src, int x, int y, int scale, float opacity, bool mirror = false);

    bool SavePng(const std::string& path) const;

private:
    int m_width;
    int m_height;
    SDL_Surface* m_surface;
};

// Builds a small picture from rows of characters; each character is looked up
// in the palette string pairs "c=RRGGBB". '.' is transparent.
Canvas FromPattern(const char* const* rows, int height, const char* palette);

} // namespace art

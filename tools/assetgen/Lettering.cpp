#include "tools/assetgen/Lettering.h"

#include <stdexcept>
#include <utility>

namespace art
{

Lettering::Lettering(std::string fontPath) : m_path(std::move(fontPath)) {}

Lettering::~Lettering()
{
    for (auto& entry : m_fonts)
    {
        TTF_CloseFont(entry.second);
    }
}

TTF_Font* Lettering::Open(int size)
{
    auto it = m_fonts.find(size);
    if (it != m_fonts.end())
    {
        return it->second;
    }
    TTF_Font* font = TTF_OpenFont(m_path.c_str(), size);
    if (font == nullptr)
    {
        throw std::runtime_error("cannot open the font " + m_path + ": " + TTF_GetError());
    }
    m_fonts.emplace(size, font);
    return font;
}

int Lettering::TextWidth(const std::string& text, int size)
{
    int w = 0;
    int h = 0;
    TTF_SizeText(Open(size), text.c_str(), &w, &h);
    return w;
}

Canvas Lettering::Render(const std::string& text, int size)
{
    SDL_Surface* glyphs =
        TTF_RenderText_Blended(Open(size), text.c_str(), SDL_Color{255, 255, 255, 255});
    if (glyphs == nullptr)
    {
        throw std::runtime_error("cannot render text: " + text);
    }
    SDL_Surface* rgba = SDL_ConvertSurfaceFormat(glyphs, SDL_PIXELFORMAT_RGBA32, 0);
    SDL_FreeSurface(glyphs);
    Canvas out(rgba->w, rgba->h);
    for (int y = 0; y < rgba->h; ++y)
    {
        const auto* row = static_cast<const std::uint8_t*>(rgba->pixels) + y * rgba->pitch;
        for (int x = 0; x < rgba->w; ++x)
        {
            // The face is a bitmap font: coverage is all or nothing.
            out.Set(x, y, row[x * 4 + 3] >= 128 ? Color{255, 255, 255, 255} : kClear);
        }
    }
    SDL_FreeSurface(rgba);
    return out;
}

void DrawText(Canvas& target, Lettering& font, const std::string& text, int x, int y,
              const TextStyle& style)
{
    const Canvas glyphs = font.Render(text, style.size);
    const int s = style.scale;
    const int h = glyphs.Height();
    auto stamp = [&](int ox, int oy, auto colourAt)
    {
        for (int j = 0; j < h; ++j)
        {
            for (int i = 0; i < glyphs.Width(); ++i)
            {
                if (glyphs.Get(i, j).a == 0)
                {
                    continue;
                }
                target.BlendRect(x + ox + i * s, y + oy + j * s, s, s, colourAt(j));
            }
        }
    };
    if (style.shadow.a != 0)
    {
        stamp(style.shadowOffset, style.shadowOffset, [&](int) { return style.shadow; });
    }
    if (style.outline.a != 0)
    {
        const int o = s > 1 ? s / 2 + 1 : 1;
        for (int dy = -o; dy <= o; dy += o)
        {
            for (int dx = -o; dx <= o; dx += o)
            {
                if (dx != 0 || dy != 0)
                {
                    stamp(dx, dy, [&](int) { return style.outline; });
                }
            }
        }
    }
    stamp(0, 0,
          [&](int j)
          {
              const float t = h > 1 ? static_cast<float>(j) / static_cast<float>(h - 1) : 0.0f;
              return Mix(style.top, style.bottom, t);
          });
}

void DrawTextCentred(Canvas& target, Lettering& font, const std::string& text, int centreX, int y,
                     const TextStyle& style)
{
    const int width = font.TextWidth(text, style.size) * style.scale;
    DrawText(target, font, text, centreX - width / 2, y, style);
}

} // namespace art

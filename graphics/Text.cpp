#include "graphics/Text.h"

#include "core/Graphics.h"
#include "graphics/ResourceManager.h"

namespace
{
constexpr Uint32 kWrapLength = 300;
}

Text::~Text()
{
    // Each Text owns its last texture, so screens built again and again do not
    // leave textures behind.
    if (m_texture != nullptr)
    {
        SDL_DestroyTexture(m_texture);
    }
}

void Text::Prepare(const std::string& fontKey, float width, float height)
{
    m_font = AssetCache::Instance()->m_fonts[fontKey];
    m_color = SDL_Color{255, 255, 255, 255};
    CreateTexture();
    m_width = width;
    m_height = height;
}

void Text::CreateTexture()
{
    SDL_Surface* surface = nullptr;
    if (m_font != nullptr && !m_text.empty())
    {
        surface = TTF_RenderText_Blended_Wrapped(m_font, m_text.c_str(), m_color, kWrapLength);
    }
    if (m_texture != nullptr)
    {
        SDL_DestroyTexture(m_texture);
        m_texture = nullptr;
    }
    if (surface != nullptr)
    {
        m_texture = SDL_CreateTextureFromSurface(Graphics::Instance()->m_renderer, surface);
        SDL_FreeSurface(surface);
        Graphics::Instance()->TexturesChanged();
    }
}

void Text::SetText(const std::string& text)
{
    if (text != m_text || m_texture == nullptr)
    {
        m_text = text;
        CreateTexture();
    }
}

void Text::Draw(int x, int y) const
{
    if (m_texture == nullptr)
    {
        return;
    }
    const SDL_Rect box{x, y, static_cast<int>(m_width), static_cast<int>(m_height)};
    Graphics::Instance()->Copy(m_texture, nullptr, box);
}

void Text::Draw(int x, int y, SDL_Color tint) const
{
    if (m_texture == nullptr)
    {
        return;
    }
    SDL_SetTextureColorMod(m_texture, tint.r, tint.g, tint.b);
    SDL_SetTextureAlphaMod(m_texture, tint.a);
    Draw(x, y);
    SDL_SetTextureColorMod(m_texture, 255, 255, 255);
    SDL_SetTextureAlphaMod(m_texture, 255);
}

#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

#include <string>

// A line of text rendered into a texture and drawn stretched into a box of
// m_width x m_height, whatever its natural size.
class Text final
{
public:
    Text() = default;
    ~Text();
    Text(const Text&) = delete;
    Text& operator=(const Text&) = delete;

    // Takes the font of a key from the AssetCache, white, renders the current
    // text and sets the box it is stretched into.
    void Prepare(const std::string& fontKey, float width, float height);
    // Renders m_text anew; an empty text or a missing font leaves no texture.
    void CreateTexture();
    // Shows `text`, rendering it only when it is not what is shown already.
    void SetText(const std::string& text);
    void Draw(int x, int y) const;
    // Draws the white rendering tinted by `tint`, its alpha included, so one
    // texture gives both coloured words and their shadow.
    void Draw(int x, int y, SDL_Color tint) const;

    std::string m_text;
    float m_width = 0.0f;
    float m_height = 0.0f;
    TTF_Font* m_font = nullptr;
    // Opaque white: the glyph coverage alone decides what shows.
    SDL_Color m_color{255, 255, 255, 255};
    SDL_Texture* m_texture = nullptr;
};

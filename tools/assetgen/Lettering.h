#pragma once

#include "tools/assetgen/Canvas.h"

#include <SDL_ttf.h>

#include <map>
#include <string>

namespace art
{

// The game's own bitmap font, used for the words painted on the pictures.
// A bitmap face has fixed sizes; the font library picks one by index, and the
// indices of the game font run from 0 (6 x 12 cells) to 8 (16 x 32 cells).
class Lettering
{
public:
    explicit Lettering(std::string fontPath);
    ~Lettering();
    Lettering(const Lettering&) = delete;
    Lettering& operator=(const Lettering&) = delete;

    // White glyphs on a transparent ground, one pixel per font pixel.
    Canvas Render(const std::string& text, int size);
    int TextWidth(const std::string& text, int size);

private:
    TTF_Font* Open(int size);

    std::string m_path;
    std::map<int, TTF_Font*> m_fonts;
};

struct TextStyle
{
    int size = 4;  // font size index
    int scale = 1; // every font pixel drawn as scale x scale
    Color top{255, 255, 255, 255};
    Color bottom{255, 255, 255, 255}; // glyphs are shaded from top to bottom
    Color outline = kClear;           // drawn around the glyphs when opaque
    Color shadow = kClear;            // drawn below right when opaque
    int shadowOffset = 2;
};

// Draws text with its top-left corner at (x, y).
void DrawText(Canvas& target, Lettering& font, const std::string& text, int x, int y,
              const TextStyle& style);
// Draws text centred on centreX.
void DrawTextCentred(Canvas& target, Lettering& font, const std::string& text, int centreX, int y,
                     const TextStyle& style);

} // namespace art

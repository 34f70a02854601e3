#include "graphics/Objects.h"

#include "graphics/Log.h"
#include "graphics/ResourceManager.h"
#include "graphics/View.h"
#include "platform/Files.h"
#include "world/Level.h"

#include <SDL_image.h>

namespace
{
// Every button stands in the menu's one column, whatever x it is given.
constexpr int kButtonX = 70;
// The pop-up boxes stand at the lower left of the view.
constexpr int kTextBoxX = 10;
constexpr int kTextBoxY = 353;
constexpr int kTextBoxWidth = 524;
constexpr int kTextBoxHeight = 255;
} // namespace

Background::Background(const std::string& tag)
{
    LogLine("Background constructor called...");
    LogLine("Background Initialize function called... setting the default values...");
    m_tag = tag;
    m_width = kViewWidth;
    m_height = kViewHeight;
    CreateSprite(m_sprite);
    LogLine("Background constructor completed successfully. ");
}

Background::~Background()
{
    LogLine("Background destructor called...");
    ReleaseTexture();
    LogLine("Background destructor completed successfully.");
}

bool Background::Draw()
{
    m_sprite.Draw(m_x, m_y, 0.0, SDL_FLIP_NONE);
    return true;
}

Button::Button(const std::string& tag, int /*x*/, int y, int width, int height)
{
    LogLine("Button constructor called...");
    LogLine("Button Initialize function called... setting the default values...");
    m_tag = tag;
    m_x = kButtonX;
    m_y = y;
    m_width = width;
    m_height = height;
    CreateSprite(m_sprite);
    LogLine("Button Create Bound function called... setting up the AABB...");
    m_bound = MakeBound();
    LogLine("Button constructor completed successfully.");
}

Button::~Button()
{
    LogLine("Button destructor called...");
    ReleaseTexture();
    LogLine("Button destructor completed successfully.");
}

bool Button::Draw()
{
    m_sprite.Draw(m_x, m_y, 0.0, SDL_FLIP_NONE);
    return true;
}

Event::Event(int x, int y)
{
    LogLine("Event constructor called...");
    LogLine("Event Initialize function called... setting the default values...");
    m_tag = "Gold";
    m_x = x;
    m_y = y;
    m_width = kCellSize;
    m_height = kCellSize;
    CreateSprite(m_sprite);
    LogLine("Event Create Bound function called... setting up the AABB...");
    m_bound = MakeBound();
    LogLine("Event constructor completed successfully.");
}

TextBox::TextBox(const std::string& tag)
{
    LogLine("TextBox constructor called...");
    LogLine("TextBox Initialize function called... setting the default values...");
    m_tag = tag;
    m_x = kTextBoxX;
    m_y = kTextBoxY;
    m_width = kTextBoxWidth;
    m_height = kTextBoxHeight;
    CreateSprite(m_sprite);
    LogLine("TextBox constructor completed successfully.");
}

TextBox::~TextBox()
{
    LogLine("TextBox destructor called...");
    ReleaseTexture();
    LogLine("TextBox destructor completed successfully.");
}

bool TextBox::Draw()
{
    m_sprite.Draw(m_x, m_y, 0.0, SDL_FLIP_NONE);
    return true;
}

Tileset::Tileset(const std::string& tag)
{
    LogLine("Tileset constructor called...");
    LogLine("Tileset Initialize function called... setting the default values...");
    m_tag = tag;
    m_width = kCellSize;
    m_height = kCellSize;
    m_columns = kMapColumns;
    m_rows = kMapRows;
    CreateSprite(m_sprite);
    FindBlankFrames();
    LogLine("Tileset constructor completed successfully.");
}

void Tileset::FindBlankFrames()
{
    const auto entry = ResourceManager::Instance()->m_sprites.find(m_tag);
    SDL_Surface* loaded = entry == ResourceManager::Instance()->m_sprites.end()
                              ? nullptr
                              : IMG_Load(NativePath(entry->second).c_str());
    SDL_Surface* sheet =
        loaded == nullptr ? nullptr : SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
    SDL_FreeSurface(loaded);
    if (sheet == nullptr || sheet->w != m_columns * m_width || sheet->h != m_rows * m_height)
    {
        SDL_FreeSurface(sheet);
        return; // every frame is drawn
    }
    const auto columns = static_cast<std::size_t>(m_columns);
    m_blank.assign(columns * static_cast<std::size_t>(m_rows), true);
    for (int y = 0; y < sheet->h; ++y)
    {
        const auto* row = static_cast<const Uint8*>(sheet->pixels) +
                          static_cast<std::ptrdiff_t>(y) * sheet->pitch;
        for (int x = 0; x < sheet->w; ++x)
        {
            if (row[x * 4 + 3] != 0)
            {
                m_blank[static_cast<std::size_t>(y / m_height) * columns +
                        static_cast<std::size_t>(x / m_width)] = false;
            }
        }
    }
    SDL_FreeSurface(sheet);
}

bool Tileset::Blank(int column, int row) const
{
    if (m_blank.empty() || column < 0 || column >= m_columns || row < 0 || row >= m_rows)
    {
        return false;
    }
    return m_blank[static_cast<std::size_t>(row) * static_cast<std::size_t>(m_columns) +
                   static_cast<std::size_t>(column)];
}

Tileset::~Tileset()
{
    LogLine("Tileset destructor called...");
    ReleaseTexture();
    LogLine("Tileset destructor completed successfully.");
}

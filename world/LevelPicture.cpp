#include "world/LevelPicture.h"

#include "core/Graphics.h"
#include "graphics/Objects.h"
#include "world/Level.h"

#include <algorithm>

void LevelPicture::Reload(Layer layer)
{
    m_layers[layer].status = LayerStatus{};
    m_layers[layer].picture.drawn = false;
    m_level.drawn = false;
}

bool LevelPicture::Draw(Layer layer, Tileset& tiles, const TileList& values)
{
    Picture& picture = m_layers[layer].picture;
    picture.drawn = picture.drawn || DrawCells(picture, tiles, values);
    return picture.drawn;
}

bool LevelPicture::DrawCells(Picture& picture, Tileset& tiles, const TileList& values)
{
    Graphics* graphics = Graphics::Instance();
    SDL_Renderer* renderer = graphics->m_renderer;
    SDL_Texture* sheet = tiles.m_sprite.m_texture;
    // A sheet without a picture says so at every cell drawn, as it always
    // has: such a layer is drawn cell by cell.
    if (sheet == nullptr || tiles.m_sprite.m_frameWidth == 0 || tiles.m_sprite.m_frameHeight == 0 ||
        !SDL_RenderTargetSupported(renderer))
    {
        return false;
    }
    // The sheet's own pixel format: blending from the picture then rounds
    // exactly as blending from the sheet does.
    Uint32 format = SDL_PIXELFORMAT_ARGB8888;
    SDL_QueryTexture(sheet, &format, nullptr, nullptr, nullptr);
    SDL_Texture* const target = SDL_GetRenderTarget(renderer);
    if (!Start(picture, format, SDL_BLENDMODE_BLEND, SDL_Color{0, 0, 0, 0}))
    {
        return false;
    }
    // Each cell's pixels go in as they are, transparency and all, so that
    // the picture blends into a frame exactly as the cells themselves would.
    // Cells do not overlap.
    SDL_BlendMode blend = SDL_BLENDMODE_BLEND;
    SDL_GetTextureBlendMode(sheet, &blend);
    SDL_SetTextureBlendMode(sheet, SDL_BLENDMODE_NONE);
    const bool noting = graphics->NoteCalls(false);
    const std::size_t cells = std::min<std::size_t>(values.size(), kMapCells);
    for (std::size_t k = 0; k < cells; ++k)
    {
        if (tiles.Blank(values[k].first, values[k].second))
        {
            continue;
        }
        tiles.m_sprite.m_column = static_cast<float>(values[k].first);
        tiles.m_sprite.m_row = static_cast<float>(values[k].second);
        tiles.m_sprite.Draw(static_cast<int>(k) % kMapColumns * kCellSize,
                            static_cast<int>(k) / kMapColumns * kCellSize, 0.0, SDL_FLIP_NONE);
    }
    graphics->NoteCalls(noting);
    SDL_SetTextureBlendMode(sheet, blend);
    SDL_SetRenderTarget(renderer, target);
    graphics->TexturesChanged();
    m_level.drawn = false;
    return true;
}

bool LevelPicture::Start(Picture& picture, Uint32 format, SDL_BlendMode blend, SDL_Color clear)
{
    Graphics* graphics = Graphics::Instance();
    if (picture.texture == nullptr)
    {
        picture.texture = SDL_CreateTexture(graphics->m_renderer, format, SDL_TEXTUREACCESS_TARGET,
                                            kWorldWidth, kWorldHeight);
        if (picture.texture == nullptr)
        {
            return false;
        }
        SDL_SetTextureBlendMode(picture.texture, blend);
    }
    if (SDL_SetRenderTarget(graphics->m_renderer, picture.texture) != 0)
    {
        return false;
    }
    graphics->ClearTarget(clear);
    return true;
}

bool LevelPicture::DrawLevel()
{
    if (!std::all_of(m_layers.begin(), m_layers.end(),
                     [](const LayerEntry& layer) { return layer.picture.drawn; }))
    {
        return false;
    }
    Graphics* graphics = Graphics::Instance();
    SDL_Renderer* renderer = graphics->m_renderer;
    const SDL_Color clear = graphics->ClearColor();
    const std::uint32_t clearKey = static_cast<std::uint32_t>(clear.r) << 24 |
                                   static_cast<std::uint32_t>(clear.g) << 16 |
                                   static_cast<std::uint32_t>(clear.b) << 8 | clear.a;
    if (m_level.drawn && m_levelClear == clearKey)
    {
        return true;
    }
    // The format of the picture the screens draw into: the layers blend into
    // it exactly as into a frame, and it is copied as it is.
    SDL_Texture* const target = SDL_GetRenderTarget(renderer);
    if (!Start(m_level, graphics->PictureFormat(), SDL_BLENDMODE_NONE, clear))
    {
        return false;
    }
    const bool noting = graphics->NoteCalls(false);
    const SDL_Rect world{0, 0, kWorldWidth, kWorldHeight};
    for (const LayerEntry& layer : m_layers)
    {
        graphics->Copy(layer.picture.texture, &world, world);
    }
    graphics->NoteCalls(noting);
    SDL_SetRenderTarget(renderer, target);
    graphics->TexturesChanged();
    m_level.drawn = true;
    m_levelClear = clearKey;
    return true;
}

void LevelPicture::Forget()
{
    for (Picture* picture : {&m_layers[kFloorLayer].picture, &m_layers[kWallLayer].picture,
                             &m_layers[kObjectLayer].picture, &m_level})
    {
        if (picture->texture != nullptr)
        {
            SDL_DestroyTexture(picture->texture);
        }
        *picture = Picture{};
    }
}

// The pictures the game draws with: frames outside their sheet, and textures
// the renderer refuses. (A picture released and read again: golden/picture_gone.)

#include "tests/support/Captured.h"

#include "graphics/Objects.h"
#include "graphics/ResourceManager.h"

#include <cmath>
#include <string>

using Textures = support::Captured;

TEST_F(Textures, TilesOutsideTheSheetAndRefusedTexturesAreNotDrawn)
{
    // With no renderer, a frame the sprite tries to draw leaves SDL's error.
    // The sheet has 2 x 2 frames; column, row, whether the frame is drawn.
    Sprite sprite;
    sprite.m_columns = sprite.m_rows = 2;
    sprite.m_frameWidth = sprite.m_frameHeight = 1;
    const float tiles[][3] = {{1, 1, 1},    {-0.5f, 0, 1}, {0, 2, 0},  {-1, 0, 0},
                              {3e9f, 0, 0}, {0, -3e9f, 0}, {NAN, 0, 0}};
    for (const auto& [column, row, drawn] : tiles)
    {
        SDL_ClearError();
        sprite.m_column = column;
        sprite.m_row = row;
        sprite.Draw(0, 0, 0.0, SDL_FLIP_NONE);
        EXPECT_EQ(*SDL_GetError() != '\0', drawn != 0) << column << "," << row;
    }

    // A texture the renderer refuses is an error naming the file, no success.
    m_scratch.CopyAssets("Dungeon 800 608 0\n");
    ResourceManager::Instance()->Initialize(kMenuAssets);
    Take();
    EXPECT_FALSE(ResourceManager::Instance()->CreateSprite("Menu"));
    const std::string picture = "Assets\\GameState\\MENU_background.png";
    EXPECT_EQ(Take(), "Opening and reading texture file : \"" + picture +
                          "\"\nERROR Texture could not be created: " + picture + "\n");
    EXPECT_EQ(AssetCache::Instance()->m_textures.count("Menu"), 0u);
}

// The pictures the game draws with: textures released, refused, and frames
// outside their sheet.

#include "tests/support/Captured.h"

#include "core/Graphics.h"
#include "graphics/Objects.h"
#include "graphics/ResourceManager.h"
#include "platform/Files.h"

#include <cmath>
#include <memory>
#include <string>
#include <utility>

namespace fs = std::filesystem;

namespace
{
class Textures : public support::Captured
{
};
} // namespace

TEST_F(Textures, AReleasedTextureLeavesTheCacheAndIsNeverHandedOutAgain)
{
    // A renderer of our own: textures must be real for a freed one to matter
    // (under AddressSanitizer, any use of a freed texture stops the test).
    m_scratch.CopyAssets("Dungeon 800 608 0\n");
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    SDL_Window* window = SDL_CreateWindow("cache", 0, 0, 80, 60, SDL_WINDOW_HIDDEN);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    ASSERT_NE(renderer, nullptr) << SDL_GetError();
    Graphics::Instance()->m_renderer = renderer;
    ResourceManager::Instance()->Initialize(kLoseAssets);
    AssetCache& cache = *AssetCache::Instance();
    // A texture the renderer can still use: the size of the lose screen's
    // picture, and a copy of it drawn.
    const auto usable = [renderer](SDL_Texture* texture)
    {
        int width = 0;
        int height = 0;
        return texture != nullptr &&
               SDL_QueryTexture(texture, nullptr, nullptr, &width, &height) == 0 &&
               std::pair(width, height) == std::pair(800, 608) &&
               SDL_RenderCopy(renderer, texture, nullptr, nullptr) == 0;
    };
    const std::string opened =
        "Opening and reading texture file : \"Assets\\GameState\\LOSE_background.png\"";
    // A screen shown, left and shown again, as a player goes back and forth.
    for (int visit = 0; visit < 3; ++visit)
    {
        SCOPED_TRACE(visit);
        Take();
        auto screen = std::make_unique<Background>("Lose");
        EXPECT_NE(Take().find(opened), std::string::npos) << "the picture is read afresh";
        EXPECT_TRUE(usable(screen->m_sprite.m_texture));
        EXPECT_EQ(cache.m_textures.at("Lose"), screen->m_sprite.m_texture);
        EXPECT_TRUE(screen->Draw());
        screen.reset();
        EXPECT_EQ(cache.m_textures.count("Lose"), 0u) << "the released texture stays in the cache";
    }
    // Once the picture cannot be read, the next request finds nothing, not
    // the texture released before.
    fs::remove(NativePath("Assets\\GameState\\LOSE_background.png"));
    Background missing("Lose");
    EXPECT_EQ(missing.m_sprite.m_texture, nullptr);
    EXPECT_TRUE(missing.Draw());
    Take();

    Graphics::Instance()->m_renderer = nullptr;
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

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

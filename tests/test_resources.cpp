// The resource manager and cache, game objects, sprites, texts and the score
// file.

#include "tests/Harness.h"
#include "tests/Transcripts.h"

#include "core/Graphics.h"
#include "graphics/Objects.h"
#include "graphics/ResourceManager.h"
#include "graphics/Sprite.h"
#include "graphics/Text.h"
#include "world/FileManager.h"

#include <SDL.h>

#include <memory>

using namespace harness;
using namespace transcript;
namespace fs = std::filesystem;

namespace
{
using ResourceTest = GameTest;

Lines Registration(const std::string& line, int count)
{
    Lines lines = Block("ResourceManager Initialize function called...");
    if (!line.empty())
    {
        lines.push_back(line);
    }
    lines.push_back("Number of items currently in container m_sprites: " + std::to_string(count));
    lines += Block("ResourceManager Initialized successfully...");
    return lines;
}

// Reads back what the renderer drew.
std::vector<Uint32> ReadScreen(int width, int height)
{
    std::vector<Uint32> pixels(static_cast<std::size_t>(width * height));
    EXPECT_EQ(SDL_RenderReadPixels(Graphics::Instance()->m_renderer, nullptr,
                                   SDL_PIXELFORMAT_RGBA32, pixels.data(), width * 4),
              0);
    return pixels;
}
} // namespace

TEST_F(ResourceTest, AssetListsRegisterOnce)
{
    ResourceManager* resources = ResourceManager::Instance();
    EXPECT_TRUE(resources->Initialize(kLoseAssets));
    EXPECT_TRUE(resources->Initialize(kLoseAssets));
    EXPECT_TRUE(resources->Initialize(7));
    EXPECT_TRUE(resources->Initialize(-1));
    Lines expected = Registration("LOADING Loading Lose files...", 1);
    expected += Registration("Lose files already loaded, skipping...", 1);
    expected += Registration("", 1);
    expected += Registration("", 1);
    EXPECT_EQ(m_out->Lines(), expected);
    EXPECT_EQ(resources->m_sprites.at("Lose"), "Assets\\GameState\\LOSE_background.png");

    for (int screen = kMenuAssets; screen <= kLoseAssets; ++screen)
    {
        resources->Initialize(screen);
    }
    EXPECT_EQ(resources->m_sprites.size(), 20u);
    EXPECT_EQ(resources->m_sprites.at("Objects"), "Assets\\Textures\\Tilesets\\final\\objects.png");
    EXPECT_EQ(m_out->Lines().back(), kSep);
    EXPECT_EQ(Count(m_out->Lines(), "Number of items currently in container m_sprites: 20"), 2);
}

TEST_F(ResourceTest, TexturesAreLoadedPerCallAndReleasedByTag)
{
    InstallTestPictures();
    Start();
    ResourceManager* resources = ResourceManager::Instance();
    AssetCache* cache = AssetCache::Instance();
    m_out->Clear();

    // Gold is not registered before a game is built.
    EXPECT_FALSE(resources->CreateSprite("Gold"));
    EXPECT_EQ(m_out->Lines(),
              Lines{"ERROR Invalid sprite tag parameter passed to CreateSprite function: Gold"});
    EXPECT_EQ(cache->m_textures.count("Gold"), 0u);

    resources->Initialize(kPlayAssets);
    m_out->Clear();
    ASSERT_TRUE(resources->CreateSprite("Gold"));
    SDL_Texture* first = cache->m_textures.at("Gold");
    ASSERT_TRUE(resources->CreateSprite("Gold"));
    SDL_Texture* second = cache->m_textures.at("Gold");
    EXPECT_NE(first, second);
    Lines expected = LoadPicture("Assets\\Sprites\\Gold.png", true);
    expected += LoadPicture("Assets\\Sprites\\Gold.png", true);
    EXPECT_EQ(m_out->Lines(), expected);

    // Releasing the tag destroys the newest texture only.
    m_out->Clear();
    cache->Release(kTextures, kReleaseOne, "Gold");
    EXPECT_EQ(cache->m_textures.count("Gold"), 0u);
    int w = 0;
    EXPECT_EQ(SDL_QueryTexture(first, nullptr, nullptr, &w, nullptr), 0);
    EXPECT_EQ(w, 32);
    cache->Release(kTextures, kReleaseOne, "Gold");
    cache->Release(kFonts, kReleaseOne, "Fixedsys");
    cache->Release(kFonts, kReleaseAll, "");
    cache->Release(2, kReleaseOne, "Gold");
    EXPECT_EQ(m_out->Lines(), (Lines{"Texture data not found.", "Font data not found."}));
    SDL_DestroyTexture(first);

    // Missing and corrupt pictures fail the same way and leave the cache alone.
    fs::remove(m_dir / "Assets" / "Sprites" / "Player.png");
    WriteFile(m_dir / "Assets" / "Sprites" / "Interface.png", "\x89PNG\r\n\x1a\n not really");
    m_out->Clear();
    EXPECT_FALSE(resources->CreateSprite("Player"));
    EXPECT_FALSE(resources->CreateSprite("Interface"));
    expected = LoadPicture("Assets\\Sprites\\Player.png", false);
    expected += LoadPicture("Assets\\Sprites\\Interface.png", false);
    EXPECT_EQ(m_out->Lines(), expected);
    EXPECT_EQ(cache->m_textures.count("Player") + cache->m_textures.count("Interface"), 0u);
}

TEST_F(ResourceTest, ButtonNarratesItsConstruction)
{
    InstallTestPictures();
    fs::remove(m_dir / "Assets" / "GameState" / "buttonExit.png");
    Start();
    m_out->Clear();

    auto play = std::make_unique<Button>("buttonPlay", 500, 310, 128, 49);
    EXPECT_EQ(m_out->Lines(), ButtonConstruction("buttonPlay", true));
    EXPECT_EQ(play->m_x, 70);
    const AABB& b = play->m_bound;
    EXPECT_EQ((std::vector<float>{b.minX, b.minY, b.maxX, b.maxY, b.x, b.y, b.width, b.height}),
              (std::vector<float>{70, 310, 198, 359, 70, 310, 128, 49}));
    EXPECT_NE(play->m_sprite.m_texture, nullptr);

    m_out->Clear();
    auto exit = std::make_unique<Button>("buttonExit", 70, 494, 128, 50);
    EXPECT_EQ(m_out->Lines(), ButtonConstruction("buttonExit", false));
    EXPECT_EQ(exit->m_sprite.m_texture, nullptr);
    EXPECT_TRUE(exit->Draw());

    // A tag nobody registered still gives an object that draws nothing.
    m_out->Clear();
    auto stray = std::make_unique<Background>("Nowhere");
    Lines expected = Block("Game Object created. Initializing Game Object constructor...");
    expected +=
        {"Background constructor called...",
         "Background Initialize function called... setting the default values...",
         "ERROR Invalid sprite tag parameter passed to CreateSprite function: Nowhere",
         "Sprite texture created: Nowhere", "Background constructor completed successfully. "};
    EXPECT_EQ(m_out->Lines(), expected);
    EXPECT_EQ(stray->m_sprite.m_texture, nullptr);
}

TEST_F(ResourceTest, ObjectsReleaseTheirTagsWhenDeleted)
{
    InstallTestPictures();
    Start();
    ResourceManager::Instance()->Initialize(kPlayAssets);
    ResourceManager::Instance()->Initialize(kWinAssets);
    fs::remove(m_dir / "Assets" / "GameState" / "WIN_background.png");
    AssetCache* cache = AssetCache::Instance();

    // A picture that never loaded leaves an empty entry, which its release
    // removes without complaint; a second object of the tag finds nothing.
    auto first = std::make_unique<Background>("Win");
    auto second = std::make_unique<Background>("Win");
    auto box = std::make_unique<TextBox>("TextBox_Stuck");
    auto tiles = std::make_unique<Tileset>("Walls");
    auto gold = std::make_unique<Event>(928, 288);
    EXPECT_EQ(cache->m_textures.count("Win"), 1u);
    m_out->Clear();
    first.reset();
    second.reset();
    box.reset();
    tiles.reset();
    gold.reset();
    Lines expected = ObjectDestruction("Background", "Win");
    expected += ObjectDestruction("Background", "Win");
    expected.insert(expected.begin() + 4, "Texture data not found.");
    expected += ObjectDestruction("TextBox", "TextBox_Stuck");
    expected += ObjectDestruction("Tileset", "Walls");
    EXPECT_EQ(m_out->Lines(), expected);
    EXPECT_EQ(cache->m_textures.count("Win") + cache->m_textures.count("Walls"), 0u);
    // The gold pieces keep their textures.
    EXPECT_EQ(cache->m_textures.count("Gold"), 1u);
}

TEST_F(ResourceTest, FontIsOpenedOnceAndTextRendersIntoItsBox)
{
    Start();
    ResourceManager* resources = ResourceManager::Instance();
    AssetCache* cache = AssetCache::Instance();
    const Lines missing{"LOADING Loading Text file...",
                        "Opening and reading font file : \"Assets\\Fonts\\Fixedsys.fon\"",
                        "File could not be loaded.", "ERROR Font could not be loaded: Fixedsys"};
    m_out->Clear();
    EXPECT_FALSE(resources->LoadFont("Fixedsys"));
    EXPECT_EQ(m_out->Lines(), missing);
    EXPECT_TRUE(cache->m_fonts.empty());

    const fs::path font = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    if (!fs::exists(font))
    {
        GTEST_SKIP() << "no font to test with";
    }
    fs::create_directories(m_dir / "Assets" / "Fonts");
    fs::copy_file(font, m_dir / "Assets" / "Fonts" / "Fixedsys.fon");
    // A failed attempt is tried again.
    m_out->Clear();
    EXPECT_TRUE(resources->LoadFont("Fixedsys"));
    EXPECT_TRUE(resources->LoadFont("Other"));
    EXPECT_EQ(
        m_out->Lines(),
        (Lines{"LOADING Loading Text file...",
               "Opening and reading font file : \"Assets\\Fonts\\Fixedsys.fon\"",
               "File opened and read successfully.", "Text file already loaded, skipping..."}));
    ASSERT_EQ(cache->m_fonts.size(), 1u);
    ASSERT_NE(cache->m_fonts.at("Fixedsys"), nullptr);

    Text text;
    text.m_font = cache->m_fonts.at("Fixedsys");
    text.m_width = 100.0f;
    text.m_height = 20.0f;
    text.CreateTexture();
    EXPECT_EQ(text.m_texture, nullptr);
    text.m_text = "Gold: 10";
    text.CreateTexture();
    ASSERT_NE(text.m_texture, nullptr);

    // Drawn white, stretched over the whole box and nowhere else.
    SDL_RenderClear(Graphics::Instance()->m_renderer);
    text.Draw(50, 40);
    const std::vector<Uint32> pixels = ReadScreen(800, 608);
    int minX = 800, maxX = -1, minY = 608, maxY = -1;
    Uint32 brightest = 0;
    for (int y = 0; y < 608; ++y)
    {
        for (int x = 0; x < 800; ++x)
        {
            const Uint32 p = pixels[static_cast<std::size_t>(y * 800 + x)] & 0xFFFFFFu;
            if (p != 0)
            {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
                brightest = std::max(brightest, p);
            }
        }
    }
    EXPECT_GE(minX, 50);
    EXPECT_LT(maxX, 150);
    EXPECT_GE(minY, 40);
    EXPECT_LT(maxY, 60);
    EXPECT_GT(maxX - minX, 80) << "the text fills the width of its box";
    EXPECT_EQ(brightest, 0xFFFFFFu);

    text.m_text.clear();
    text.CreateTexture();
    EXPECT_EQ(text.m_texture, nullptr);
}

TEST_F(ResourceTest, SpriteDrawsTheFrameOfItsColumnAndRow)
{
    Start();
    // A sheet of 2 x 4 frames of 4 x 2 pixels; frame n is coloured (n * 30, 0, 0).
    SDL_Surface* sheet = SDL_CreateRGBSurfaceWithFormat(0, 8, 8, 32, SDL_PIXELFORMAT_RGBA32);
    ASSERT_NE(sheet, nullptr);
    for (int n = 0; n < 8; ++n)
    {
        const SDL_Rect frame{(n % 2) * 4, (n / 2) * 2, 4, 2};
        SDL_FillRect(sheet, &frame,
                     SDL_MapRGBA(sheet->format, static_cast<Uint8>(n * 30), 0, 0, 255));
    }
    Sprite sprite;
    sprite.m_texture = SDL_CreateTextureFromSurface(Graphics::Instance()->m_renderer, sheet);
    SDL_FreeSurface(sheet);
    sprite.m_columns = 2;
    sprite.m_rows = 4;
    sprite.m_frameWidth = 4;
    sprite.m_frameHeight = 2;
    sprite.m_width = 10.0f;
    sprite.m_height = 10.0f;

    const auto drawnRed = [&](float column, float row)
    {
        sprite.m_column = column;
        sprite.m_row = row;
        SDL_RenderClear(Graphics::Instance()->m_renderer);
        sprite.Draw(20, 30, 0.0, SDL_FLIP_NONE);
        const std::vector<Uint32> pixels = ReadScreen(800, 608);
        // Inside the scaled frame, and just outside it.
        const Uint32 inside = pixels[static_cast<std::size_t>(35 * 800 + 25)];
        EXPECT_EQ(pixels[static_cast<std::size_t>(35 * 800 + 31)] & 0xFFFFFFu, 0u);
        return static_cast<int>(inside & 0xFF);
    };
    EXPECT_EQ(drawnRed(1.0f, 3.0f), 7 * 30);
    EXPECT_EQ(sprite.m_frameIndex, 7);
    const SDL_Rect source = sprite.SourceRect();
    EXPECT_EQ((std::vector<int>{source.x, source.y, source.w, source.h}),
              (std::vector<int>{4, 6, 4, 2}));
    // Fractions are cut off only after the sum: 2 * 0.5 + 0.5 gives frame 1.
    EXPECT_EQ(drawnRed(0.5f, 0.5f), 1 * 30);
    EXPECT_EQ(sprite.m_frameIndex, 1);
    EXPECT_EQ(drawnRed(0.0f, 2.0f), 4 * 30);
    SDL_DestroyTexture(sprite.m_texture);

    // Without a frame size nothing is drawn, and every call says so.
    Sprite empty;
    m_out->Clear();
    empty.Draw(0, 0, 0.0, SDL_FLIP_NONE);
    empty.Draw(0, 0, 0.0, SDL_FLIP_NONE);
    EXPECT_EQ(m_out->Lines(),
              Lines(2, "Can't load texture data, but still calling Draw function somewhere."));
}

// ---------------------------------------------------------------------------
// The score file: little-endian 32-bit records. Its reading is checked through
// the scores screen.

namespace
{
const fs::path kScores = fs::path("Assets") / "bin" / "scores.bin";
} // namespace

TEST_F(ResourceTest, ScoreFileMissingThenWritten)
{
    FileManager* files = FileManager::Instance();
    files->Initialize();
    m_out->Clear();
    EXPECT_FALSE(files->ReadBinaryFile(kScoreFileKey));
    EXPECT_TRUE(files->GetScores().empty());
    EXPECT_FALSE(files->ReadBinaryFile(7));
    EXPECT_EQ(m_out->Lines(), (Lines{"ERROR! Couldn't open binary file:Assets\\bin\\scores.bin",
                                     "Reason: No such file or directory",
                                     "Invalid binary file parameter passed: 7"}));

    m_out->Clear();
    EXPECT_TRUE(files->WriteBinaryFile(340));
    EXPECT_EQ(ReadFile(m_dir / kScores), std::string("\x54\x01\x00\x00", 4));
    EXPECT_TRUE(files->WriteBinaryFile(250));
    EXPECT_EQ(ReadFile(m_dir / kScores), Records({340, 250}));
    EXPECT_EQ(m_out->Lines(),
              Lines(2, "Info written to file successfully: Assets\\bin\\scores.bin"));

    // Without the folder the score is lost, with a line saying so.
    fs::remove_all(m_dir / "Assets" / "bin");
    m_out->Clear();
    EXPECT_FALSE(files->WriteBinaryFile(100));
    EXPECT_EQ(m_out->Lines(), (Lines{"ERROR! Couldn't open file: Assets\\bin\\scores.bin",
                                     "Reason: No such file or directory"}));
}

TEST_F(ResourceTest, PathTableSetOnceAndCleared)
{
    FileManager* files = FileManager::Instance();
    files->Initialize();
    files->m_paths[kSettingsKey] = "changed";
    files->Initialize();
    EXPECT_STREQ(files->m_paths.at(kSettingsKey), "changed");
    EXPECT_EQ(files->m_paths.size(), 6u);
    EXPECT_STREQ(files->m_paths.at(kObjectMapKey), "Assets\\Maps\\objectMap.map");
    files->Shutdown();
    files->Shutdown();
    const std::string init =
        "FileManager Initialize function called... setting the default values...";
    EXPECT_EQ(
        m_out->Lines(),
        (Lines{init, init, "FileManager shut down function called...",
               "Container size before clear: 6", "Container size after clear: 0",
               "FileManager shut down successfully.", "FileManager shut down function called...",
               "FileManager shut down successfully."}));
}

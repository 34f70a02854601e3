// Draws every picture of the game and writes the level's layer files.
//
//   dungeon_assetgen <repository root> [--preview <file.png>]
//
// The output depends on nothing but this program and the font in
// Assets/Fonts, so running it again rewrites the same bytes. The preview is
// the whole level as the game shows it, with the gold and the player at the
// start, for judging the design without playing.

#include "tools/assetgen/Canvas.h"
#include "tools/assetgen/Lettering.h"
#include "tools/assetgen/Level.h"
#include "tools/assetgen/Screens.h"
#include "tools/assetgen/World.h"

#include <SDL.h>
#include <SDL_image.h>
#include <SDL_ttf.h>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace
{

namespace fs = std::filesystem;

void Save(const art::Canvas& picture, const fs::path& path)
{
    fs::create_directories(path.parent_path());
    if (!picture.SavePng(path.string()))
    {
        throw std::runtime_error("cannot write " + path.string() + ": " + IMG_GetError());
    }
    std::printf("wrote %s (%d x %d)\n", path.string().c_str(), picture.Width(), picture.Height());
}

void SaveText(const std::string& text, const fs::path& path)
{
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out)
    {
        throw std::runtime_error("cannot write " + path.string());
    }
    std::printf("wrote %s\n", path.string().c_str());
}

int Run(const fs::path& root, const std::string& previewPath)
{
    const fs::path assets = root / "Assets";
    const fs::path fontPath = assets / "Fonts" / "Fixedsys.fon";
    if (!fs::exists(fontPath))
    {
        throw std::runtime_error("the font is missing: " + fontPath.string());
    }
    art::Lettering font(fontPath.string());

    const level::Layout layout = level::Layout::Designed();
    art::World world;
    art::BuildWorld(layout, world);

    const fs::path maps = assets / "Maps";
    SaveText(level::CollisionText(world.layers), maps / "collisionMap.map");
    SaveText(level::PairText(world.layers.floor), maps / "floorMap.map");
    SaveText(level::PairText(world.layers.wall), maps / "wallMap.map");
    SaveText(level::PairText(world.layers.objects), maps / "objectMap.map");

    const fs::path tiles = assets / "Textures" / "Tilesets" / "final";
    Save(world.floor.Picture(), tiles / "floor.png");
    Save(world.wall.Picture(), tiles / "wall.png");
    Save(world.objects.Picture(), tiles / "objects.png");

    const fs::path sprites = assets / "Sprites";
    Save(art::GoldSprite(), sprites / "Gold.png");
    Save(art::PlayerSheet(), sprites / "Player.png");
    Save(art::Panel(font), sprites / "Interface.png");
    Save(art::NoticeBox(font, art::Notice::Stuck), sprites / "TextBox_Stuck.png");
    Save(art::NoticeBox(font, art::Notice::Invisible), sprites / "TextBox_Invisible.png");
    Save(art::NoticeBox(font, art::Notice::Increase), sprites / "TextBox_Increase.png");
    Save(art::NoticeBox(font, art::Notice::Decrease), sprites / "TextBox_Decrease.png");

    const fs::path screens = assets / "GameState";
    Save(art::MenuScreen(font), screens / "MENU_background.png");
    Save(art::PauseScreen(font), screens / "PAUSE_background.png");
    Save(art::GuideScreen(font), screens / "GUIDE_background.png");
    Save(art::ScoresScreen(font), screens / "SCORES_background.png");
    Save(art::WinScreen(font), screens / "WIN_background.png");
    Save(art::LoseScreen(font), screens / "LOSE_background.png");
    Save(art::Button(font, "Play", 128, 49), screens / "buttonPlay.png");
    Save(art::Button(font, "Scores", 192, 49), screens / "buttonScores.png");
    Save(art::Button(font, "Guide", 160, 50), screens / "buttonGuide.png");
    Save(art::Button(font, "Exit", 128, 50), screens / "buttonExit.png");

    if (!previewPath.empty())
    {
        Save(art::Preview(world), previewPath);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::string root;
    std::string preview;
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        if (arg == "--preview" && i + 1 < argc)
        {
            preview = argv[++i];
        }
        else if (root.empty() && arg.rfind("--", 0) != 0)
        {
            root = arg;
        }
        else
        {
            std::fprintf(stderr, "usage: %s <repository root> [--preview <file.png>]\n", argv[0]);
            return 2;
        }
    }
    if (root.empty())
    {
        std::fprintf(stderr, "usage: %s <repository root> [--preview <file.png>]\n", argv[0]);
        return 2;
    }
    if (TTF_Init() != 0)
    {
        std::fprintf(stderr, "cannot start the font library: %s\n", TTF_GetError());
        return 1;
    }
    int status = 1;
    try
    {
        status = Run(root, preview);
    }
    catch (const std::exception& e)
    {
        std::fprintf(stderr, "dungeon_assetgen: %s\n", e.what());
    }
    TTF_Quit();
    return status;
}

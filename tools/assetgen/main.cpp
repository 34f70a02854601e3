// Draws every picture of the game, makes its sounds and writes the level's
// layer files.
//
//   dungeon_assetgen <repository root> [--preview <file.png>]
//
// The output depends on nothing but this program and the font in
// Assets/Fonts, so running it again rewrites the same bytes. The preview is
// the whole level as the game shows it, with the gold and the player at the
// start, for judging the design without playing.

#include "gameplay/MenuLayout.h"
#include "graphics/Pictures.h"
#include "platform/Files.h"
#include "tools/assetgen/Canvas.h"
#include "tools/assetgen/Lettering.h"
#include "tools/assetgen/Level.h"
#include "tools/assetgen/Screens.h"
#include "tools/assetgen/Sounds.h"
#include "tools/assetgen/Vorbis.h"
#include "tools/assetgen/World.h"

#include <SDL_image.h>
#include <SDL_ttf.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

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

// Saves a picture of the game's table where the game loads it, after checking
// it has the size the game draws it at.
void Save(const art::Canvas& picture, const fs::path& root, const Picture& entry)
{
    if (picture.Width() != entry.width || picture.Height() != entry.height)
    {
        throw std::runtime_error(
            std::string(entry.tag) + " is drawn at " + std::to_string(entry.width) + " x " +
            std::to_string(entry.height) + " but painted at " + std::to_string(picture.Width()) +
            " x " + std::to_string(picture.Height()));
    }
    Save(picture, root / NativePath(entry.path));
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

// Writes a sound as Ogg Vorbis after checking that a player hears what was
// made: the decoded sound as long as the original, its peak within half a
// decibel, and a loop's seam no harder a step than those around it, so that
// it adds no click.
void SaveSound(SoundCue cue, const fs::path& root)
{
    const std::vector<std::int16_t> samples = sound::Render(cue);
    const std::string ogg = sound::OggFile(samples, cue + 1);
    const bool loop = cue == kSoundAmbience;
    const sound::Fidelity f = sound::Compare(samples, sound::DecodeOgg(ogg), loop);
    const char* path = kSoundPaths[static_cast<std::size_t>(cue)];
    if (!f.sameLength)
    {
        throw std::runtime_error(std::string(path) + " decodes to " + std::to_string(f.length) +
                                 " samples, not " + std::to_string(samples.size()));
    }
    if (std::abs(f.peakChange) > 0.5)
    {
        throw std::runtime_error(std::string(path) + ": its peak moves by " +
                                 std::to_string(f.peakChange) + " dB");
    }
    if (loop && std::abs(f.seamAfter) > f.nearbySteps)
    {
        throw std::runtime_error(std::string(path) + ": a step of " + std::to_string(f.seamAfter) +
                                 " at the loop's seam");
    }
    SaveText(ogg, root / NativePath(path));
    std::printf("  %zu samples as before, %zu bytes (WAV %zu), peak %+.2f dB, noise %.1f dB",
                samples.size(), ogg.size(), 44 + 2 * samples.size(), f.peakChange, f.noise);
    if (loop)
    {
        std::printf(", seam step %d (was %d; others near it up to %d, were %d)", f.seamAfter,
                    f.seamBefore, f.nearbySteps, f.originalSteps);
    }
    std::printf("\n");
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

    // Every picture of the game's table, by its tag.
    using Painter = std::function<art::Canvas(const Picture&)>;
    const auto notice = [&](art::Notice n)
    { return [&font, n](const Picture& p) { return art::NoticeBox(font, n, p.width, p.height); }; };
    std::map<std::string, Painter> painters{
        {"Menu", [&](const Picture&) { return art::MenuScreen(font); }},
        {"Pause", [&](const Picture&) { return art::PauseScreen(font); }},
        {"Guide", [&](const Picture&) { return art::GuideScreen(font); }},
        {"Scores", [&](const Picture&) { return art::ScoresScreen(font); }},
        {"Win", [&](const Picture&) { return art::WinScreen(font); }},
        {"Lose", [&](const Picture&) { return art::LoseScreen(font); }},
        {"Gold", [](const Picture&) { return art::GoldSprite(); }},
        {"Player", [](const Picture&) { return art::PlayerSheet(); }},
        {"Interface", [](const Picture& p) { return art::Panel(p.width, p.height); }},
        {"TextBox_Stuck", notice(art::Notice::Stuck)},
        {"TextBox_Invisible", notice(art::Notice::Invisible)},
        {"TextBox_Increase", notice(art::Notice::Increase)},
        {"TextBox_Decrease", notice(art::Notice::Decrease)},
    };
    for (const ButtonPlace& b : kMenuButtons)
    {
        painters[b.tag] = [&font, b](const Picture&)
        { return art::Button(font, b.label, b.width, b.height); };
    }
    const std::map<std::string, const art::Canvas*> sheets{
        {"Floors", &world.floor.Picture()},
        {"Walls", &world.wall.Picture()},
        {"Objects", &world.objects.Picture()},
    };
    for (const Picture& entry : kPictures)
    {
        if (const auto sheet = sheets.find(entry.tag); sheet != sheets.end())
        {
            Save(*sheet->second, root, entry);
        }
        else if (const auto painter = painters.find(entry.tag); painter != painters.end())
        {
            Save(painter->second(entry), root, entry);
        }
        else
        {
            throw std::runtime_error(std::string("nothing paints the picture ") + entry.tag);
        }
    }

    Save(art::WindowIcon(kWindowIconSize), root / NativePath(kWindowIconPath));
    // The installed game's icons, one picture per size a desktop or Windows
    // asks for (packaging/icons/<size>.png), beside the game's own data.
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
    {
        Save(art::WindowIcon(size), root / "packaging" / "icons" / (std::to_string(size) + ".png"));
    }
    // The browser's page: the installed app's icons, and a guide that names
    // the touch controls.
    for (const int size : {192, 512})
    {
        Save(art::WindowIcon(size), root / "web" / "icons" / (std::to_string(size) + ".png"));
    }
    Save(art::MaskableIcon(512), root / "web" / "icons" / "maskable-512.png");
    Save(art::GuideScreen(font, true), root / "web" / "GameState" / "GUIDE_background.png");

    for (int cue = 0; cue < kSoundCount; ++cue)
    {
        SaveSound(static_cast<SoundCue>(cue), root);
    }

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

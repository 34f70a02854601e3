#include "tests/golden/Session.h"

#include "core/Game.h"
#include "core/Graphics.h"
#include "core/PlayState.h"
#include "gameplay/MenuLayout.h"
#include "gameplay/Player.h"
#include "gameplay/Random.h"
#include "gameplay/Rules.h"
#include "graphics/Objects.h"
#include "tests/support/Scratch.h"
#include "world/Map.h"

#include <SDL_image.h>
#include <SDL_mixer.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <mutex>
#include <sstream>

namespace fs = std::filesystem;

namespace golden
{
namespace
{
// The game's textures, cursors and fonts alive, counted by the wraps at the
// end of this file, and the texture copies that drew the last picture.
struct LiveCounts
{
    long textures = 0;
    long cursors = 0;
    long fonts = 0;
    long copies = 0;
} s_live;

// What the mixer plays, taken on the audio thread: SDL's disk driver only
// paces the mixer, and on Windows holds the file it writes unshared.
std::mutex s_tapLock;
std::string s_played;

void Capture(void* /*unused*/, Uint8* stream, int length)
{
    const std::lock_guard<std::mutex> hold(s_tapLock);
    s_played.append(reinterpret_cast<const char*>(stream), static_cast<std::size_t>(length));
}

// A press, a release or (`type` motion) the pointer moving onto a button.
void PushButton(const ButtonPlace& place, Uint32 type)
{
    SDL_Event event{};
    event.type = type;
    event.button.button = SDL_BUTTON_LEFT;
    event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    // The centre of the button as drawn in the window, whatever its scale, as
    // the window reports it; SDL maps it back to the 800 x 608 picture.
    const Graphics* graphics = Graphics::Instance();
    event.button.windowID = SDL_GetWindowID(graphics->m_window);
    SDL_RenderLogicalToWindow(graphics->m_renderer, static_cast<float>(place.x + place.width / 2),
                              static_cast<float>(place.y + place.height / 2), &event.button.x,
                              &event.button.y);
    if (type == SDL_MOUSEMOTION)
    {
        const SDL_MouseButtonEvent& at = event.button;
        event.motion = {type, 0, at.windowID, 0, 0, at.x, at.y, 1, 1};
    }
    SDL_PushEvent(&event);
}

using support::Report;

// The fewest words each command takes.
const std::map<std::string, std::size_t> kArity{
    {"settings", 1}, {"scores", 0}, {"bytes", 1},      {"remove", 1},     {"start", 0},
    {"seed", 1},     {"frames", 1}, {"hold", 1},       {"release", 1},    {"click", 1},
    {"press", 1},    {"letgo", 1},  {"quit", 0},       {"walk-gold", 0},  {"picture", 1},
    {"live", 0},     {"run", 0},    {"shutdown", 0},   {"score-file", 0}, {"repeat", 1},
    {"steady", 0},   {"tile", 4},   {"focus-lost", 0}, {"fullscreen", 0}, {"resize", 2},
    {"audio", 1},    {"record", 0}, {"heard", 0},      {"mute", 0},       {"pad", 2},
    {"where", 0},    {"point", 1},  {"text-file", 1},  {"window", 0}};

// Frames through the main loop's step, until the count or the game's end.
void Frames(support::TestPlatform& platform, int count)
{
    for (int i = 0; i < count && !Game::Instance()->m_quit; ++i)
    {
        support::Frame(platform);
    }
}

// A game controller without hardware: SDL's virtual joystick.
bool Pad(std::map<int, SDL_Joystick*>& pads, const Command& c)
{
    SDL_Joystick*& pad = pads[std::atoi(c.args[0].c_str())];
    const std::string& what = c.args[1];
    if (what == "plug")
    {
        // The dummy window never has the keyboard's focus, and SDL drops pad
        // presses while no window of the game has it.
        SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        pad = SDL_JoystickOpen(SDL_JoystickAttachVirtualEx(&desc));
        return pad != nullptr;
    }
    if (pad == nullptr || c.args.size() < (what == "stick" ? 4u : what == "unplug" ? 2u : 3u))
    {
        return false;
    }
    if (what == "unplug")
    {
        const SDL_JoystickID id = SDL_JoystickInstanceID(pad);
        SDL_JoystickClose(pad);
        pad = nullptr;
        for (int i = 0; i < SDL_NumJoysticks(); ++i)
        {
            if (SDL_JoystickGetDeviceInstanceID(i) == id)
            {
                return SDL_JoystickDetachVirtual(i) == 0;
            }
        }
        return false;
    }
    if (what == "stick")
    {
        return SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX,
                                          static_cast<Sint16>(std::atoi(c.args[2].c_str()))) == 0 &&
               SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTY,
                                          static_cast<Sint16>(std::atoi(c.args[3].c_str()))) == 0;
    }
    const auto button = SDL_GameControllerGetButtonFromString(c.args[2].c_str());
    return (what == "hold" || what == "release") && button != SDL_CONTROLLER_BUTTON_INVALID &&
           SDL_JoystickSetVirtualButton(pad, button, what == "hold" ? 1 : 0) == 0;
}

// Walks until the game leaves the play screen (won or lost), `pieces` are
// collected or the route is done; the cap only stops a walk that went wrong.
void WalkGold(support::TestPlatform& platform, int pieces)
{
    Map* map = Map::Instance();
    support::RouteWalker walker(support::RouteThroughGold(*map));
    const auto& states = Game::Instance()->m_states;
    for (int frame = 0; frame < 20000 && !states.empty() &&
                        dynamic_cast<PlayState*>(states.front().get()) != nullptr;
         ++frame)
    {
        walker.Steer(*map->m_player, platform);
        support::Frame(platform);
        if (g_goldCount >= pieces || (walker.Done() && !map->m_player->m_moving))
        {
            break;
        }
    }
    platform.ReleaseAll();
}

void Picture(const fs::path& dir, const std::string& name)
{
    SDL_Renderer* renderer = Graphics::Instance()->m_renderer;
    int width = 0;
    int height = 0;
    SDL_GetRendererOutputSize(renderer, &width, &height);
    std::vector<unsigned char> pixels(static_cast<std::size_t>(width * height) * 4);
    SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, pixels.data(), width * 4);
    std::uint64_t hash = 14695981039346656037ULL; // FNV-1a
    for (const unsigned char byte : pixels)
    {
        hash = (hash ^ byte) * 1099511628211ULL;
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    Report("picture " + name + " " + text + ", " + std::to_string(s_live.copies) + " copies");
    if (!dir.empty())
    {
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
            pixels.data(), width, height, 32, width * 4, SDL_PIXELFORMAT_ARGB8888);
        fs::create_directories(dir);
        IMG_SavePNG(surface, (dir / (name + ".png")).string().c_str());
        SDL_FreeSurface(surface);
    }
}

// Starts recording what the mixer plays (from `recordFrom` on), or at `heard`
// reports whether what it played since was silent, quiet or loud.
bool Listen(std::size_t& recordFrom, bool heard)
{
    int rate = 0;
    Uint16 format = 0;
    int channels = 0;
    if (Mix_QuerySpec(&rate, &format, &channels) == 0)
    {
        if (heard)
        {
            Report("audio: no device");
        }
        return true;
    }
    if (std::string(SDL_GetCurrentAudioDriver()) != "disk" || format != AUDIO_S16SYS)
    {
        std::cerr << "listening needs the disk driver and 16-bit samples\n";
        return false;
    }
    // Waits until the mixer has played this much more. A quarter second puts
    // what was mixed before a record behind it; and two and a half seconds
    // let every sound started before a heard end (the longest is under two).
    Mix_SetPostMix(Capture, nullptr);
    const auto played = []
    {
        const std::lock_guard<std::mutex> hold(s_tapLock);
        return s_played.size();
    };
    const std::size_t second = static_cast<std::size_t>(rate * channels) * 2;
    const std::size_t until = played() + (heard ? second * 5 / 2 : second / 4);
    for (int waited = 0; played() < until; ++waited)
    {
        if (waited > 10000)
        {
            std::cerr << "the disk audio driver stopped writing\n";
            return false;
        }
        SDL_Delay(1);
    }
    if (!heard)
    {
        recordFrom = until;
        return true;
    }
    int loudest = 0;
    {
        const std::lock_guard<std::mutex> hold(s_tapLock);
        for (std::size_t i = recordFrom; i + 1 < s_played.size(); i += 2)
        {
            std::int16_t sample = 0;
            std::memcpy(&sample, s_played.data() + i, 2);
            loudest = std::max(loudest, std::abs(static_cast<int>(sample)));
        }
    }
    // The ambience alone peaks at -20 dBFS, every other sound at -11 or more.
    Report(std::string("audio: ") + (loudest == 0          ? "silence"
                                     : loudest < 32768 / 5 ? "quiet"
                                                           : "loud"));
    return true;
}

// Passes the narration on, noting the textures alive as the Map's last line ends.
class MapWatch : public std::streambuf
{
public:
    MapWatch() : m_next(std::cout.rdbuf()) { std::cout.rdbuf(this); }
    ~MapWatch() override { std::cout.rdbuf(m_next); }
    MapWatch(const MapWatch&) = delete;
    MapWatch& operator=(const MapWatch&) = delete;

    long m_left = -1; // textures alive once the Map was shut down

private:
    int overflow(int c) override
    {
        if (c == '\n')
        {
            m_left = m_line == "Map shut down successfully." ? s_live.textures : m_left;
            m_line.clear();
        }
        else if (c != traits_type::eof())
        {
            m_line.push_back(static_cast<char>(c));
        }
        return c == traits_type::eof() ? 0 : m_next->sputc(static_cast<char>(c));
    }
    int sync() override { return m_next->pubsync(); }

    std::streambuf* m_next;
    std::string m_line;
};

// Every texture the screens and the Map made is freed by its owner: counted
// before the cache's last sweep and the renderer free whatever an owner forgot.
// Only the gold pieces keep theirs (each its own; its destructor frees none).
bool Shutdown(bool started)
{
    const auto gold = std::ranges::count_if(Map::Instance()->m_events, [](const auto& piece)
                                            { return piece->m_sprite.m_texture != nullptr; });
    const MapWatch watch;
    Game::Instance()->Shutdown();
    if (started && watch.m_left != gold)
    {
        std::cerr << watch.m_left << " textures alive once the Map and the screens were gone, "
                  << gold << " kept by the gold\n";
        return false;
    }
    return true;
}

// Textures, fonts, open files and memory stay at what the first steady found.
bool Steady(std::optional<std::array<long, 4>>& base)
{
    long pages = 0;
    long resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    const std::array<long, 4> now{s_live.textures, s_live.fonts, support::OpenFiles(),
                                  resident * 4096};
    const std::array<long, 4>& first = base ? *base : base.emplace(now);
    // The allocator may keep a little (2 MiB); a texture leaked every game
    // grows far past this over a few hundred games.
    if (now[0] > first[0] || now[1] > first[1] || now[2] > first[2] ||
        now[3] > first[3] + 2L * 1024 * 1024)
    {
        std::cerr << "textures, fonts, files or memory grew after " << first[0] << " " << first[1]
                  << " " << first[2] << " " << first[3] << "\n";
        return false;
    }
    return true;
}
} // namespace

bool Parse(std::istream& in, std::vector<Command>& commands)
{
    std::vector<std::vector<Command>*> open{&commands};
    std::string text;
    for (int line = 1; std::getline(in, text); ++line)
    {
        std::istringstream words(text.substr(0, text.find('#')));
        Command command{{}, {std::istream_iterator<std::string>(words), {}}, {}, line};
        if (command.args.empty())
        {
            continue;
        }
        command.name = command.args.front();
        command.args.erase(command.args.begin());
        if (command.name == "end" && open.size() > 1)
        {
            open.pop_back();
            continue;
        }
        const auto arity = kArity.find(command.name);
        if (arity == kArity.end() || command.args.size() < arity->second)
        {
            std::cerr << "line " << line << ": cannot read '" << text << "'\n";
            return false;
        }
        open.back()->push_back(command);
        if (command.name == "repeat")
        {
            open.push_back(&open.back()->back().body);
        }
    }
    return open.size() == 1;
}

bool Session::Run(const std::vector<Command>& commands)
{
    for (const Command& command : commands)
    {
        if (!Execute(command))
        {
            std::cerr << "line " << command.line << ": '" << command.name << "' failed\n";
            return false;
        }
    }
    return true;
}

bool Session::Execute(const Command& c)
{
    const auto arg = [&c](std::size_t i) { return c.args.at(i); };
    const auto number = [&c](std::size_t i) { return std::atoi(c.args.at(i).c_str()); };
    SDL_Window* window = Graphics::Instance()->m_window;
    if (!m_started && (c.name == "frames" || c.name == "pad" || c.name == "window"))
    {
        return false; // they act on a game under way
    }
    if (c.name == "settings")
    {
        std::string text;
        for (const std::string& word : c.args)
        {
            text += (text.empty() ? "" : " ") + word;
        }
        support::WriteFile("Assets/ini/game.ini", text + "\n");
    }
    else if (c.name == "scores" || c.name == "bytes")
    {
        // Records of four little-endian bytes, or single bytes in hex.
        const bool records = c.name == "scores";
        std::string bytes;
        for (std::size_t i = records ? 0 : 1; i < c.args.size(); ++i)
        {
            const long value = std::strtol(arg(i).c_str(), nullptr, records ? 10 : 16);
            for (int b = 0; b < (records ? 4 : 1); ++b)
            {
                bytes.push_back(static_cast<char>((value >> (8 * b)) & 0xFF));
            }
        }
        support::WriteFile(records ? "Assets/bin/scores.bin" : arg(0), bytes);
    }
    else if (c.name == "tile")
    {
        // One cell of a picture layer shows another frame.
        const std::string path = "Assets/Maps/" + arg(0) + ".map";
        std::istringstream in(support::ReadFile(path));
        std::vector<std::string> entries{std::istream_iterator<std::string>(in), {}};
        entries.at(static_cast<std::size_t>(number(2) * kMapColumns + number(1))) = arg(3);
        std::string text;
        for (std::size_t i = 0; i < entries.size(); ++i)
        {
            text += entries[i] + ((i + 1) % kMapColumns == 0 ? " \n" : " ");
        }
        support::WriteFile(path, text);
    }
    else if (c.name == "remove")
    {
        fs::remove(arg(0));
    }
    else if (c.name == "start")
    {
        m_started = Game::Instance()->Initialize();
        Report(m_started ? "started" : "start-up failed");
    }
    else if (c.name == "seed")
    {
        Random::Seed(static_cast<std::uint32_t>(number(0)));
    }
    else if (c.name == "audio")
    {
        // The disk driver plays about twenty times faster than real time. Only
        // its delay is set: on Windows SDL 2.26's SDL_getenv returns one shared
        // buffer, and the driver reads SDL_DISKAUDIOFILE, then the delay over it.
        SDL_setenv("SDL_AUDIODRIVER", arg(0).c_str(), 1);
        SDL_setenv("SDL_DISKAUDIODELAY", "1", 1);
    }
    else if (c.name == "frames")
    {
        Frames(m_platform, number(0));
    }
    else if (c.name == "release" && arg(0) == "all")
    {
        m_platform.ReleaseAll();
    }
    else if (c.name == "hold" || c.name == "release")
    {
        const SDL_Scancode key = SDL_GetScancodeFromName(arg(0).c_str());
        if (key == SDL_SCANCODE_UNKNOWN)
        {
            return false;
        }
        c.name == "hold" ? m_platform.Hold(key) : m_platform.Release(key);
    }
    else if (c.name == "click" || c.name == "press" || c.name == "point" || c.name == "letgo")
    {
        const auto button = std::ranges::find_if(kMenuButtons, [&](const ButtonPlace& place)
                                                 { return arg(0) == place.label; });
        if (button == kMenuButtons.end())
        {
            return false;
        }
        PushButton(*button, c.name == "point"   ? SDL_MOUSEMOTION
                            : c.name == "letgo" ? SDL_MOUSEBUTTONUP
                                                : SDL_MOUSEBUTTONDOWN);
        if (c.name == "click")
        {
            PushButton(*button, SDL_MOUSEBUTTONUP);
            Frames(m_platform, 1);
        }
    }
    else if (c.name == "record" || c.name == "heard")
    {
        return Listen(m_recordFrom, c.name == "heard");
    }
    else if (c.name == "quit" || c.name == "focus-lost" || c.name == "fullscreen" ||
             c.name == "mute")
    {
        // The close button, the window losing the keyboard, F11, M.
        SDL_Event event{};
        event.type = c.name == "quit" ? SDL_QUIT : SDL_WINDOWEVENT;
        event.window.windowID = SDL_GetWindowID(window);
        event.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
        if (c.name == "fullscreen" || c.name == "mute")
        {
            event.type = SDL_KEYDOWN;
            event.key.state = SDL_PRESSED;
            event.key.keysym.scancode = c.name == "mute" ? SDL_SCANCODE_M : SDL_SCANCODE_F11;
        }
        SDL_PushEvent(&event);
    }
    else if (c.name == "resize")
    {
        SDL_SetWindowSize(window, number(0), number(1));
    }
    else if (c.name == "pad")
    {
        return Pad(m_pads, c);
    }
    else if (c.name == "where")
    {
        const Player* player = Map::Instance()->m_player.get();
        if (player == nullptr)
        {
            return false;
        }
        Report("player at " + std::to_string(player->m_x / kCellSize) + "," +
               std::to_string(player->m_y / kCellSize) + (player->m_moving ? ", moving" : ""));
    }
    else if (c.name == "window")
    {
        // Its size and its place on the desktop, as SDL made it.
        std::array<int, 4> at{};
        SDL_GetWindowPosition(window, &at[0], &at[1]);
        SDL_GetWindowSize(window, &at[2], &at[3]);
        Report("window " + std::to_string(at[2]) + " x " + std::to_string(at[3]) + " at " +
               std::to_string(at[0]) + ", " + std::to_string(at[1]));
    }
    else if (c.name == "walk-gold")
    {
        WalkGold(m_platform, c.args.empty() ? kGoldToWin : number(0));
    }
    else if (c.name == "picture")
    {
        Picture(m_pictureDir, arg(0));
    }
    else if (c.name == "live")
    {
        Report("live textures " + std::to_string(s_live.textures) + ", cursors " +
               std::to_string(s_live.cursors) + ", fonts " + std::to_string(s_live.fonts));
    }
    else if (c.name == "score-file")
    {
        const std::string bytes = support::ReadFile("Assets/bin/scores.bin");
        std::string text = "score file (" + std::to_string(bytes.size()) + " bytes):";
        for (std::size_t at = 0; at + 4 <= bytes.size(); at += 4)
        {
            std::int32_t value = 0;
            std::memcpy(&value, bytes.data() + at, 4); // little-endian here too
            text += ' ';
            text += std::to_string(value);
        }
        Report(text);
    }
    else if (c.name == "text-file")
    {
        // A small text file of the scratch folder, its lines joined by " | "
        // (a folder of its name is no file, and cannot be read as one).
        const bool file = fs::is_regular_file(arg(0));
        std::istringstream in(file ? support::ReadFile(arg(0)) : "");
        std::string text;
        for (std::string line; std::getline(in, line);)
        {
            text += (text.empty() ? "" : " | ") + line;
        }
        Report(arg(0) + ": " + (file ? text : "no file"));
    }
    else if (c.name == "run")
    {
        // A game that never ends fails instead of hanging the suite.
        Frames(m_platform, 100000);
        return Game::Instance()->m_quit;
    }
    else if (c.name == "shutdown")
    {
        m_pads.clear(); // SDL closed them
        return Shutdown(std::exchange(m_started, false));
    }
    else if (c.name == "repeat")
    {
        bool ran = true;
        for (int i = 0; ran && i < number(0); ++i)
        {
            ran = Run(c.body);
        }
        return ran;
    }
    else if (c.name == "steady")
    {
        return Steady(m_base);
    }
    return true;
}

// Every texture, cursor and font the game makes or frees goes through these:
// the link wraps the game's calls (see CMakeLists.txt), so the counts are the
// game's own, whatever SDL keeps inside. Copies count while the game's picture
// is drawn, not while it is shown nor while the level's own pictures are.
extern "C"
{
    SDL_Texture* __real_SDL_CreateTextureFromSurface(SDL_Renderer* renderer, SDL_Surface* surface);
    void __real_SDL_DestroyTexture(SDL_Texture* texture);
    void __real_SDL_DestroyRenderer(SDL_Renderer* renderer);
    SDL_Cursor* __real_SDL_CreateSystemCursor(SDL_SystemCursor id);
    void __real_SDL_FreeCursor(SDL_Cursor* cursor);
    int __real_SDL_RenderClear(SDL_Renderer* renderer);
    int __real_SDL_RenderCopy(SDL_Renderer* renderer, SDL_Texture* texture, const SDL_Rect* source,
                              const SDL_Rect* destination);
    int __real_SDL_RenderCopyEx(SDL_Renderer* renderer, SDL_Texture* texture,
                                const SDL_Rect* source, const SDL_Rect* destination, double angle,
                                const SDL_Point* centre, SDL_RendererFlip flip);
    TTF_Font* __real_TTF_OpenFont(const char* file, int size);
    void __real_TTF_CloseFont(TTF_Font* font);

    SDL_Texture* __wrap_SDL_CreateTextureFromSurface(SDL_Renderer* renderer, SDL_Surface* surface)
    {
        SDL_Texture* texture = __real_SDL_CreateTextureFromSurface(renderer, surface);
        s_live.textures += texture != nullptr ? 1 : 0;
        return texture;
    }
    void __wrap_SDL_DestroyTexture(SDL_Texture* texture)
    {
        // The textures the game draws into are not among those counted: they
        // are made by SDL_CreateTexture, which is not wrapped.
        int access = 0;
        const bool counted = texture != nullptr &&
                             SDL_QueryTexture(texture, nullptr, &access, nullptr, nullptr) == 0 &&
                             access != SDL_TEXTUREACCESS_TARGET;
        s_live.textures -= counted ? 1 : 0;
        __real_SDL_DestroyTexture(texture);
    }
    // A renderer takes every texture it still has with it.
    void __wrap_SDL_DestroyRenderer(SDL_Renderer* renderer)
    {
        s_live.textures = renderer != nullptr ? 0 : s_live.textures;
        __real_SDL_DestroyRenderer(renderer);
    }
    SDL_Cursor* __wrap_SDL_CreateSystemCursor(SDL_SystemCursor id)
    {
        // Calls are counted, not cursors: a headless driver makes none.
        ++s_live.cursors;
        return __real_SDL_CreateSystemCursor(id);
    }
    void __wrap_SDL_FreeCursor(SDL_Cursor* cursor)
    {
        --s_live.cursors;
        __real_SDL_FreeCursor(cursor);
    }
    // The copies counted are those of the picture since its clearing: the
    // ones that draw the game's picture, not the ones that show it.
    int __wrap_SDL_RenderClear(SDL_Renderer* renderer)
    {
        s_live.copies = Graphics::Instance()->m_drawing ? 0 : s_live.copies;
        return __real_SDL_RenderClear(renderer);
    }
    int __wrap_SDL_RenderCopy(SDL_Renderer* renderer, SDL_Texture* texture, const SDL_Rect* source,
                              const SDL_Rect* destination)
    {
        s_live.copies += Graphics::Instance()->m_drawing ? 1 : 0;
        return __real_SDL_RenderCopy(renderer, texture, source, destination);
    }
    int __wrap_SDL_RenderCopyEx(SDL_Renderer* renderer, SDL_Texture* texture,
                                const SDL_Rect* source, const SDL_Rect* destination, double angle,
                                const SDL_Point* centre, SDL_RendererFlip flip)
    {
        s_live.copies += Graphics::Instance()->m_drawing ? 1 : 0;
        return __real_SDL_RenderCopyEx(renderer, texture, source, destination, angle, centre, flip);
    }
    TTF_Font* __wrap_TTF_OpenFont(const char* file, int size)
    {
        TTF_Font* font = __real_TTF_OpenFont(file, size);
        s_live.fonts += font != nullptr ? 1 : 0;
        return font;
    }
    void __wrap_TTF_CloseFont(TTF_Font* font)
    {
        s_live.fonts -= font != nullptr ? 1 : 0;
        __real_TTF_CloseFont(font);
    }
}

} // namespace golden

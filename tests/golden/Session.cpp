#include "tests/golden/Session.h"

#include "core/Game.h"
#include "core/Graphics.h"
#include "core/Input.h"
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
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace golden
{
namespace
{
// What the mixer plays, as it goes to the audio device. SDL's disk driver
// only paces the mixer (it writes sdlaudio.raw in the scratch folder): on
// Windows SDL holds that file unshared while it writes, so the samples are
// taken here, on the audio thread.
struct AudioTap
{
    std::mutex lock;
    std::string played;
};

AudioTap& Tap()
{
    static AudioTap tap;
    return tap;
}

void Capture(void* /*unused*/, Uint8* stream, int length)
{
    const std::lock_guard<std::mutex> hold(Tap().lock);
    Tap().played.append(reinterpret_cast<const char*>(stream), static_cast<std::size_t>(length));
}

std::size_t Played()
{
    const std::lock_guard<std::mutex> hold(Tap().lock);
    return Tap().played.size();
}

const std::map<std::string, int> kKeys{
    {"Return", kKeyReturn}, {"Escape", kKeyEscape}, {"Space", kKeySpace},  {"P", kKeyP},
    {"Left", kKeyLeft},     {"Right", kKeyRight},   {"Up", kKeyUp},        {"Down", kKeyDown},
    {"W", SDL_SCANCODE_W},  {"A", SDL_SCANCODE_A},  {"S", SDL_SCANCODE_S}, {"D", SDL_SCANCODE_D}};

const std::map<std::string, SDL_GameControllerButton> kPadButtons{
    {"Left", SDL_CONTROLLER_BUTTON_DPAD_LEFT},
    {"Right", SDL_CONTROLLER_BUTTON_DPAD_RIGHT},
    {"Up", SDL_CONTROLLER_BUTTON_DPAD_UP},
    {"Down", SDL_CONTROLLER_BUTTON_DPAD_DOWN},
    {"A", SDL_CONTROLLER_BUTTON_A},
    {"B", SDL_CONTROLLER_BUTTON_B},
    {"Start", SDL_CONTROLLER_BUTTON_START}};

const std::map<std::string, int> kButtons{{"Play", kButtonPlay},
                                          {"Scores", kButtonScores},
                                          {"Guide", kButtonGuide},
                                          {"Exit", kButtonExit}};

// A press, a release or (`type` motion) the pointer moving onto a button.
void PushButton(int button, Uint32 type)
{
    const ButtonPlace& place = kMenuButtons[static_cast<std::size_t>(button)];
    SDL_Event event{};
    event.type = type;
    event.button.button = SDL_BUTTON_LEFT;
    event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    // The centre of the button as drawn in the window, whatever its scale, as
    // the window reports it; SDL maps it back to the 800 x 608 picture.
    const Graphics* graphics = Graphics::Instance();
    event.button.windowID = SDL_GetWindowID(graphics->m_window);
    int x = 0;
    int y = 0;
    SDL_RenderLogicalToWindow(graphics->m_renderer, static_cast<float>(place.x + place.width / 2),
                              static_cast<float>(place.y + place.height / 2), &x, &y);
    event.button.x = x;
    event.button.y = y;
    if (type == SDL_MOUSEMOTION)
    {
        event.motion = {type, 0, event.button.windowID, 0, 0, x, y, 1, 1};
    }
    SDL_PushEvent(&event);
}

void Report(const std::string& text)
{
    std::cout << "#> " << text << std::endl;
}

// What must not grow over a long session.
std::array<long, 4> Sample()
{
    const long files = support::OpenFiles();
    long pages = 0;
    long resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return {Live().textures, Live().fonts, files, resident * 4096};
}

bool Known(const std::string& name, std::size_t args)
{
    static const std::map<std::string, std::size_t> kArity{
        {"settings", 1}, {"scores", 0}, {"bytes", 1},      {"remove", 1},     {"start", 0},
        {"seed", 1},     {"frames", 1}, {"hold", 1},       {"release", 1},    {"click", 1},
        {"press", 1},    {"letgo", 0},  {"quit", 0},       {"walk-gold", 0},  {"picture", 1},
        {"live", 0},     {"run", 0},    {"shutdown", 0},   {"score-file", 0}, {"repeat", 1},
        {"steady", 0},   {"tile", 4},   {"focus-lost", 0}, {"fullscreen", 0}, {"resize", 2},
        {"audio", 1},    {"record", 0}, {"heard", 0},      {"mute", 0},       {"pad", 2},
        {"where", 0},    {"point", 1},  {"text-file", 1},  {"window", 0}};
    const auto found = kArity.find(name);
    return found != kArity.end() && args >= found->second;
}
} // namespace

bool Parse(std::istream& in, std::vector<Command>& commands)
{
    std::vector<std::vector<Command>*> open{&commands};
    std::string text;
    for (int line = 1; std::getline(in, text); ++line)
    {
        std::istringstream words(text.substr(0, text.find('#')));
        Command command;
        command.line = line;
        if (!(words >> command.name))
        {
            continue;
        }
        for (std::string word; words >> word;)
        {
            command.args.push_back(word);
        }
        if (command.name == "end" && open.size() > 1)
        {
            open.pop_back();
            continue;
        }
        if (!Known(command.name, command.args.size()))
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

Session::Session(fs::path pictureDir) : m_pictureDir(std::move(pictureDir)) {}

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

bool Session::Frames(int count)
{
    for (int i = 0; i < count && !Game::Instance()->m_quit; ++i)
    {
        support::Frame(m_platform);
    }
    return true;
}

bool Session::Execute(const Command& c)
{
    const auto arg = [&c](std::size_t i) { return c.args.at(i); };
    const auto number = [&c](std::size_t i) { return std::atoi(c.args.at(i).c_str()); };
    Game* game = Game::Instance();
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
        m_started = game->Initialize();
        Report(m_started ? "started" : "start-up failed");
    }
    else if (c.name == "seed")
    {
        Random::Seed(static_cast<std::uint32_t>(number(0)));
    }
    else if (c.name == "frames")
    {
        return m_started && Frames(number(0));
    }
    else if (c.name == "hold" || c.name == "release")
    {
        if (c.name == "release" && arg(0) == "all")
        {
            m_platform.ReleaseAll();
            return true;
        }
        const auto key = kKeys.find(arg(0));
        if (key == kKeys.end())
        {
            return false;
        }
        c.name == "hold" ? m_platform.Hold(key->second) : m_platform.Release(key->second);
    }
    else if (c.name == "click" || c.name == "press" || c.name == "point")
    {
        const auto button = kButtons.find(arg(0));
        if (button == kButtons.end())
        {
            return false;
        }
        PushButton(button->second, c.name == "point" ? SDL_MOUSEMOTION : SDL_MOUSEBUTTONDOWN);
        if (c.name == "click")
        {
            PushButton(button->second, SDL_MOUSEBUTTONUP);
            return Frames(1);
        }
    }
    else if (c.name == "letgo")
    {
        PushButton(kButtonPlay, SDL_MOUSEBUTTONUP);
    }
    else if (c.name == "audio")
    {
        // SDL's disk driver writes what the mixer plays to a file, about
        // twenty times faster than real time. Only the delay is set: on
        // Windows SDL 2.26's SDL_getenv returns one shared buffer, and the
        // driver reads SDL_DISKAUDIOFILE and then the delay over it.
        SDL_setenv("SDL_AUDIODRIVER", arg(0).c_str(), 1);
        SDL_setenv("SDL_DISKAUDIODELAY", "1", 1);
    }
    else if (c.name == "record" || c.name == "heard")
    {
        return Listen(c.name == "heard");
    }
    else if (c.name == "quit" || c.name == "focus-lost" || c.name == "fullscreen" ||
             c.name == "mute")
    {
        // The close button, the window losing the keyboard, F11.
        SDL_Event event{};
        event.type = c.name == "quit" ? SDL_QUIT : SDL_WINDOWEVENT;
        event.window.windowID = SDL_GetWindowID(Graphics::Instance()->m_window);
        event.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
        if (c.name == "fullscreen" || c.name == "mute")
        {
            event.type = SDL_KEYDOWN;
            event.key.state = SDL_PRESSED;
            event.key.repeat = 0;
            event.key.keysym.scancode = c.name == "mute" ? SDL_SCANCODE_M : SDL_SCANCODE_F11;
        }
        SDL_PushEvent(&event);
    }
    else if (c.name == "resize")
    {
        SDL_SetWindowSize(Graphics::Instance()->m_window, number(0), number(1));
    }
    else if (c.name == "pad")
    {
        return m_started && Pad(c);
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
        SDL_GetWindowPosition(Graphics::Instance()->m_window, &at[0], &at[1]);
        SDL_GetWindowSize(Graphics::Instance()->m_window, &at[2], &at[3]);
        Report("window " + std::to_string(at[2]) + " x " + std::to_string(at[3]) + " at " +
               std::to_string(at[0]) + ", " + std::to_string(at[1]));
        return m_started;
    }
    else if (c.name == "walk-gold")
    {
        return WalkGold(c.args.empty() ? kGoldToWin : number(0));
    }
    else if (c.name == "picture")
    {
        Picture(arg(0));
    }
    else if (c.name == "live")
    {
        const LiveCounts live = Live();
        Report("live textures " + std::to_string(live.textures) + ", cursors " +
               std::to_string(live.cursors) + ", fonts " + std::to_string(live.fonts));
    }
    else if (c.name == "score-file")
    {
        const std::string bytes = support::ReadFile("Assets/bin/scores.bin");
        std::vector<std::int32_t> records(bytes.size() / 4);
        std::memcpy(records.data(), bytes.data(), records.size() * 4); // little-endian here too
        std::string text = "score file (" + std::to_string(bytes.size()) + " bytes):";
        for (const std::int32_t value : records)
        {
            text += ' ';
            text += std::to_string(value);
        }
        Report(text);
    }
    else if (c.name == "text-file")
    {
        // A small text file of the scratch folder, its lines joined by " | ".
        if (!fs::is_regular_file(arg(0)))
        {
            Report(arg(0) + ": no file");
            return true;
        }
        std::istringstream in(support::ReadFile(arg(0)));
        std::string text;
        for (std::string line; std::getline(in, line);)
        {
            text += (text.empty() ? "" : " | ") + line;
        }
        Report(arg(0) + ": " + text);
    }
    else if (c.name == "run")
    {
        // A game that never ends fails instead of hanging the suite.
        Frames(100000);
        return game->m_quit;
    }
    else if (c.name == "shutdown")
    {
        const bool started = m_started;
        m_started = false;
        m_pads.clear(); // SDL closed them
        return Shutdown(started);
    }
    else if (c.name == "repeat")
    {
        for (int i = 0; i < number(0); ++i)
        {
            if (!Run(c.body))
            {
                return false;
            }
        }
    }
    else if (c.name == "steady")
    {
        return Steady();
    }
    return true;
}

// A game controller without hardware: SDL's virtual joystick.
bool Session::Pad(const Command& c)
{
    SDL_Joystick*& pad = m_pads[std::atoi(c.args[0].c_str())];
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
    const auto button = kPadButtons.find(c.args[2]);
    return (what == "hold" || what == "release") && button != kPadButtons.end() &&
           SDL_JoystickSetVirtualButton(pad, button->second, what == "hold" ? 1 : 0) == 0;
}

bool Session::WalkGold(int pieces)
{
    Map* map = Map::Instance();
    support::RouteWalker walker(support::RouteThroughGold(*map));
    // Walks until the game leaves the play screen (won or lost) or the
    // route is done; the cap only stops a walk that went wrong.
    const auto playing = []
    {
        const auto& states = Game::Instance()->m_states;
        return !states.empty() && dynamic_cast<PlayState*>(states.front().get()) != nullptr;
    };
    for (int frame = 0; frame < 20000 && playing(); ++frame)
    {
        walker.Steer(*map->m_player, m_platform);
        support::Frame(m_platform);
        if (g_goldCount >= pieces || (walker.Done() && !map->m_player->m_moving))
        {
            break;
        }
    }
    m_platform.ReleaseAll();
    return true;
}

void Session::Picture(const std::string& name)
{
    SDL_Renderer* renderer = Graphics::Instance()->m_renderer;
    int width = 0;
    int height = 0;
    SDL_GetRendererOutputSize(renderer, &width, &height);
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
    SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, surface->pixels,
                         surface->pitch);
    // FNV-1a over the rows, so the hash names the picture, not its padding.
    std::uint64_t hash = 14695981039346656037ULL;
    for (int y = 0; y < height; ++y)
    {
        const auto* row = static_cast<const unsigned char*>(surface->pixels) + y * surface->pitch;
        for (int x = 0; x < width * 4; ++x)
        {
            hash = (hash ^ row[x]) * 1099511628211ULL;
        }
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    Report("picture " + name + " " + text + ", " + std::to_string(Live().copies) + " copies");
    if (!m_pictureDir.empty())
    {
        fs::create_directories(m_pictureDir);
        IMG_SavePNG(surface, (m_pictureDir / (name + ".png")).string().c_str());
    }
    SDL_FreeSurface(surface);
}

bool Session::Listen(bool heard)
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
    const auto size = Played;
    const std::size_t second = static_cast<std::size_t>(rate * channels) * 2;
    const std::size_t until = size() + (heard ? second * 5 / 2 : second / 4);
    for (int waited = 0; size() < until; ++waited)
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
        m_recordFrom = until;
        return true;
    }
    std::string bytes;
    {
        const std::lock_guard<std::mutex> hold(Tap().lock);
        bytes = Tap().played.substr(m_recordFrom);
    }
    int loudest = 0;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
    {
        std::int16_t sample = 0;
        std::memcpy(&sample, bytes.data() + i, 2);
        loudest = std::max(loudest, std::abs(static_cast<int>(sample)));
    }
    // The ambience alone peaks at -20 dBFS, every other sound at -11 or more.
    Report(std::string("audio: ") + (loudest == 0          ? "silence"
                                     : loudest < 32768 / 5 ? "quiet"
                                                           : "loud"));
    return true;
}

namespace
{
// Passes the narration on, noting the textures alive as each line ends.
class LineWatch : public std::streambuf
{
public:
    explicit LineWatch(std::map<std::string, long>& seen) : m_seen(seen), m_next(std::cout.rdbuf())
    {
        std::cout.rdbuf(this);
    }
    ~LineWatch() override { std::cout.rdbuf(m_next); }
    LineWatch(const LineWatch&) = delete;
    LineWatch& operator=(const LineWatch&) = delete;

private:
    int overflow(int c) override
    {
        if (c == '\n')
        {
            m_seen[m_line] = Live().textures;
            m_line.clear();
        }
        else if (c != traits_type::eof())
        {
            m_line.push_back(static_cast<char>(c));
        }
        return c == traits_type::eof() ? 0 : m_next->sputc(static_cast<char>(c));
    }
    int sync() override { return m_next->pubsync(); }

    std::map<std::string, long>& m_seen;
    std::streambuf* m_next;
    std::string m_line;
};
} // namespace

// Every texture the screens and the Map made is freed by its owner, counted
// while the renderer still exists: destroying it frees whatever was left, and
// the cache's last sweep would hide a texture an owner forgot. Only the gold
// pieces keep theirs (each holds its own, and its destructor frees none).
bool Session::Shutdown(bool started)
{
    std::set<SDL_Texture*> gold;
    for (const auto& piece : Map::Instance()->m_events)
    {
        if (piece->m_sprite.m_texture != nullptr)
        {
            gold.insert(piece->m_sprite.m_texture);
        }
    }
    std::map<std::string, long> seen;
    {
        const LineWatch watch(seen);
        Game::Instance()->Shutdown();
    }
    const auto at = [&seen](const char* line) { return seen.contains(line) ? seen[line] : -1; };
    const long left = at("Map shut down successfully.");
    if (started && left != std::ssize(gold))
    {
        std::cerr << at("Game shut down function called...")
                  << " textures alive as shutdown began, " << left
                  << " once the Map and the screens were gone, where the gold keeps " << gold.size()
                  << "\n";
        return false;
    }
    return true;
}

bool Session::Steady()
{
    const std::array<long, 4> now = Sample();
    if (!m_base)
    {
        m_base = now;
    }
    // The allocator may keep a little; a texture leaked every game grows far
    // past this over a few hundred games.
    constexpr long kSlack = 2L * 1024 * 1024;
    const std::array<long, 4>& base = *m_base;
    if (now[0] > base[0] || now[1] > base[1] || now[2] > base[2] || now[3] > base[3] + kSlack)
    {
        std::cerr << "textures, fonts, files or memory grew after " << base[0] << " " << base[1]
                  << " " << base[2] << " " << base[3] << "\n";
        return false;
    }
    return true;
}

} // namespace golden

// Plays the hostile-file cases of a .cases file, each in a scratch folder, and
// compares the narration and results made afresh with the file itself;
// --update writes them in. The commands: tests/hostile/README.md.
#include "tests/support/Scratch.h"

#include "core/Game.h"
#include "core/Preferences.h"
#include "platform/Files.h"
#include "world/FileManager.h"
#include "world/Map.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>
#ifndef _WIN32
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace
{
// The text of a command: \n, \r, \t, \0, \\ and \xHH stand for their bytes.
std::string Unescape(const std::string& text)
{
    static const std::map<char, char> kNamed{
        {'n', '\n'}, {'r', '\r'}, {'t', '\t'}, {'0', '\0'}, {'\\', '\\'}};
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] != '\\' || i + 1 == text.size())
        {
            bytes += text[i];
        }
        else if (text[i + 1] == 'x')
        {
            bytes += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
            i += 3;
        }
        else
        {
            bytes += kNamed.contains(text[i + 1]) ? kNamed.at(text[i + 1]) : text[i + 1];
            ++i;
        }
    }
    return bytes;
}

using support::Report;

// Appends " A<between>B" piece by piece: mingw's g++ 12 warns, falsely, on " " + to_string.
void Pair(std::string& text, long long a, const char* between, long long b)
{
    text.append(" ").append(std::to_string(a)).append(between).append(std::to_string(b));
}

std::string Choice(const std::optional<bool>& choice)
{
    return choice ? (*choice ? "on" : "off") : "unset";
}

const std::map<std::string, int> kLayers{{"collision", kCollisionMapKey},
                                         {"floor", kFloorMapKey},
                                         {"wall", kWallMapKey},
                                         {"object", kObjectMapKey}};

// The scratch folder of the case being played.
const support::ScratchFolder* s_scratch = nullptr;

// Carries out one command; false when it cannot be read.
bool Run(const std::string& name, std::istringstream& args)
{
    std::string path;
    args >> path;
    std::string rest;
    std::getline(args >> std::ws, rest);
    const fs::path native = NativePath(path);
    FileManager* files = FileManager::Instance();
    if (name == "write" || name == "append")
    {
        const std::string before = name == "append" ? support::ReadFile(native) : "";
        support::WriteFile(native, before + Unescape(rest));
    }
    else if (name == "records")
    {
        std::istringstream values(rest);
        support::WriteFile(native, support::Records({std::istream_iterator<std::int32_t>(values),
                                                     std::istream_iterator<std::int32_t>()}));
    }
    else if (name == "pad")
    {
        // The file made `rest` bytes long with blanks, or with the character given.
        std::istringstream how(rest);
        std::size_t size = 0;
        std::string fill;
        how >> size >> fill;
        std::string bytes = support::ReadFile(native);
        bytes.resize(size, fill.empty() ? ' ' : Unescape(fill)[0]);
        support::WriteFile(native, bytes);
    }
    else if (name == "huge")
    {
        // Larger than any memory; on Windows just past 4 GiB, beyond 32-bit
        // sizes: MinGW's run time refuses to size a file past the disk's free space.
#ifdef _WIN32
        fs::resize_file(native, (std::uintmax_t{1} << 32) + 8);
#else
        fs::resize_file(native, std::uintmax_t{1} << 40);
#endif
    }
    else if (name == "assets")
    {
        s_scratch->CopyAssets("Dungeon 800 608 0\n");
    }
    else if (name == "folder")
    {
        fs::create_directories(native);
    }
    else if (name == "readonly")
    {
        const auto writable =
            fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
        fs::permissions(native, writable,
                        rest == "on" ? fs::perm_options::remove : fs::perm_options::add);
    }
    else if (name == "remove")
    {
        fs::remove_all(native);
    }
#ifndef _WIN32
    else if (name == "fifo")
    {
        mkfifo(native.c_str(), 0600);
    }
    else if (name == "link")
    {
        std::string at = native.string();
        if (const auto pid = at.find("{pid}"); pid != std::string::npos)
        {
            at.replace(pid, 5, std::to_string(getpid()));
        }
        fs::create_symlink(rest, at);
    }
    else if (name == "lock")
    {
        // Another program holds the file locked, as one stopped mid-save would.
        static int held = -1;
        if (rest == "on")
        {
            held = open(native.c_str(), O_RDONLY);
            flock(held, LOCK_EX);
        }
        else
        {
            close(held);
        }
    }
    else if (name == "user")
    {
        // Only a runner that is root can become another user; others go on as themselves.
        [[maybe_unused]] const bool became = seteuid(static_cast<uid_t>(std::stoul(path))) == 0;
    }
    else if (name == "limit")
    {
        // The next save may make files of at most this many bytes, as on a full disk.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        const rlimit tight{std::stoul(path), old.rlim_max};
        setrlimit(RLIMIT_FSIZE, &tight);
        const bool saved = files->WriteBinaryFile(std::stoi(rest));
        setrlimit(RLIMIT_FSIZE, &old);
        Report(saved ? "saved" : "not saved");
    }
#endif
    else if (name == "read" && path == "settings")
    {
        Game* game = Game::Instance();
        const bool read = game->ReadSettings();
        Report(std::string(read ? "read" : "not read") + ": \"" +
               (game->m_title ? game->m_title : "") + "\" " + std::to_string(game->m_width) +
               " x " + std::to_string(game->m_height) +
               (game->m_fullscreen ? " fullscreen" : " windowed"));
    }
    else if (name == "read" && path == "scores")
    {
        std::string text = files->ReadBinaryFile(kScoreFileKey) ? "read:" : "not read:";
        for (const std::int32_t score : files->GetScores())
        {
            text.append(" ").append(std::to_string(score));
        }
        Report(text);
    }
    else if (name == "read" && kLayers.contains(path))
    {
        // What was read, where it is short enough to list: the tiles, or the
        // blocked cells (index=value).
        Map& map = *Map::Instance();
        const bool read = map.LoadMap(kLayers.at(path));
        const CollisionGrid& grid = map.m_collisionGrid;
        const auto blocked =
            std::count_if(grid.begin(), grid.end(), [](std::int32_t cell) { return cell != 0; });
        const TileList& tiles = path == "floor"  ? map.m_floorValues
                                : path == "wall" ? map.m_wallValues
                                                 : map.m_objectValues;
        std::string listed;
        for (std::size_t i = 0; i < grid.size() && path == "collision" && blocked <= 8; ++i)
        {
            if (grid[i] != 0)
            {
                Pair(listed, static_cast<long long>(i), "=", grid[i]);
            }
        }
        for (std::size_t i = 0; i < tiles.size() && path != "collision" && tiles.size() <= 8; ++i)
        {
            Pair(listed, tiles[i].first, ",", tiles[i].second);
        }
        Report(std::string(read ? "read" : "not read") +
               (path == "collision" ? ", cells blocked: " + std::to_string(blocked) : "") +
               (read && !listed.empty() ? ":" + listed : ""));
    }
    else if (name == "read" && path == "preferences")
    {
        // What the file gives, and that it is written back as it reads.
        const Preferences chosen = LoadPreferences(kPreferencesPath);
        const bool same = ParsePreferences(FormatPreferences(chosen)) == chosen;
        Report("sound " + Choice(chosen.sound) + ", fullscreen " + Choice(chosen.fullscreen) +
               (same ? "" : ", written back otherwise"));
    }
    else if (name == "save")
    {
        Report(files->WriteBinaryFile(std::stoi(path)) ? "saved" : "not saved");
    }
    else if (name == "replace")
    {
        const DataFile written = WriteWholeFile(path, Unescape(rest));
        Report(written.status == DataStatus::kDone
                   ? "replaced"
                   : "not replaced, reason given: " +
                         std::string(written.reason.empty() ? "no" : "yes"));
    }
    else if (name == "show")
    {
        // A file's bytes in hex, or the entries of a folder.
        std::string text;
        if (fs::is_directory(native))
        {
            std::set<std::string> names;
            for (const auto& entry : fs::directory_iterator(native))
            {
                names.insert(entry.path().filename().string());
            }
            for (const std::string& entry : names)
            {
                text += " " + entry;
            }
        }
        else
        {
            for (const unsigned char byte : support::ReadFile(native))
            {
                static const char* kHex = "0123456789abcdef";
                text += std::string(" ") + kHex[byte >> 4] + kHex[byte & 15];
            }
        }
        Report(path + ":" + text);
    }
    else
    {
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        std::cerr << "usage: hostile_runner CASES [--update]\n";
        return 2;
    }
    const fs::path casesPath = fs::absolute(argv[1]);
    const bool update = argc > 2 && std::string(argv[2]) == "--update";
    std::istringstream in(support::ReadFile(casesPath));
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
    {
        lines.push_back(line);
    }
    {
        const support::SilentCout quiet;
        FileManager::Instance()->Initialize();
    }
    std::string played;
    std::optional<support::ScratchFolder> scratch;
    long files = 0;
    // A case leaves no descriptor open.
    const auto endCase = [&]
    {
        if (scratch && support::OpenFiles() != files)
        {
            played += "#> a file was left open\n";
        }
        scratch.reset();
    };
    bool skipping = false;
    for (std::size_t i = 0; i < lines.size(); ++i)
    {
        const std::string& line = lines[i];
        const bool command = line.starts_with("$ ");
        if (line.starts_with("#> ") ||
            (!command && !line.starts_with("#") && !line.starts_with("==")))
        {
            played += skipping ? line + "\n" : ""; // an old result, made afresh
            continue;
        }
        played += line + "\n";
        if (line.starts_with("=="))
        {
            endCase();
            scratch.emplace("dungeon-hostile");
            s_scratch = &*scratch;
            files = support::OpenFiles();
            skipping = false;
#ifdef _WIN32
            // The whole case is kept as written where the system cannot make it.
            for (std::size_t j = i + 1; j < lines.size() && !lines[j].starts_with("=="); ++j)
            {
                for (const char* posixOnly :
                     {"$ fifo ", "$ link ", "$ limit ", "$ lock ", "$ user "})
                {
                    skipping = skipping || lines[j].starts_with(posixOnly);
                }
            }
#endif
            continue;
        }
        if (!command || skipping)
        {
            continue;
        }
        std::istringstream args(line.substr(2));
        std::string name;
        args >> name;
        std::ostringstream narration;
        std::streambuf* console = std::cout.rdbuf(narration.rdbuf());
        const bool known = scratch && Run(name, args);
        std::cout.rdbuf(console);
        if (!known)
        {
            std::cerr << casesPath.string() << ":" << i + 1 << ": cannot carry out '" << line
                      << "'\n";
            return 2;
        }
        played += narration.str();
    }
    endCase();
    return support::MatchFile(played, casesPath, update, ".actual",
                              "the cases played otherwise (--update rewrites them)");
}

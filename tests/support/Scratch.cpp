#include "tests/support/Scratch.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#ifdef _WIN32
#include <io.h>
#endif

namespace fs = std::filesystem;

namespace support
{

ScratchFolder::ScratchFolder(const std::string& prefix) : m_source(fs::absolute(DUNGEON_SOURCE_DIR))
{
    // SDL's own setenv: on Windows SDL reads the process environment, which
    // the C library's copy does not reach.
    SDL_setenv("SDL_VIDEODRIVER", "dummy", 1);
    SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
    // A folder no other process holds: creating one that exists fails.
    std::mt19937 random(std::random_device{}());
    for (int attempt = 0; m_dir.empty(); ++attempt)
    {
        const fs::path name = fs::temp_directory_path() / (prefix + "-" + std::to_string(random()));
        std::error_code error;
        if (fs::create_directory(name, error))
        {
            m_dir = name;
        }
        else if (error || attempt == 100)
        {
            std::perror("scratch folder");
            std::abort();
        }
    }
    for (const char* folder : {"bin", "ini", "Maps"})
    {
        fs::create_directories(m_dir / "Assets" / folder);
    }
    m_oldDir = fs::current_path();
    fs::current_path(m_dir);
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
    fs::current_path(m_oldDir, ignored);
    fs::remove_all(m_dir, ignored);
}

void ScratchFolder::CopyAssets(const std::string& settings) const
{
    const fs::path source = m_source / "Assets";
    // File by file: on Windows, the C++ library's recursive copy refuses a
    // folder that exists already (Maps).
    for (const char* folder : {"GameState", "Sprites", "Textures", "Maps", "Fonts", "Sounds"})
    {
        fs::create_directories(m_dir / "Assets" / folder);
        for (const auto& entry : fs::recursive_directory_iterator(source / folder))
        {
            const fs::path target =
                m_dir / "Assets" / folder / fs::relative(entry.path(), source / folder);
            if (entry.is_directory())
            {
                fs::create_directories(target);
            }
            else
            {
                fs::copy_file(entry.path(), target, fs::copy_options::overwrite_existing);
            }
        }
    }
    WriteFile(m_dir / "Assets" / "ini" / "game.ini", settings);
}

void WriteFile(const fs::path& path, const std::string& content)
{
    if (path.has_parent_path())
    {
        fs::create_directories(path.parent_path());
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    out.close();
    if (!out)
    {
        std::perror(path.string().c_str());
        std::abort();
    }
}

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Report(const std::string& text)
{
    std::cout << "#> " << text << std::endl;
}

int MatchFile(const std::string& made, const fs::path& path, bool update, const std::string& ext,
              const std::string& heading)
{
    if (update)
    {
        std::ofstream(path, std::ios::binary) << made;
    }
    std::string held = ReadFile(path);
    std::erase(held, '\r');
    if (held == made)
    {
        return 0;
    }
    const fs::path actual = fs::temp_directory_path() / (path.stem().string() + ext);
    std::ofstream(actual, std::ios::binary) << made;
    std::cout << heading << " (the whole of it in " << actual << "):\n" << std::flush;
    const std::string diff = "diff -u '" + path.string() + "' '" + actual.string() + "' | head -60";
    return std::system(diff.c_str()) == -1 ? 2 : 1;
}

long OpenFiles()
{
    long files = 0;
#ifdef _WIN32
    // The C run time's descriptors, which the data files and streams use
    // (Wine counts no handles: GetProcessHandleCount gives 0 there).
    for (int fd = 0; fd < 2048; ++fd)
    {
        files += _get_osfhandle(fd) != -1 ? 1 : 0;
    }
#else
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd"))
    {
        ++files;
    }
#endif
    return files;
}

std::string Records(const std::vector<std::int32_t>& values)
{
    std::string bytes;
    for (std::int32_t value : values)
    {
        const auto raw = static_cast<std::uint32_t>(value);
        for (int shift = 0; shift < 32; shift += 8)
        {
            bytes.push_back(static_cast<char>((raw >> shift) & 0xFF));
        }
    }
    return bytes;
}

SilentCout::SilentCout(bool keep) : m_oldBuffer(std::cout.rdbuf()), m_oldState(std::cout.rdstate())
{
    if (keep)
    {
        std::cout.rdbuf(m_text.rdbuf());
    }
    else
    {
        std::cout.setstate(std::ios::badbit); // a failed stream writes nothing
    }
}

SilentCout::~SilentCout()
{
    std::cout.rdbuf(m_oldBuffer);
    std::cout.clear(m_oldState);
}

std::string SilentCout::Tail(int lines) const
{
    const std::string text = m_text.str();
    std::size_t start = text.size();
    for (int seen = 0; start > 0 && seen <= lines;)
    {
        seen += text[--start] == '\n' ? 1 : 0;
    }
    return text.substr(start);
}

} // namespace support

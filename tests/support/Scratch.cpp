#include "tests/support/Scratch.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <unistd.h>

namespace fs = std::filesystem;

namespace support
{

ScratchFolder::ScratchFolder(const std::string& prefix)
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::string pattern = (fs::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (mkdtemp(pattern.data()) == nullptr)
    {
        std::perror("mkdtemp");
        std::abort();
    }
    m_dir = pattern;
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
    const fs::path source = fs::path(DUNGEON_SOURCE_DIR) / "Assets";
    for (const char* folder : {"GameState", "Sprites", "Textures", "Maps", "Fonts", "Sounds"})
    {
        fs::copy(source / folder, m_dir / "Assets" / folder,
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    }
    WriteFile(m_dir / "Assets" / "ini" / "game.ini", settings);
}

void WriteFile(const fs::path& path, const std::string& content)
{
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    out.close();
    if (!out)
    {
        std::perror(path.c_str());
        std::abort();
    }
}

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
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

// A stream in a failed state writes nothing.
SilentCout::SilentCout() : m_old(std::cout.rdstate())
{
    std::cout.setstate(std::ios::badbit);
}

SilentCout::~SilentCout()
{
    std::cout.clear(m_old);
}

} // namespace support

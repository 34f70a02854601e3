#include "tests/fuzz/FuzzScratch.h"

#include "world/FileManager.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <streambuf>
#include <unistd.h>

namespace fs = std::filesystem;

namespace fuzz
{

namespace
{
// Swallows everything written to it.
class NullBuffer : public std::streambuf
{
protected:
    int overflow(int c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

NullBuffer s_null;

// The scratch folder, removed when the fuzzer exits.
std::string s_scratch;

void RemoveScratch()
{
    std::error_code ignored;
    fs::remove_all(s_scratch, ignored);
}
} // namespace

void EnterScratchFolder()
{
    std::string pattern = (fs::temp_directory_path() / "dungeon-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
    {
        std::perror("mkdtemp");
        std::abort();
    }
    s_scratch = pattern;
    std::atexit(RemoveScratch);
    fs::current_path(pattern);
    for (const char* folder : {"Assets/bin", "Assets/ini", "Assets/Maps"})
    {
        fs::create_directories(folder);
    }
    SilentCout quiet;
    FileManager::Instance()->Initialize();
}

void WriteInput(const std::string& path, const std::uint8_t* data, std::size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    out.close();
    if (!out)
    {
        std::perror(path.c_str());
        std::abort();
    }
}

SilentCout::SilentCout() : m_old(std::cout.rdbuf(&s_null)) {}

SilentCout::~SilentCout()
{
    std::cout.rdbuf(m_old);
}

} // namespace fuzz

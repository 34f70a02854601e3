#pragma once

// What every program that runs the game's code away from the repository needs:
// the unit tests, the whole-session programs and the fuzz targets all work in
// a scratch folder of their own and silence or capture the game's narration.

#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace support
{

// A fresh folder <temp>/<prefix>-<random number> holding Assets/bin, Assets/ini and
// Assets/Maps, made the working directory, with SDL's dummy video and audio
// drivers selected. The destructor goes back and removes the folder.
class ScratchFolder
{
public:
    explicit ScratchFolder(const std::string& prefix);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // Copies the committed pictures, sounds, font and level in (no score file) and
    // writes the settings file.
    void CopyAssets(const std::string& settings) const;

private:
    std::filesystem::path m_dir;
    std::filesystem::path m_oldDir;
    // The repository, made absolute before the working folder changes: under
    // Wine its Linux path names a folder of the current drive.
    std::filesystem::path m_source;
};

// Replaces a file with exactly `content`, making its folders; aborts when the
// file cannot be written, since every later check would be meaningless.
void WriteFile(const std::filesystem::path& path, const std::string& content);
std::string ReadFile(const std::filesystem::path& path);

// How many files the process holds open (on Windows, C run-time descriptors).
long OpenFiles();

// A line of the test's own among the narration, marked "#> ".
void Report(const std::string& text);
// Whether `made` is what the file at `path` holds (CRs aside), after writing
// it there when `update`. Where not, `made` goes to <temp>/<path's stem><ext>
// and the difference is shown under `heading`: 1, or 2 where it cannot be.
int MatchFile(const std::string& made, const std::filesystem::path& path, bool update,
              const std::string& ext, const std::string& heading);
// Score records as the file stores them: little-endian 32-bit.
std::string Records(const std::vector<std::int32_t>& values);

// Keeps std::cout off the test's output while it lives: the game narrates
// every frame. A test may `keep` the narration to show it when a check fails;
// long runs (fuzzing, benchmarks, the soak) drop it.
class SilentCout
{
public:
    explicit SilentCout(bool keep = false);
    ~SilentCout();
    SilentCout(const SilentCout&) = delete;
    SilentCout& operator=(const SilentCout&) = delete;

    // The narration kept, whole or its last lines (up to `lines` of them).
    std::string Text() const { return m_text.str(); }
    std::string Tail(int lines = 20) const;

private:
    std::ostringstream m_text;
    std::streambuf* m_oldBuffer;
    std::ios::iostate m_oldState;
};

} // namespace support

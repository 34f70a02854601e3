#pragma once

// Runs the real game code headless: SDL's dummy video driver, a scratch
// working folder with its own Assets, captured standard output, scripted keys
// and mouse events, and frames driven through Game::Step like the main loop.
//
// The game's managers are process-wide singletons, so every test must run in
// a process of its own: ctest does that (one process per test case); to run a
// single case by hand, pass --gtest_filter.

#include <SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace harness
{

// Collects everything written to std::cout while it lives.
class CoutCapture
{
public:
    CoutCapture() : m_old(std::cout.rdbuf(m_buffer.rdbuf())) {}
    ~CoutCapture() { std::cout.rdbuf(m_old); }
    CoutCapture(const CoutCapture&) = delete;
    CoutCapture& operator=(const CoutCapture&) = delete;

    std::string Text() const { return m_buffer.str(); }
    std::vector<std::string> Lines() const;
    // Forgets what was captured so far.
    void Clear() { m_buffer.str(""); }

private:
    std::stringstream m_buffer;
    std::streambuf* m_old;
};

std::vector<std::string> SplitLines(const std::string& text);

// The separator line.
inline const std::string kSep(63, '-');

// Index of the first line equal to `line` at or after `from`, or -1.
int Find(const std::vector<std::string>& lines, const std::string& line, int from = 0);
// True when `block` appears in `lines` as consecutive lines.
bool ContainsBlock(const std::vector<std::string>& lines, const std::vector<std::string>& block);
// Number of lines equal to `line`.
int Count(const std::vector<std::string>& lines, const std::string& line);

// The folder with the repository's committed Assets.
std::filesystem::path SourceAssets();

// Writes a PNG of one colour.
void WritePicture(const std::filesystem::path& path, int width, int height,
                  SDL_Color color = {200, 100, 50, 255});
void WriteFile(const std::filesystem::path& path, const std::string& content);
std::string ReadFile(const std::filesystem::path& path);

// Fixture: a fresh scratch folder as the working directory, with a settings
// file; keys held through the seam; std::cout captured from SetUp on.
class GameTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Copies the committed pictures, font and level into the scratch folder.
    void InstallRealAssets();
    // Writes every picture the game names as a small one-colour PNG of the
    // right size, and no font.
    void InstallTestPictures();
    void WriteSettings(const std::string& content);

    // Game::Initialize; fails the test when it returns false.
    void Start();
    // One pass of the main loop.
    bool Step();
    // Runs passes until a frame ran (or the game ended).
    void Frame();
    void Frames(int count);

    void Hold(int scancode) { m_keys[static_cast<std::size_t>(scancode)] = 1; }
    void Release(int scancode) { m_keys[static_cast<std::size_t>(scancode)] = 0; }
    void ReleaseAll() { m_keys.fill(0); }

    void PushMouseMotion(int x, int y);
    void PushMouseButton(int x, int y, Uint8 button, bool down);
    void PushQuit();

    std::filesystem::path m_dir;
    std::filesystem::path m_oldDir;
    std::array<Uint8, SDL_NUM_SCANCODES> m_keys{};
    std::unique_ptr<CoutCapture> m_out;
};

} // namespace harness

#pragma once

// Runs the real game code headless: SDL's dummy video driver, a scratch
// working folder with its own Assets, captured standard output, scripted keys
// and mouse events, and frames driven through Game::Step like the main loop.
//
// The game's managers are process-wide singletons, so every test must run in
// a process of its own: ctest does that (one process per test case); to run a
// single case by hand, pass --gtest_filter.

#include "tests/support/Play.h"
#include "tests/support/Scratch.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace harness
{

using namespace support;

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

// Writes a PNG of one colour.
void WritePicture(const std::filesystem::path& path, int width, int height,
                  SDL_Color color = {200, 100, 50, 255});

// Fixture: a fresh scratch folder as the working directory, with a settings
// file; keys held through the seam; std::cout captured from SetUp on.
class GameTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Copies the committed pictures, font and level into the scratch folder.
    void InstallRealAssets() { m_scratch->CopyAssets(); }
    // Writes every picture the game names as a small one-colour PNG of the
    // right size, and no font.
    void InstallTestPictures();
    void WriteSettings(const std::string& content) { m_scratch->WriteSettings(content); }

    // Game::Initialize; fails the test when it returns false.
    void Start();
    bool Step();
    static void Frames(int count);

    void Hold(int scancode) { m_keys.Hold(scancode); }
    void Release(int scancode) { m_keys.Release(scancode); }
    void ReleaseAll() { m_keys.ReleaseAll(); }

    std::unique_ptr<ScratchFolder> m_scratch;
    std::filesystem::path m_dir;
    Keyboard m_keys;
    std::unique_ptr<CoutCapture> m_out;
};

} // namespace harness

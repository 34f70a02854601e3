#pragma once

#include <array>
#include <cstdint>
#include <string>

// The settings file, game.ini: four tokens separated by white space, the
// window's title, width and height, and 0 for a window (anything else, even
// nothing, is fullscreen).
struct Settings
{
    std::array<std::string, 4> tokens;
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool fullscreen = false;
};

// Reads the settings file, narrating it, into `settings`; false (and
// `settings` untouched) when the file cannot be used. A file that cannot be
// read through, or is far too long to be settings, holds no tokens.
bool ReadSettingsFile(Settings& settings);

// A window size that is not a positive number would give a 1 x 1 window; the
// game's own view size is used instead, and the log names the bad value.
std::int32_t WindowSize(const char* what, const std::string& token, std::int32_t fallback);

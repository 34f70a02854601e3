#pragma once

#include <optional>
#include <string>

// The player's own choices that outlive a run: sound on or off (M) and
// fullscreen or a window (F11). They are kept in a small text file beside the
// scores, the one folder that is the player's in every way the game is
// installed, one choice a line:
//
//     sound off
//     fullscreen on
//
// A choice the player never made is not written, so the settings file still
// decides it.
struct Preferences
{
    std::optional<bool> sound;
    std::optional<bool> fullscreen;

    bool operator==(const Preferences&) const = default;
};

inline constexpr const char* kPreferencesPath = "Assets\\bin\\preferences.txt";

// The choices in a file's text, or nothing when the text is not such a file
// (an unknown word, a line of the wrong shape, a choice given twice).
std::optional<Preferences> ParsePreferences(const std::string& text);
std::string FormatPreferences(const Preferences& preferences);

// The choices stored at `path`. A missing file is a player who never chose:
// silent. One that cannot be read or is not understood gets one line and
// counts as no choice.
Preferences LoadPreferences(const char* path);
// Writes the choices given into the file and keeps the others as the file
// has them (another game's, open at the same time); a failure gets one line
// and the game plays on with the choices it has.
bool SavePreferences(const char* path, const Preferences& changes);

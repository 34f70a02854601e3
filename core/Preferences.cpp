#include "core/Preferences.h"

#include "graphics/Log.h"
#include "platform/Files.h"
#include "world/FileManager.h"

#include <sstream>

namespace
{
// Far more than the two lines the game writes: an edited file may have
// blank lines or Windows' line ends, but a large file is something else.
constexpr std::size_t kPreferencesFileLimit = 4096;

bool ParseSwitch(const std::string& word, std::optional<bool>& into)
{
    if (into.has_value() || (word != "on" && word != "off"))
    {
        return false;
    }
    into = word == "on";
    return true;
}

std::string SwitchWord(bool on)
{
    return on ? "on" : "off";
}
} // namespace

std::optional<Preferences> ParsePreferences(const std::string& text)
{
    Preferences preferences;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line))
    {
        std::istringstream words(line);
        std::string name;
        std::string value;
        std::string extra;
        if (!(words >> name))
        {
            continue; // a blank line
        }
        if (!(words >> value) || (words >> extra))
        {
            return std::nullopt;
        }
        const bool known = (name == "sound" && ParseSwitch(value, preferences.sound)) ||
                           (name == "fullscreen" && ParseSwitch(value, preferences.fullscreen));
        if (!known)
        {
            return std::nullopt;
        }
    }
    return preferences;
}

std::string FormatPreferences(const Preferences& preferences)
{
    std::string text;
    if (preferences.sound.has_value())
    {
        text += "sound " + SwitchWord(*preferences.sound) + "\n";
    }
    if (preferences.fullscreen.has_value())
    {
        text += "fullscreen " + SwitchWord(*preferences.fullscreen) + "\n";
    }
    return text;
}

Preferences LoadPreferences(const char* path)
{
    const DataFile file = ReadDataFile(path, kPreferencesFileLimit);
    if (file.missing)
    {
        return {};
    }
    if (file.status != DataStatus::kDone)
    {
        LogLine(std::string("Preferences file could not be read, ignored: ") + path);
        return {};
    }
    const std::optional<Preferences> preferences = ParsePreferences(file.bytes);
    if (!preferences)
    {
        LogLine(std::string("Preferences file not understood, ignored: ") + path);
        return {};
    }
    return *preferences;
}

bool SavePreferences(const char* path, const Preferences& preferences)
{
    if (WriteWholeFile(path, FormatPreferences(preferences)).status != DataStatus::kDone)
    {
        LogLine(std::string("Preferences could not be saved: ") + path);
        return false;
    }
    // Where files live in memory until they are stored, as in a browser.
    if (const auto& stored = FileManager::Instance()->m_fileWritten)
    {
        stored();
    }
    return true;
}

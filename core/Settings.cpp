#include "core/Settings.h"

#include "graphics/Log.h"
#include "graphics/Util.h"
#include "graphics/View.h"
#include "platform/Files.h"
#include "world/FileManager.h"

#include <sstream>

std::int32_t WindowSize(const char* what, const std::string& token, std::int32_t fallback)
{
    const std::int32_t size = ParseInt(token);
    if (size > 0)
    {
        return size;
    }
    LogLine(std::string("Window ") + what + " \"" + token + "\" is not a positive number, using " +
            ToString(fallback) + ".");
    return fallback;
}

bool ReadSettingsFile(Settings& settings)
{
    const char* path = FileManager::Instance()->Path(kSettingsKey);
    if (path == nullptr)
    {
        LogLine("Invalid file parameter passed: " + ToString(kSettingsKey));
        return false;
    }
    // Read-only: an installed game may not own its settings file.
    const DataFile file = ReadDataFile(path, kSettingsFileLimit);
    if (file.status == DataStatus::kNotOpened)
    {
        LogLine(std::string("Error opening file: ") + path);
        LogReason(file.reason);
        return false;
    }
    // A file that cannot be read through, or is far too long to be settings,
    // is taken as holding no tokens: the game goes on as for an empty one.
    if (file.status != DataStatus::kDone)
    {
        LogLine(std::string("Error reading file: ") + path);
        LogReason(file.reason);
    }
    else
    {
        LogLine(std::string("File loaded successfully: ") + path);
    }
    std::istringstream in(file.bytes);
    for (std::string& token : settings.tokens)
    {
        // A failed extraction leaves its string alone: a token the file does
        // not have must come out empty, not as left by an earlier reading.
        token.clear();
        in >> token;
    }
    settings.width = WindowSize("width", settings.tokens[1], kViewWidth);
    settings.height = WindowSize("height", settings.tokens[2], kViewHeight);
    // Only the exact token "0" asks for a window; anything else, even a missing
    // token, means fullscreen.
    settings.fullscreen = settings.tokens[3] != "0";
    if (file.status == DataStatus::kDone)
    {
        LogLine(std::string("File closed: ") + path);
    }
    return true;
}

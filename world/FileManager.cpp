#include "world/FileManager.h"

#include "graphics/Log.h"
#include "graphics/Util.h"

#include <array>

namespace
{
bool s_pathsSet = false;
}

FileManager* FileManager::Instance()
{
    static FileManager* instance = new FileManager();
    return instance;
}

void FileManager::Initialize()
{
    LogLine("FileManager Initialize function called... setting the default values...");
    if (s_pathsSet)
    {
        return;
    }
    m_paths[kScoreFileKey] = "Assets\\bin\\scores.bin";
    m_paths[kCollisionMapKey] = "Assets\\Maps\\collisionMap.map";
    m_paths[kFloorMapKey] = "Assets\\Maps\\floorMap.map";
    m_paths[kWallMapKey] = "Assets\\Maps\\wallMap.map";
    m_paths[kObjectMapKey] = "Assets\\Maps\\objectMap.map";
    m_paths[kSettingsKey] = "Assets\\ini\\game.ini";
    s_pathsSet = true;
}

void FileManager::Open(const char* storedPath, std::ios::openmode mode)
{
    m_file.clear();
    m_file.open(NativePath(storedPath), mode);
}

bool FileManager::ReadBinaryFile(int key)
{
    const char* path = Path(key);
    if (path == nullptr)
    {
        LogLine("Invalid binary file parameter passed: " + ToString(key));
        return false;
    }
    Open(path, std::ios::in | std::ios::binary);
    if (!m_file.is_open())
    {
        LogLine(std::string("ERROR! Couldn't open binary file:") + path);
        return false;
    }
    m_file.seekg(0, std::ios::end);
    const std::streamoff end = m_file.tellg();
    m_file.seekg(0, std::ios::beg);
    std::streamoff position = m_file.tellg();
    // Records are little-endian int32. A short last record (a file whose length
    // is not a multiple of 4) is ignored: reading stops at the end of the file.
    while (position >= 0 && position + 4 <= end)
    {
        std::array<unsigned char, 4> bytes{};
        if (!m_file.read(reinterpret_cast<char*>(bytes.data()), 4))
        {
            break;
        }
        const std::uint32_t raw = static_cast<std::uint32_t>(bytes[0]) |
                                  (static_cast<std::uint32_t>(bytes[1]) << 8) |
                                  (static_cast<std::uint32_t>(bytes[2]) << 16) |
                                  (static_cast<std::uint32_t>(bytes[3]) << 24);
        m_scores.push_back(static_cast<std::int32_t>(raw));
        position = m_file.tellg();
    }
    m_scores.resize(4, 0);
    LogLine(std::string("Info read from file successfully: ") + path);
    m_file.close();
    return true;
}

bool FileManager::WriteBinaryFile(std::int32_t value)
{
    const char* path = Path(kScoreFileKey);
    if (path == nullptr)
    {
        LogLine("ERROR! Couldn't open file: ");
        return false;
    }
    Open(path, std::ios::out | std::ios::app | std::ios::binary);
    if (!m_file.is_open())
    {
        LogLine(std::string("ERROR! Couldn't open file: ") + path);
        return false;
    }
    const auto raw = static_cast<std::uint32_t>(value);
    const std::array<char, 4> bytes{
        static_cast<char>(raw & 0xFF), static_cast<char>((raw >> 8) & 0xFF),
        static_cast<char>((raw >> 16) & 0xFF), static_cast<char>((raw >> 24) & 0xFF)};
    m_file.write(bytes.data(), 4);
    LogLine(std::string("Info written to file successfully: ") + path);
    m_file.close();
    return true;
}

void FileManager::Shutdown()
{
    LogLine("FileManager shut down function called...");
    ClearContainer(m_paths);
    LogLine("FileManager shut down successfully.");
}

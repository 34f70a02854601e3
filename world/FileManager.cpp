#include "world/FileManager.h"

#include "graphics/Log.h"
#include "platform/Files.h"

#include <string>

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
    m_paths[kScoreFileKey] = kScoreFilePath;
    m_paths[kCollisionMapKey] = "Assets\\Maps\\collisionMap.map";
    m_paths[kFloorMapKey] = "Assets\\Maps\\floorMap.map";
    m_paths[kWallMapKey] = "Assets\\Maps\\wallMap.map";
    m_paths[kObjectMapKey] = "Assets\\Maps\\objectMap.map";
    m_paths[kSettingsKey] = "Assets\\ini\\game.ini";
    s_pathsSet = true;
}

namespace
{
constexpr std::size_t kRecordSize = 4;
// The scores screen shows the first four records; nothing further is read,
// however long the file.
constexpr std::size_t kRecordsKept = 4;
} // namespace

bool FileManager::ReadBinaryFile(int key)
{
    const char* path = Path(key);
    if (path == nullptr)
    {
        LogLine("Invalid binary file parameter passed: " + ToString(key));
        return false;
    }
    // Every read starts afresh: the list shows the file as it is now, and a
    // file that cannot be read now leaves no list (the screen says there are
    // no scores).
    m_scores.clear();
    const DataFile file = ReadDataPrefix(path, kRecordsKept * kRecordSize);
    if (file.status != DataStatus::kDone)
    {
        LogLine(std::string("ERROR! Couldn't open binary file:") + path);
        LogReason(file.reason);
        return false;
    }
    // Records are little-endian int32. A short last record (an interrupted
    // write) is not a record and is ignored.
    const std::string& bytes = file.bytes;
    for (std::size_t at = 0; at + kRecordSize <= bytes.size(); at += kRecordSize)
    {
        std::uint32_t raw = 0;
        for (std::size_t b = 0; b < kRecordSize; ++b)
        {
            raw |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + b])) << (8 * b);
        }
        m_scores.push_back(static_cast<std::int32_t>(raw));
    }
    m_scores.resize(kRecordsKept, 0);
    LogLine(std::string("Info read from file successfully: ") + path);
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
    const auto raw = static_cast<std::uint32_t>(value);
    std::string record(kRecordSize, '\0');
    for (std::size_t b = 0; b < kRecordSize; ++b)
    {
        record[b] = static_cast<char>((raw >> (8 * b)) & 0xFF);
    }
    const DataFile file = WriteRecord(path, record);
    if (file.status == DataStatus::kNotOpened)
    {
        LogLine(std::string("ERROR! Couldn't open file: ") + path);
        LogReason(file.reason);
        return false;
    }
    if (file.status != DataStatus::kDone)
    {
        LogLine(std::string("ERROR! Couldn't write to file: ") + path);
        LogReason(file.reason);
        return false;
    }
    LogLine(std::string("Info written to file successfully: ") + path);
    if (m_fileWritten)
    {
        m_fileWritten();
    }
    return true;
}

void FileManager::Shutdown()
{
    LogLine("FileManager shut down function called...");
    ClearContainer(m_paths);
    s_pathsSet = false; // the next start-up sets them again
    LogLine("FileManager shut down successfully.");
}

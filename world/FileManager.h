#pragma once

#include <cstdint>
#include <fstream>
#include <map>
#include <vector>

// Knows where the data files are and opens them, one at a time, through one
// shared stream. Also reads and appends the score file.
class FileManager final
{
public:
    static FileManager* Instance();

    FileManager(const FileManager&) = delete;
    FileManager& operator=(const FileManager&) = delete;

    void Initialize();
    void Shutdown();

    bool ReadBinaryFile(int key);
    bool WriteBinaryFile(std::int32_t value);
    std::vector<std::int32_t> GetScores() const { return m_scores; }

    // The stored path of a key, or null. Like the map's index operator, looking
    // up a missing key adds it with a null path.
    const char* Path(int key) { return m_paths[key]; }

    // Opens m_file on the stored path of a key, mapped to the native separator.
    void Open(const char* storedPath, std::ios::openmode mode);

    std::fstream m_file;
    std::vector<std::int32_t> m_scores;
    std::map<std::int32_t, const char*> m_paths;

private:
    FileManager() = default;
};

// Keys of the path table.
inline constexpr int kScoreFileKey = 1;
inline constexpr int kCollisionMapKey = 2;
inline constexpr int kFloorMapKey = 3;
inline constexpr int kWallMapKey = 4;
inline constexpr int kObjectMapKey = 5;
inline constexpr int kSettingsKey = 6;

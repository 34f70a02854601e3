#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

// Knows where the data files are, and reads and appends the score file. Every
// data file is opened, checked and closed through graphics/DataFile.h.
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

    std::vector<std::int32_t> m_scores;
    std::map<std::int32_t, const char*> m_paths;
    // Run after each file the game writes into Assets\bin (a score, the
    // player's preferences). Where files live in memory until they are saved,
    // as in a browser, this saves them; elsewhere it is empty.
    std::function<void()> m_fileWritten;

private:
    FileManager() = default;
};

// Where the scores are kept, relative to the working directory.
inline constexpr const char* kScoreFilePath = "Assets\\bin\\scores.bin";

// Keys of the path table.
inline constexpr int kScoreFileKey = 1;
inline constexpr int kCollisionMapKey = 2;
inline constexpr int kFloorMapKey = 3;
inline constexpr int kWallMapKey = 4;
inline constexpr int kObjectMapKey = 5;
inline constexpr int kSettingsKey = 6;

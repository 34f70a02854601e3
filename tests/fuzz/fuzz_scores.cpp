// Feeds arbitrary bytes to the score file reader as Assets/bin/scores.bin.
#include "tests/fuzz/FuzzScratch.h"
#include "world/FileManager.h"

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/)
{
    fuzz::EnterScratchFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::WriteInput("Assets/bin/scores.bin", data, size);
    FileManager* files = FileManager::Instance();
    // Every run stands for the first visit of the scores screen in a run.
    files->m_scores.clear();
    bool read = false;
    {
        fuzz::SilentCout quiet;
        read = files->ReadBinaryFile(kScoreFileKey);
    }
    if (!read || files->m_scores.size() != 4)
    {
        std::abort();
    }
    // The first four whole records in file order, little-endian, then zeros; a
    // short last record is not a record.
    const std::size_t records = size / 4;
    for (std::size_t n = 0; n < 4; ++n)
    {
        std::uint32_t expected = 0;
        if (n < records)
        {
            for (std::size_t b = 0; b < 4; ++b)
            {
                expected |= static_cast<std::uint32_t>(data[4 * n + b]) << (8 * b);
            }
        }
        if (static_cast<std::uint32_t>(files->m_scores[n]) != expected)
        {
            std::abort();
        }
    }
    return 0;
}

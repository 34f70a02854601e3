#pragma once

// The fuzz targets work in a scratch folder like the tests do; every target
// compiles tests/support/Scratch.cpp.

#include "tests/support/Scratch.h"
#include "world/FileManager.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz
{

using support::SilentCout;

// Makes a scratch working folder with the Assets folders the readers expect
// (removed when the fuzzer exits), changes into it, and fills the file
// manager's path table. Called once from LLVMFuzzerInitialize.
inline void EnterScratchFolder()
{
    static const support::ScratchFolder scratch("dungeon-fuzz");
    SilentCout quiet;
    FileManager::Instance()->Initialize();
}

// Replaces the file at a relative native path with exactly these bytes.
inline void WriteInput(const std::string& path, const std::uint8_t* data, std::size_t size)
{
    support::WriteFile(path, std::string(reinterpret_cast<const char*>(data), size));
}

} // namespace fuzz

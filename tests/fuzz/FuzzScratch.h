#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz
{

// Makes a scratch working folder with the Assets folders the readers expect,
// changes into it, and fills the file manager's path table. Called once from
// LLVMFuzzerInitialize.
void EnterScratchFolder();

// Replaces the file at a relative native path with exactly these bytes.
void WriteInput(const std::string& path, const std::uint8_t* data, std::size_t size);

// Sends std::cout to nowhere while it lives: the readers narrate every call.
class SilentCout
{
public:
    SilentCout();
    ~SilentCout();
    SilentCout(const SilentCout&) = delete;
    SilentCout& operator=(const SilentCout&) = delete;

private:
    std::streambuf* m_old;
};

} // namespace fuzz

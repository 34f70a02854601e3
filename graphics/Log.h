#pragma once

#include <cstdint>
#include <string>

// The game narrates everything on standard output, one flushed line at a time.
inline constexpr const char* kSeparator =
    "---------------------------------------------------------------";

void LogLine(std::string text);

// Prints the separator, the text and the separator again: the frame used by
// headline lines of initialisation, shutdown and screen construction.
void LogBlock(const std::string& text);

std::string ToString(std::int32_t value);
std::string ToString(std::uint32_t value);
std::string ToString(const char* value);

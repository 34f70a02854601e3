#pragma once

#include <cstdint>
#include <string>

// Paths are stored and printed with backslashes; this is the one place that
// turns them into the separator of the system, right before a file is opened.
std::string NativePath(const std::string& storedPath);

// The rule of C's atoi (leading white space, optional sign, digits up to the
// first other character, 0 when there is no number), but saturating at the
// int32 limits instead of overflowing.
std::int32_t ParseInt(const std::string& text);

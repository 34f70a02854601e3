#pragma once

#include <cstdint>
#include <string>

// The rule of C's atoi (leading white space, optional sign, digits up to the
// first other character, 0 when there is no number), but saturating at the
// int32 limits instead of overflowing.
std::int32_t ParseInt(const std::string& text);

#include "graphics/Log.h"

#include <iostream>
#include <sstream>

// Taken by value: callers pass freshly composed strings.
// cppcheck-suppress passedByValue
void LogLine(std::string text) // NOLINT(performance-unnecessary-value-param)
{
    std::cout << text << std::endl;
}

void LogReason(const std::string& reason)
{
    LogLine("Reason: " + reason);
}

void LogBlock(const std::string& text)
{
    LogLine(kSeparator);
    LogLine(text);
    LogLine(kSeparator);
}

namespace
{
template <typename T> std::string Format(const T& value)
{
    std::stringstream stream;
    stream << value;
    return stream.str();
}
} // namespace

std::string ToString(std::int32_t value)
{
    return Format(value);
}

std::string ToString(std::uint32_t value)
{
    return Format(value);
}

std::string ToString(const char* value)
{
    return value == nullptr ? std::string() : Format(value);
}

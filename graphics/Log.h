#pragma once

#include <cstdint>
#include <string>

// The game narrates everything on standard output, one flushed line at a time.
inline constexpr const char* kSeparator =
    "---------------------------------------------------------------";

void LogLine(std::string text);

// The line after a failure's own line: "Reason: " and the system's words.
void LogReason(const std::string& reason);

// Prints the separator, the text and the separator again: the frame used by
// headline lines of initialisation, shutdown and screen construction.
void LogBlock(const std::string& text);

std::string ToString(std::int32_t value);
std::string ToString(std::uint32_t value);
std::string ToString(const char* value);

// The narrated clear step of a container: its size before and after, only
// when it holds anything.
template <typename Container> void ClearContainer(Container& container)
{
    if (container.empty())
    {
        return;
    }
    LogLine("Container size before clear: " +
            ToString(static_cast<std::uint32_t>(container.size())));
    container.clear();
    LogLine("Container size after clear: " +
            ToString(static_cast<std::uint32_t>(container.size())));
}

// The narrated deletion of a container of owning pointers: every object is
// destroyed in order (each destructor says its own lines), then the count and
// the clear step.
template <typename Container> void DeleteObjects(Container& objects)
{
    LogLine("Implementing deletion of objects from container...");
    std::int32_t count = 0;
    for (auto& object : objects)
    {
        object.reset();
        ++count;
    }
    LogLine("Objects successfully deleted from container: " + ToString(count));
    ClearContainer(objects);
}

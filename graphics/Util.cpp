#include "graphics/Util.h"

#include <cctype>
#include <cstddef>
#include <limits>

std::int32_t ParseInt(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
    {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
    {
        negative = text[i] == '-';
        ++i;
    }
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
    std::int64_t value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i)
    {
        value = value * 10 + (text[i] - '0');
        if (value > kMax + 1)
        {
            value = kMax + 1; // enough to saturate either way
        }
    }
    value = negative ? -value : value;
    if (value > kMax)
    {
        return static_cast<std::int32_t>(kMax);
    }
    if (value < kMin)
    {
        return static_cast<std::int32_t>(kMin);
    }
    return static_cast<std::int32_t>(value);
}

#include "common/HashName.h"

#include <cctype>

std::uint32_t HashName(const char* text)
{
    std::uint32_t hash = 5381u;
    if (text == nullptr)
        return hash;
    for (const char* p = text; *p != '\0'; ++p)
    {
        // Widen as a signed byte: bytes 128..255 become -128..-1 and then 0xFFFFFF80..0xFFFFFFFF.
        const std::int32_t value = static_cast<signed char>(*p);
        // The "C" locale only lower-cases 'A'..'Z'; anything else, negative values included, is kept.
        const std::int32_t lowered = (value >= 'A' && value <= 'Z') ? value - 'A' + 'a' : value;
        hash = (hash * 33u) ^ static_cast<std::uint32_t>(lowered);
    }
    return hash;
}

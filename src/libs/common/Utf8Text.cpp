#include "common/Utf8Text.h"

namespace common
{
namespace
{
bool IsContinuation(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The bytes the character starting with `lead` takes, as its lead byte says.
std::size_t LeadLength(char lead)
{
    const auto c = static_cast<unsigned char>(lead);
    if (c >= 0xF0 && c <= 0xF4)
        return 4;
    if (c >= 0xE0)
        return c <= 0xEF ? 3 : 1;
    return c >= 0xC2 ? 2 : 1;
}

// The length of the character at `offset`: its lead byte's count when that many continuation
// bytes follow, else a lone byte.
std::size_t CharacterLength(const std::string& text, std::size_t offset)
{
    const std::size_t length = LeadLength(text[offset]);
    if (offset + length > text.size())
        return 1;
    for (std::size_t i = 1; i < length; ++i)
        if (!IsContinuation(text[offset + i]))
            return 1;
    return length;
}
} // namespace

std::string EncodeUtf8(std::uint32_t codePoint)
{
    std::string out;
    if (codePoint < 0x80)
        out += static_cast<char>(codePoint);
    else if (codePoint < 0x800)
    {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
    else if (codePoint < 0x10000)
    {
        if (codePoint >= 0xD800 && codePoint <= 0xDFFF)
            return out;
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
    else if (codePoint <= 0x10FFFF)
    {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
    return out;
}

std::size_t Utf8Length(const std::string& text)
{
    std::size_t count = 0;
    for (std::size_t offset = 0; offset < text.size(); offset += CharacterLength(text, offset))
        ++count;
    return count;
}

std::size_t NextCharacter(const std::string& text, std::size_t offset)
{
    if (offset >= text.size())
        return text.size();
    return offset + CharacterLength(text, offset);
}

std::size_t PreviousCharacter(const std::string& text, std::size_t offset)
{
    if (offset > text.size())
        offset = text.size();
    // Walked from the start, so that stray bytes step exactly as NextCharacter does.
    std::size_t previous = 0;
    for (std::size_t at = 0; at < offset; at = NextCharacter(text, at))
        previous = at;
    return previous;
}
} // namespace common

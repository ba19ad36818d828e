#include "game/files/ValidateFileBaseName.h"

#include "common/Utf8Text.h"

namespace QUORB
{
namespace
{
// ASCII only: the bytes of any other character, whatever its encoding, are refused.
bool IsNameCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ' ||
           c == '_' || c == '-';
}
} // namespace

FileBaseNameFault ValidateFileBaseName(const std::string& text)
{
    if (text.empty())
        return FileBaseNameFault::Empty;
    // Counted as the player sees them: "Zoë" is three characters, and refused for its "ë".
    if (common::Utf8Length(text) > kMaxFileBaseNameLength)
        return FileBaseNameFault::TooLong;
    if (text.front() == ' ' || text.back() == ' ')
        return FileBaseNameFault::BadCharacter;
    for (const char c : text)
        if (!IsNameCharacter(c))
            return FileBaseNameFault::BadCharacter;
    return FileBaseNameFault::None;
}
} // namespace QUORB

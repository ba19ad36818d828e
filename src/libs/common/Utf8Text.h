// UTF-8 text as the player types it: characters appended by code point, counted, and stepped
// over, so that a caret never stands inside a character. Bytes that are no proper UTF-8 count
// as one character each.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace common
{
// The UTF-8 bytes of a code point; empty for one that is no character (a surrogate, past U+10FFFF).
std::string EncodeUtf8(std::uint32_t codePoint);

// Characters in the text.
std::size_t Utf8Length(const std::string& text);

// The byte offset of the character before `offset` (0 at the start), and of the one after it
// (the text's size at the end).
std::size_t PreviousCharacter(const std::string& text, std::size_t offset);
std::size_t NextCharacter(const std::string& text, std::size_t offset);
} // namespace common

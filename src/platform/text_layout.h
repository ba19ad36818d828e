// The one text layout both devices use: where each character of a DrawText call goes, given
// how wide each character is. Pure: no device, no font file. Rules (format flags of d3dx9.h):
// - "\n" starts a new line ('\r' is dropped); a final "\n" adds no line; empty text has none.
// - DT_WORDBREAK wraps between words at the box width; a word longer than the box stays whole
//   on its own line; a box of width 0 or less never wraps. The white space at a wrap is dropped.
// - DT_EXPANDTABS: a tab moves to the next stop, every 8 mean character widths from the line's
//   start; without it a tab is an ordinary (unknown) character.
#pragma once

#include "platform/win32.h"

#include <cstdint>
#include <vector>

namespace plat::detail
{
class TextMetrics
{
public:
    virtual ~TextMetrics() = default;
    // Whole pixels the pen moves for the character (characters the font lacks move as '?').
    virtual int Advance(std::uint32_t codePoint) const = 0;
    // The mean character width, pixels: tab stops are 8 of these apart.
    virtual int MeanWidth() const = 0;
    // Pixels from one line's top to the next one's.
    virtual int LineHeight() const = 0;
};

struct LaidGlyph
{
    std::uint32_t codePoint = 0;
    int x = 0; // pixels from the box's left edge
    int line = 0;
};

struct TextLayout
{
    std::vector<LaidGlyph> glyphs; // tabs that were expanded are left out
    std::vector<int> lineWidths;   // pixels, per line
    int widest = 0;                // the widest line, pixels
    int LineCount() const { return static_cast<int>(lineWidths.size()); }
};

// boxWidth in pixels.
void LayOutText(const wchar_t* text, std::size_t length, int boxWidth, DWORD format,
                const TextMetrics& metrics, TextLayout& layout);
} // namespace plat::detail

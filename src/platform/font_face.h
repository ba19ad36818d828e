// A TrueType face for the fonts: loaded from bytes after our own checks (stb_truetype trusts
// its input), scaled to a font's cell height and mean width, with bounds-checked character
// lookup and advances, and glyphs rasterised with stb_truetype. Any file may be handed in: a
// damaged or hostile one is refused with a reason, never read past its end.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace plat::detail
{
struct GlyphBitmap
{
    int width = 0; // pixels; 0 for a glyph that draws nothing (a space)
    int height = 0;
    int left = 0;                       // from the pen position, pixels
    int top = 0;                        // from the baseline, pixels, y down (negative above it)
    std::vector<std::uint8_t> coverage; // width x height, 0..255, top row first
};

class FontFace
{
public:
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    // Null with the reason when the bytes are no TrueType font we can read safely.
    static std::unique_ptr<FontFace> Load(std::vector<unsigned char> bytes, std::string& reason);

    // Cell height (ascent - descent) in pixels; a mean width of 'a' to 'z' in pixels, 0 to keep
    // the face's own proportions.
    void SetSize(int height, int meanWidth);
    // The same height with another face's horizontal stretch (for glyphs taken from a fallback).
    void SetSizeLike(int height, const FontFace& other);

    // 0 when the face has no glyph for the character.
    unsigned GlyphIndex(std::uint32_t codePoint) const;
    // Whole pixels at the current size.
    int Advance(unsigned glyph) const;
    int Ascent() const; // pixels from a line's top to the baseline
    // False when the glyph's outline is damaged (it then draws nothing).
    bool Rasterise(unsigned glyph, GlyphBitmap& bitmap) const;

private:
    FontFace() = default;
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// Where the fonts' files are looked for, searched with their sub-folders: the system's
// TrueType folders unless a test named others (none: the system's again).
void SetFontFolders(const std::vector<std::string>& folders);
// The path of a font file found by its name in those folders; empty when none has it.
std::string FindFontFile(const std::string& fileName);
} // namespace plat::detail

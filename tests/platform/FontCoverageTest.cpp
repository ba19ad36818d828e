// Every character a menu can show (printable ASCII and Latin-1, the range a font's atlas holds)
// has a visible glyph in each of the game's font files, or else in DejaVu Sans, which draws what
// a face lacks. A face that drew blanks or '?' for a letter of a player's name or of the credits
// would show here.
#include "platform/font_face.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

using plat::detail::FindFontFile;
using plat::detail::FontFace;
using plat::detail::GlyphBitmap;

namespace
{
std::unique_ptr<FontFace> Open(const std::string& fileName)
{
    const std::string path = FindFontFile(fileName);
    if (path.empty())
        return nullptr;
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string reason;
    auto face = FontFace::Load(std::move(bytes), reason);
    if (face)
        face->SetSize(25, 0);
    return face;
}

// Drawn with ink: a printable character other than the spaces (32, 160) and the soft hyphen
// (173), which draws nothing in every face.
bool Inked(std::uint32_t c)
{
    return c != 32 && c != 160 && c != 173;
}
} // namespace

TEST(FontCoverage, EveryShownCharacterHasAGlyphInTheFaceOrTheFallback)
{
    plat::detail::SetFontFolders({});
    const std::unique_ptr<FontFace> fallback = Open("DejaVuSans.ttf");
    ASSERT_NE(fallback, nullptr) << "DejaVuSans.ttf is not installed (fonts-dejavu-core)";
    for (const char* file : {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf", "DejaVuSerif.ttf",
                             "DejaVuSerif-Bold.ttf", "LeckerliOne-Regular.ttf"})
    {
        SCOPED_TRACE(file);
        const std::unique_ptr<FontFace> face = Open(file);
        ASSERT_NE(face, nullptr) << "not installed (scripts/setup installs it)";
        std::string blank;
        for (std::uint32_t c = 32; c < 256; ++c)
        {
            if (c > 126 && c < 160)
                continue;
            const FontFace* from = face.get();
            unsigned glyph = face->GlyphIndex(c);
            if (glyph == 0)
            {
                from = fallback.get();
                glyph = fallback->GlyphIndex(c);
            }
            GlyphBitmap bitmap;
            const bool drawn = glyph != 0 && from->Rasterise(glyph, bitmap);
            if (!drawn || from->Advance(glyph) <= 0 || (Inked(c) && bitmap.width == 0))
                blank += std::to_string(c) + " ";
        }
        EXPECT_EQ(blank, "") << "characters without a visible glyph";
    }
}

// Lettering for the texture generator: a TrueType face from a Debian font package, rasterised
// with stb_truetype into coverage masks. Faces are loaded once, on first use, from the system
// font folders; a missing file throws with the package that provides it.
#pragma once

#include "Raster.h"

#include <memory>
#include <string>

namespace texgen
{

class Font
{
public:
    Font(const std::string& path, const std::string& package);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    static const Font& SansBold(); // DejaVu Sans Bold
    static const Font& Display();  // Leckerli One, the game's decorative face

    // Pen advance of the text at `px` pixels (ascent to descent), with `tracking` extra pixels
    // between letters.
    float Advance(const std::string& text, float px, float tracking = 0.0f) const;
    // Inked pixels of the text drawn with its pen at (0, baseline 0).
    Box InkBox(const std::string& text, float px, float tracking = 0.0f) const;
    // Adds the text's coverage to the mask, pen starting at (x, baseline).
    void Draw(Mask& m, const std::string& text, float px, float x, float baseline,
              float tracking = 0.0f) const;
    // A mask of the given size holding the text with its inked box centred on (cx, cy).
    Mask Centred(int width, int height, const std::string& text, float px, float cx, float cy,
                 float tracking = 0.0f) const;

private:
    struct Face;
    std::unique_ptr<Face> m_face;
};

} // namespace texgen

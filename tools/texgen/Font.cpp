#include "Font.h"

#include <stb_truetype.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

namespace texgen
{

struct Font::Face
{
    std::vector<unsigned char> data;
    stbtt_fontinfo info{};
};

namespace
{
constexpr char kFontFolder[] = "/usr/share/fonts/truetype/";
} // namespace

Font::Font(const std::string& path, const std::string& package) : m_face(std::make_unique<Face>())
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("font file missing: " + path + " (Debian package " + package + ")");
    m_face->data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    const int offset = stbtt_GetFontOffsetForIndex(m_face->data.data(), 0);
    if (offset < 0 || !stbtt_InitFont(&m_face->info, m_face->data.data(), offset))
        throw std::runtime_error("font file unreadable: " + path);
}

Font::~Font() = default;

const Font& Font::SansBold()
{
    static const Font font(std::string(kFontFolder) + "dejavu/DejaVuSans-Bold.ttf", "fonts-dejavu-core");
    return font;
}

const Font& Font::Display()
{
    static const Font font(std::string(kFontFolder) + "leckerli-one/LeckerliOne-Regular.ttf",
                           "fonts-leckerli-one");
    return font;
}

float Font::Advance(const std::string& text, float px, float tracking) const
{
    const float scale = stbtt_ScaleForPixelHeight(&m_face->info, px);
    float pen = 0.0f;
    for (size_t i = 0; i < text.size(); ++i)
    {
        const int cp = static_cast<unsigned char>(text[i]);
        int advance = 0;
        int bearing = 0;
        stbtt_GetCodepointHMetrics(&m_face->info, cp, &advance, &bearing);
        pen += advance * scale;
        if (i + 1 < text.size())
        {
            pen += stbtt_GetCodepointKernAdvance(&m_face->info, cp, static_cast<unsigned char>(text[i + 1])) *
                   scale;
            pen += tracking;
        }
    }
    return pen;
}

Box Font::InkBox(const std::string& text, float px, float tracking) const
{
    const float scale = stbtt_ScaleForPixelHeight(&m_face->info, px);
    Box box{1e9f, 1e9f, -1e9f, -1e9f};
    float pen = 0.0f;
    for (size_t i = 0; i < text.size(); ++i)
    {
        const int cp = static_cast<unsigned char>(text[i]);
        int x0, y0, x1, y1;
        const float whole = std::floor(pen);
        stbtt_GetCodepointBitmapBoxSubpixel(&m_face->info, cp, scale, scale, pen - whole, 0.0f, &x0, &y0, &x1,
                                            &y1);
        if (x1 > x0 && y1 > y0)
        {
            box.x0 = std::min(box.x0, whole + x0);
            box.y0 = std::min(box.y0, static_cast<float>(y0));
            box.x1 = std::max(box.x1, whole + x1);
            box.y1 = std::max(box.y1, static_cast<float>(y1));
        }
        int advance = 0;
        int bearing = 0;
        stbtt_GetCodepointHMetrics(&m_face->info, cp, &advance, &bearing);
        pen += advance * scale;
        if (i + 1 < text.size())
            pen += stbtt_GetCodepointKernAdvance(&m_face->info, cp, static_cast<unsigned char>(text[i + 1])) *
                       scale +
                   tracking;
    }
    return box;
}

void Font::Draw(Mask& m, const std::string& text, float px, float x, float baseline, float tracking) const
{
    const float scale = stbtt_ScaleForPixelHeight(&m_face->info, px);
    const float baseWhole = std::floor(baseline);
    const float baseFrac = baseline - baseWhole;
    float pen = x;
    std::vector<unsigned char> glyph;
    for (size_t i = 0; i < text.size(); ++i)
    {
        const int cp = static_cast<unsigned char>(text[i]);
        const float whole = std::floor(pen);
        const float frac = pen - whole;
        int x0, y0, x1, y1;
        stbtt_GetCodepointBitmapBoxSubpixel(&m_face->info, cp, scale, scale, frac, baseFrac, &x0, &y0, &x1,
                                            &y1);
        const int gw = x1 - x0;
        const int gh = y1 - y0;
        if (gw > 0 && gh > 0)
        {
            glyph.assign(static_cast<size_t>(gw) * gh, 0);
            stbtt_MakeCodepointBitmapSubpixel(&m_face->info, glyph.data(), gw, gh, gw, scale, scale, frac,
                                              baseFrac, cp);
            for (int gy = 0; gy < gh; ++gy)
                for (int gx = 0; gx < gw; ++gx)
                {
                    const int tx = static_cast<int>(whole) + x0 + gx;
                    const int ty = static_cast<int>(baseWhole) + y0 + gy;
                    if (tx < 0 || ty < 0 || tx >= m.Width() || ty >= m.Height())
                        continue;
                    const float v = glyph[static_cast<size_t>(gy) * gw + gx] / 255.0f;
                    m.Ref(tx, ty) = std::max(m.Ref(tx, ty), v);
                }
        }
        int advance = 0;
        int bearing = 0;
        stbtt_GetCodepointHMetrics(&m_face->info, cp, &advance, &bearing);
        pen += advance * scale;
        if (i + 1 < text.size())
            pen += stbtt_GetCodepointKernAdvance(&m_face->info, cp, static_cast<unsigned char>(text[i + 1])) *
                       scale +
                   tracking;
    }
}

Mask Font::Centred(int width, int height, const std::string& text, float px, float cx, float cy,
                   float tracking) const
{
    const Box ink = InkBox(text, px, tracking);
    Mask m(width, height);
    Draw(m, text, px, cx - (ink.x0 + ink.x1) * 0.5f, cy - (ink.y0 + ink.y1) * 0.5f, tracking);
    return m;
}

} // namespace texgen

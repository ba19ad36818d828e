#include "platform/font_face.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>

// stb_truetype is compiled here, privately, so that its internal checks report to us instead of
// ending the program, and so that sanitised builds look inside it too.
namespace
{
thread_local bool t_stbCheckFailed = false;
}
#define STBTT_assert(x) ((x) ? (void)0 : (void)(t_stbCheckFailed = true))
#define STBTT_STATIC
#define STB_TRUETYPE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#include <stb_truetype.h>
#pragma GCC diagnostic pop

namespace plat::detail
{
namespace
{
constexpr int kMaxCompositeDepth = 8;
constexpr int kMaxCompositeParts = 256;
constexpr int kMaxGlyphPixels = 1024;
// A glyph's box may reach this many cell heights (and a little) before it counts as damaged.
constexpr int kMaxGlyphCells = 4;

std::uint32_t Tag(const char* t)
{
    return (std::uint32_t(std::uint8_t(t[0])) << 24) | (std::uint32_t(std::uint8_t(t[1])) << 16) |
           (std::uint32_t(std::uint8_t(t[2])) << 8) | std::uint8_t(t[3]);
}

// Big-endian reads that refuse to leave a span.
struct Span
{
    const unsigned char* data = nullptr;
    std::size_t size = 0;

    bool Has(std::size_t offset, std::size_t bytes) const { return offset <= size && bytes <= size - offset; }
    bool U8(std::size_t offset, std::uint32_t& v) const
    {
        if (!Has(offset, 1))
            return false;
        v = data[offset];
        return true;
    }
    bool U16(std::size_t offset, std::uint32_t& v) const
    {
        if (!Has(offset, 2))
            return false;
        v = (std::uint32_t(data[offset]) << 8) | data[offset + 1];
        return true;
    }
    bool S16(std::size_t offset, std::int32_t& v) const
    {
        std::uint32_t u = 0;
        if (!U16(offset, u))
            return false;
        v = static_cast<std::int16_t>(static_cast<std::uint16_t>(u));
        return true;
    }
    bool U32(std::size_t offset, std::uint32_t& v) const
    {
        if (!Has(offset, 4))
            return false;
        v = (std::uint32_t(data[offset]) << 24) | (std::uint32_t(data[offset + 1]) << 16) |
            (std::uint32_t(data[offset + 2]) << 8) | data[offset + 3];
        return true;
    }
    Span Sub(std::size_t offset, std::size_t bytes) const { return {data + offset, bytes}; }
};

struct Extents
{
    float minX = 0, minY = 0, maxX = 0, maxY = 0;
    bool empty = true;

    void Add(float x, float y)
    {
        if (empty)
        {
            minX = maxX = x;
            minY = maxY = y;
            empty = false;
            return;
        }
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
};

const std::vector<std::string> kSystemFontFolders = {"/usr/share/fonts/truetype", "/usr/local/share/fonts",
                                                     "/usr/share/fonts"};

struct FontFolders
{
    std::mutex mutex;
    std::vector<std::string> folders = kSystemFontFolders;
    std::map<std::string, std::string> found; // file name -> path, filled on first search
    bool searched = false;
};

FontFolders& Folders()
{
    static FontFolders f;
    return f;
}
} // namespace

struct FontFace::Impl
{
    std::vector<unsigned char> bytes;
    Span file;
    Span cmapTable;
    Span subtable; // the character map we read
    std::uint32_t subtableFormat = 0;
    Span glyf, loca, hmtx;
    unsigned numGlyphs = 0;
    bool longLoca = false;
    unsigned longMetrics = 0;
    int ascender = 0, descender = 0; // font units
    float scaleX = 1, scaleY = 1;    // pixels per font unit
    stbtt_fontinfo info{};
    mutable std::map<unsigned, bool> checked; // glyph -> outline safe for stb_truetype

    bool GlyphRange(unsigned glyph, std::size_t& start, std::size_t& end) const
    {
        std::uint32_t a = 0, b = 0;
        if (glyph >= numGlyphs)
            return false;
        if (longLoca)
        {
            if (!loca.U32(glyph * 4u, a) || !loca.U32(glyph * 4u + 4, b))
                return false;
        }
        else
        {
            if (!loca.U16(glyph * 2u, a) || !loca.U16(glyph * 2u + 2, b))
                return false;
            a *= 2;
            b *= 2;
        }
        if (a > b || b > glyf.size)
            return false;
        start = a;
        end = b;
        return true;
    }

    // Whether stb_truetype may decode the glyph: every byte it reads lies inside the glyph,
    // contours are well formed, components exist, do not nest too deep and keep their
    // coordinates inside 16 bits. extents receives the outline's points in font units.
    bool CheckGlyph(unsigned glyph, int depth, int& parts, Extents& extents) const
    {
        std::size_t start = 0, end = 0;
        if (glyph >= numGlyphs)
            return true; // stb_truetype draws nothing for it
        if (!GlyphRange(glyph, start, end))
            return false;
        if (start == end)
            return true;
        const Span g = glyf.Sub(start, end - start);
        std::int32_t contours = 0;
        if (g.size < 10 || !g.S16(0, contours))
            return false;
        if (contours > 0)
            return CheckSimple(g, static_cast<unsigned>(contours), extents);
        if (contours < 0)
            return CheckComposite(g, depth, parts, extents);
        return true;
    }

    bool CheckSimple(const Span& g, unsigned contours, Extents& extents) const
    {
        std::vector<std::uint32_t> ends(contours);
        for (unsigned c = 0; c < contours; ++c)
        {
            if (!g.U16(10 + 2 * c, ends[c]) || (c > 0 && ends[c] <= ends[c - 1]))
                return false;
        }
        const std::uint32_t points = ends.back() + 1;
        std::uint32_t instructions = 0;
        if (!g.U16(10 + 2 * contours, instructions))
            return false;
        std::size_t pos = 12 + 2 * std::size_t{contours} + instructions;
        std::vector<std::uint8_t> flags(points);
        std::uint32_t flag = 0, repeat = 0;
        for (std::uint32_t i = 0; i < points; ++i)
        {
            if (repeat == 0)
            {
                if (!g.U8(pos++, flag))
                    return false;
                if ((flag & 8) && !g.U8(pos++, repeat))
                    return false;
            }
            else
                --repeat;
            flags[i] = static_cast<std::uint8_t>(flag);
        }
        // A contour that starts off the curve looks at the next point: the last one must not.
        for (unsigned c = 0; c < contours; ++c)
        {
            const std::uint32_t first = c == 0 ? 0 : ends[c - 1] + 1;
            if (first == points - 1 && !(flags[first] & 1))
                return false;
        }
        std::vector<std::int16_t> xs(points), ys(points);
        for (int axis = 0; axis < 2; ++axis)
        {
            const std::uint8_t shortBit = axis == 0 ? 2 : 4, sameBit = axis == 0 ? 16 : 32;
            std::int32_t v = 0;
            for (std::uint32_t i = 0; i < points; ++i)
            {
                if (flags[i] & shortBit)
                {
                    std::uint32_t d = 0;
                    if (!g.U8(pos++, d))
                        return false;
                    v += (flags[i] & sameBit) ? std::int32_t(d) : -std::int32_t(d);
                }
                else if (!(flags[i] & sameBit))
                {
                    std::int32_t d = 0;
                    if (!g.S16(pos, d))
                        return false;
                    pos += 2;
                    v += d;
                }
                (axis == 0 ? xs : ys)[i] = static_cast<std::int16_t>(v);
            }
        }
        for (std::uint32_t i = 0; i < points; ++i)
            extents.Add(xs[i], ys[i]);
        return true;
    }

    bool CheckComposite(const Span& g, int depth, int& parts, Extents& extents) const
    {
        if (depth >= kMaxCompositeDepth)
            return false;
        std::size_t pos = 10;
        for (;;)
        {
            std::uint32_t flags = 0, child = 0;
            if (!g.U16(pos, flags) || !g.U16(pos + 2, child) || !(flags & 2) || ++parts > kMaxCompositeParts)
                return false;
            pos += 4;
            float mtx[6] = {1, 0, 0, 1, 0, 0};
            std::int32_t a = 0, b = 0;
            if (flags & 1)
            {
                if (!g.S16(pos, a) || !g.S16(pos + 2, b))
                    return false;
                pos += 4;
            }
            else
            {
                std::uint32_t ua = 0, ub = 0;
                if (!g.U8(pos, ua) || !g.U8(pos + 1, ub))
                    return false;
                a = static_cast<std::int8_t>(ua);
                b = static_cast<std::int8_t>(ub);
                pos += 2;
            }
            mtx[4] = static_cast<float>(a);
            mtx[5] = static_cast<float>(b);
            const int scales = (flags & 8) ? 1 : (flags & 0x40) ? 2 : (flags & 0x80) ? 4 : 0;
            std::int32_t s[4] = {};
            for (int i = 0; i < scales; ++i)
            {
                if (!g.S16(pos, s[i]))
                    return false;
                pos += 2;
            }
            if (scales == 1)
            {
                mtx[0] = mtx[3] = s[0] / 16384.0f;
                mtx[1] = mtx[2] = 0;
            }
            else if (scales == 2)
            {
                mtx[0] = s[0] / 16384.0f;
                mtx[1] = mtx[2] = 0;
                mtx[3] = s[1] / 16384.0f;
            }
            else if (scales == 4)
            {
                for (int i = 0; i < 4; ++i)
                    mtx[i] = s[i] / 16384.0f;
            }
            Extents part;
            if (!CheckGlyph(child, depth + 1, parts, part))
                return false;
            if (!part.empty)
            {
                // stb_truetype scales by the axes' lengths as well; the corners bound the result.
                const float m = std::sqrt(mtx[0] * mtx[0] + mtx[1] * mtx[1]);
                const float n = std::sqrt(mtx[2] * mtx[2] + mtx[3] * mtx[3]);
                for (float x : {part.minX, part.maxX})
                    for (float y : {part.minY, part.maxY})
                    {
                        const float tx = m * (mtx[0] * x + mtx[2] * y + mtx[4]);
                        const float ty = n * (mtx[1] * x + mtx[3] * y + mtx[5]);
                        if (!(std::fabs(tx) < 32767.0f && std::fabs(ty) < 32767.0f))
                            return false;
                        extents.Add(tx, ty);
                    }
            }
            if (!(flags & 0x20))
                return true;
        }
    }

    bool GlyphSafe(unsigned glyph) const
    {
        auto found = checked.find(glyph);
        if (found != checked.end())
            return found->second;
        int parts = 0;
        Extents extents;
        const bool ok = CheckGlyph(glyph, 0, parts, extents);
        checked[glyph] = ok;
        return ok;
    }

    unsigned Lookup(std::uint32_t c) const
    {
        const Span& t = subtable;
        std::uint32_t glyph = 0;
        switch (subtableFormat)
        {
        case 0:
            if (c < 256 && !t.U8(6 + c, glyph))
                glyph = 0;
            break;
        case 6:
        {
            std::uint32_t first = 0, count = 0;
            if (t.U16(6, first) && t.U16(8, count) && c >= first && c - first < count)
                t.U16(10 + 2 * (c - first), glyph);
            break;
        }
        case 4:
        {
            std::uint32_t segX2 = 0;
            if (!t.U16(6, segX2))
                break;
            const std::size_t segs = segX2 / 2;
            for (std::size_t s = 0; s < segs; ++s)
            {
                std::uint32_t endCode = 0, startCode = 0, delta = 0, rangeOffset = 0;
                if (!t.U16(14 + 2 * s, endCode))
                    break;
                if (c > endCode)
                    continue;
                const std::size_t rangeAt = 16 + 6 * segs + 2 * s;
                if (!t.U16(16 + 2 * segs + 2 * s, startCode) || !t.U16(16 + 4 * segs + 2 * s, delta) ||
                    !t.U16(rangeAt, rangeOffset) || c < startCode)
                    break;
                if (rangeOffset == 0)
                    glyph = (c + delta) & 0xFFFFu;
                else if (t.U16(rangeAt + rangeOffset + 2 * (c - startCode), glyph) && glyph != 0)
                    glyph = (glyph + delta) & 0xFFFFu;
                else
                    glyph = 0;
                break;
            }
            break;
        }
        case 12:
        {
            std::uint32_t groups = 0;
            if (!t.U32(12, groups))
                break;
            for (std::uint32_t i = 0; i < groups; ++i)
            {
                std::uint32_t first = 0, last = 0, start = 0;
                if (!t.U32(16 + 12 * std::size_t{i}, first) || !t.U32(20 + 12 * std::size_t{i}, last) ||
                    !t.U32(24 + 12 * std::size_t{i}, start))
                    break;
                if (c >= first && c <= last)
                {
                    glyph = start + (c - first);
                    break;
                }
            }
            break;
        }
        }
        return glyph < numGlyphs ? glyph : 0;
    }
};

FontFace::~FontFace() = default;

std::unique_ptr<FontFace> FontFace::Load(std::vector<unsigned char> bytes, std::string& reason)
{
    std::unique_ptr<FontFace> face(new FontFace());
    face->m_impl = std::make_unique<Impl>();
    Impl& f = *face->m_impl;
    f.bytes = std::move(bytes);
    f.file = {f.bytes.data(), f.bytes.size()};
    std::uint32_t version = 0, tables = 0;
    if (!f.file.U32(0, version) || !f.file.U16(4, tables))
    {
        reason = "the file is too short to be a font";
        return nullptr;
    }
    if (version == Tag("OTTO"))
    {
        reason = "fonts with PostScript outlines are not supported";
        return nullptr;
    }
    if (version != 0x00010000u && version != Tag("true"))
    {
        reason = "not a TrueType font";
        return nullptr;
    }
    if (!f.file.Has(12, 16 * std::size_t{tables}))
    {
        reason = "the table directory runs past the end of the file";
        return nullptr;
    }
    // Each table's first entry counts, as stb_truetype takes the first one it meets.
    std::map<std::uint32_t, Span> found;
    for (std::uint32_t i = 0; i < tables; ++i)
    {
        std::uint32_t tag = 0, offset = 0, length = 0;
        f.file.U32(12 + 16 * i, tag);
        f.file.U32(12 + 16 * i + 8, offset);
        f.file.U32(12 + 16 * i + 12, length);
        if (found.count(tag))
            continue;
        if (!f.file.Has(offset, length))
        {
            reason = "a table runs past the end of the file";
            return nullptr;
        }
        found[tag] = f.file.Sub(offset, length);
    }
    for (const char* required : {"cmap", "head", "hhea", "hmtx", "loca", "glyf", "maxp"})
    {
        if (!found.count(Tag(required)))
        {
            reason = std::string("the font has no \"") + required + "\" table";
            return nullptr;
        }
    }
    const Span head = found[Tag("head")], maxp = found[Tag("maxp")], hhea = found[Tag("hhea")];
    f.cmapTable = found[Tag("cmap")];
    f.glyf = found[Tag("glyf")];
    f.loca = found[Tag("loca")];
    f.hmtx = found[Tag("hmtx")];
    std::int32_t locFormat = 0;
    std::uint32_t glyphs = 0, metrics = 0;
    if (!head.S16(50, locFormat) || (locFormat != 0 && locFormat != 1) || !maxp.U16(4, glyphs) ||
        glyphs == 0 || !hhea.S16(4, f.ascender) || !hhea.S16(6, f.descender) || !hhea.U16(34, metrics) ||
        metrics == 0)
    {
        reason = "the font's header tables are damaged";
        return nullptr;
    }
    f.numGlyphs = glyphs;
    f.longLoca = locFormat == 1;
    f.longMetrics = std::min(metrics, glyphs);
    if (f.ascender - f.descender <= 0 || !f.loca.Has(0, (std::size_t{glyphs} + 1) * (f.longLoca ? 4 : 2)) ||
        !f.hmtx.Has(0, 4 * std::size_t{f.longMetrics} + 2 * std::size_t{glyphs - f.longMetrics}))
    {
        reason = "the font's metrics are damaged";
        return nullptr;
    }
    // The character maps: stb_truetype reads every record; we use the best Unicode one we know.
    std::uint32_t maps = 0;
    if (!f.cmapTable.U16(2, maps) || !f.cmapTable.Has(4, 8 * std::size_t{maps}))
    {
        reason = "the character map is damaged";
        return nullptr;
    }
    int best = -1;
    for (std::uint32_t i = 0; i < maps; ++i)
    {
        std::uint32_t platform = 0, encoding = 0, offset = 0, format = 0;
        f.cmapTable.U16(4 + 8 * i, platform);
        f.cmapTable.U16(6 + 8 * i, encoding);
        f.cmapTable.U32(8 + 8 * i, offset);
        if (!f.cmapTable.U16(offset, format))
            continue;
        int rank = -1;
        if (platform == 3 && encoding == 10 && format == 12)
            rank = 3;
        else if (platform == 3 && encoding == 1 && (format == 4 || format == 6 || format == 0))
            rank = 2;
        else if (platform == 0 && (format == 4 || format == 12 || format == 6 || format == 0))
            rank = 1;
        if (rank > best)
        {
            best = rank;
            f.subtableFormat = format;
            f.subtable = f.cmapTable.Sub(offset, f.cmapTable.size - offset);
        }
    }
    if (best < 0 || !stbtt_InitFont(&f.info, f.bytes.data(), 0))
    {
        reason = "the font has no Unicode character map";
        return nullptr;
    }
    face->SetSize(16, 0);
    return face;
}

void FontFace::SetSize(int height, int meanWidth)
{
    Impl& f = *m_impl;
    f.scaleY = static_cast<float>(height) / static_cast<float>(f.ascender - f.descender);
    f.scaleX = f.scaleY;
    if (meanWidth <= 0)
        return;
    double sum = 0;
    int count = 0;
    for (std::uint32_t c = 'a'; c <= 'z'; ++c)
    {
        const unsigned g = GlyphIndex(c);
        if (g == 0)
            continue;
        std::uint32_t advance = 0;
        f.hmtx.U16(4 * std::min(g, f.longMetrics - 1), advance);
        sum += advance;
        ++count;
    }
    if (count > 0 && sum > 0)
        f.scaleX = static_cast<float>(meanWidth / (sum / count));
}

void FontFace::SetSizeLike(int height, const FontFace& other)
{
    SetSize(height, 0);
    m_impl->scaleX = m_impl->scaleY * (other.m_impl->scaleX / other.m_impl->scaleY);
}

unsigned FontFace::GlyphIndex(std::uint32_t codePoint) const
{
    return m_impl->Lookup(codePoint);
}

int FontFace::Advance(unsigned glyph) const
{
    const Impl& f = *m_impl;
    std::uint32_t advance = 0;
    if (glyph < f.numGlyphs)
        f.hmtx.U16(4 * std::min(glyph, f.longMetrics - 1), advance);
    return static_cast<int>(std::lround(advance * f.scaleX));
}

int FontFace::Ascent() const
{
    return static_cast<int>(std::lround(m_impl->ascender * m_impl->scaleY));
}

bool FontFace::Rasterise(unsigned glyph, GlyphBitmap& bitmap) const
{
    bitmap = GlyphBitmap();
    const Impl& f = *m_impl;
    if (!f.GlyphSafe(glyph))
        return false;
    stbtt_vertex* vertices = nullptr;
    t_stbCheckFailed = false;
    const int count = stbtt_GetGlyphShape(&f.info, static_cast<int>(glyph), &vertices);
    if (count <= 0 || !vertices)
    {
        stbtt_FreeShape(&f.info, vertices);
        return !t_stbCheckFailed;
    }
    Extents e;
    for (int i = 0; i < count; ++i)
    {
        e.Add(vertices[i].x, vertices[i].y);
        if (vertices[i].type == STBTT_vcurve || vertices[i].type == STBTT_vcubic)
            e.Add(vertices[i].cx, vertices[i].cy);
        if (vertices[i].type == STBTT_vcubic)
            e.Add(vertices[i].cx1, vertices[i].cy1);
    }
    const int x0 = static_cast<int>(std::floor(e.minX * f.scaleX));
    const int y0 = static_cast<int>(std::floor(-e.maxY * f.scaleY));
    const int x1 = static_cast<int>(std::ceil(e.maxX * f.scaleX));
    const int y1 = static_cast<int>(std::ceil(-e.minY * f.scaleY));
    const int w = x1 - x0, h = y1 - y0;
    if (w <= 0 || h <= 0)
    {
        stbtt_FreeShape(&f.info, vertices);
        return true;
    }
    const int cell = static_cast<int>(std::ceil((f.ascender - f.descender) * f.scaleY));
    const int limit = std::min(kMaxGlyphPixels, kMaxGlyphCells * cell + 16);
    if (w > limit || h > limit)
    {
        stbtt_FreeShape(&f.info, vertices);
        return false;
    }
    bitmap.width = w;
    bitmap.height = h;
    bitmap.left = x0;
    bitmap.top = y0;
    bitmap.coverage.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
    stbtt__bitmap target;
    target.w = w;
    target.h = h;
    target.stride = w;
    target.pixels = bitmap.coverage.data();
    stbtt_Rasterize(&target, 0.35f, vertices, count, f.scaleX, f.scaleY, 0, 0, x0, y0, 1, nullptr);
    stbtt_FreeShape(&f.info, vertices);
    if (t_stbCheckFailed)
    {
        bitmap = GlyphBitmap();
        return false;
    }
    return true;
}

void SetFontFolders(const std::vector<std::string>& folders)
{
    FontFolders& f = Folders();
    std::lock_guard<std::mutex> lock(f.mutex);
    f.folders = folders.empty() ? kSystemFontFolders : folders;
    f.found.clear();
    f.searched = false;
}

std::string FindFontFile(const std::string& fileName)
{
    FontFolders& f = Folders();
    std::lock_guard<std::mutex> lock(f.mutex);
    if (!f.searched)
    {
        f.searched = true;
        namespace fs = std::filesystem;
        for (const std::string& folder : f.folders)
        {
            std::error_code ec;
            for (fs::recursive_directory_iterator
                     it(folder, fs::directory_options::skip_permission_denied, ec),
                 end;
                 !ec && it != end; it.increment(ec))
            {
                if (it->is_regular_file(ec))
                    f.found.emplace(it->path().filename().string(), it->path().string());
            }
        }
    }
    auto found = f.found.find(fileName);
    return found == f.found.end() ? std::string() : found->second;
}
} // namespace plat::detail

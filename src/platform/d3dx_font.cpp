// ID3DXFont on either device. At creation the face's glyphs for the code points 32 to 126 and
// 160 to 255 are rasterised once into one MANAGED atlas texture; drawing only places quads of
// it through a sprite batch. Layout is text_layout's, measured with the face's advances on the
// OpenGL device and with fixed metrics on the headless one (advance = Width, or Height / 2
// when Width is 0; lines Height apart), so headless layouts can be worked out by hand.
#include "platform/d3dx9.h"

#include "platform/d3dx_sprite.h"
#include "platform/device_base.h"
#include "platform/font_face.h"
#include "platform/image_codec.h"
#include "platform/log.h"
#include "platform/text_layout.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <cwchar>
#include <cwctype>

namespace plat
{
namespace
{
constexpr char kFallbackFile[] = "DejaVuSans.ttf";
constexpr int kMaxHeight = 512; // pixels
constexpr UINT kFirstGlyph = 32;
constexpr UINT kGlyphSlots = 256;

struct FaceFiles
{
    const wchar_t* face;
    const char* regular;
    const char* bold;
};

constexpr FaceFiles kFaces[] = {
    {L"Arial", "DejaVuSans.ttf", "DejaVuSans-Bold.ttf"},
    {L"Times New Roman", "DejaVuSerif.ttf", "DejaVuSerif-Bold.ttf"},
    {L"Ravie", "LeckerliOne-Regular.ttf", "LeckerliOne-Regular.ttf"},
};

bool SameFace(const wchar_t* a, const wchar_t* b)
{
    for (; *a && *b; ++a, ++b)
        if (std::towlower(static_cast<wint_t>(*a)) != std::towlower(static_cast<wint_t>(*b)))
            return false;
    return *a == *b;
}

// The character a code point is drawn as.
std::uint32_t Drawn(std::uint32_t c)
{
    return (c >= 32 && c <= 126) || (c >= 160 && c <= 255) ? c : '?';
}

void Report(const std::string& text)
{
    DORVO_LOG("D3DXCreateFontIndirectW: %s", text.c_str());
}

std::unique_ptr<detail::FontFace> LoadFace(const std::string& fileName, std::string& reason)
{
    const std::string path = detail::FindFontFile(fileName);
    if (path.empty())
    {
        reason = "\"" + fileName + "\" is not installed (package " +
                 (fileName.rfind("Leckerli", 0) == 0 ? "fonts-leckerli-one" : "fonts-dejavu-core") + ")";
        return nullptr;
    }
    std::vector<unsigned char> bytes;
    if (!detail::ReadWholeFile(path, bytes, reason))
    {
        reason = "\"" + path + "\": " + reason;
        return nullptr;
    }
    auto face = detail::FontFace::Load(std::move(bytes), reason);
    if (!face)
        reason = "\"" + path + "\": " + reason;
    return face;
}

struct Glyph
{
    int advance = 0; // pixels
    RECT atlas;      // texels; empty when the glyph draws nothing
    int left = 0;    // from the pen, pixels
    int top = 0;     // from the baseline, pixels
};

class Font final : public ID3DXFont, private detail::TextMetrics
{
public:
    Font(detail::DeviceBase& device, const D3DXFONT_DESCW& desc) : m_device(&device), m_desc(desc)
    {
        m_desc.FaceName[31] = L'\0';
    }

    ULONG AddRef() override { return ++m_count; }
    ULONG Release() override
    {
        const ULONG count = --m_count;
        if (count == 0)
            delete this;
        return count;
    }

    HRESULT GetDescW(D3DXFONT_DESCW* desc) override
    {
        if (!desc)
            return D3DERR_INVALIDCALL;
        *desc = m_desc;
        return S_OK;
    }

    void Build()
    {
        m_height = std::abs(m_desc.Height);
        m_fixed = m_device->UsesFixedFontMetrics();
        const std::string asked = ToNarrow(m_desc.FaceName);
        const FaceFiles* known = nullptr;
        for (const FaceFiles& f : kFaces)
            if (SameFace(f.face, m_desc.FaceName))
                known = &f;
        std::string reason;
        if (known)
        {
            const std::string file = m_desc.Weight >= 600 ? known->bold : known->regular;
            m_face = LoadFace(file, reason);
            if (!m_face)
                Report("face \"" + asked + "\": " + reason + "; \"" + kFallbackFile + "\" stands in");
        }
        else
            Report("face \"" + asked + "\": the face is not known; \"" + kFallbackFile + "\" stands in");
        if (!m_face)
        {
            m_face = LoadFace(kFallbackFile, reason);
            if (!m_face)
                Report(
                    "face \"" + asked + "\": " + reason +
                    "; the font measures with fixed metrics and draws nothing (install fonts-dejavu-core)");
        }
        if (m_face)
        {
            m_face->SetSize(m_height, static_cast<int>(m_desc.Width));
            m_ascent = m_face->Ascent();
            MakeAtlas();
        }
        int sum = 0;
        for (std::uint32_t c = 'a'; c <= 'z'; ++c)
            sum += Advance(c);
        m_meanWidth = std::max(1, (sum + 13) / 26);
    }

    std::int32_t DrawTextW(ID3DXSprite* sprite, const wchar_t* text, std::int32_t count, RECT* rect,
                           DWORD format, D3DCOLOR color) override
    {
        if (!text || !rect || count < -1 || m_device->IsShutDown())
            return 0;
        const std::size_t length = count == -1 ? std::wcslen(text) : static_cast<std::size_t>(count);
        const RECT given = *rect;
        const int boxWidth = rect->right - rect->left;
        detail::LayOutText(text, length, boxWidth, format, *this, m_layout);
        const int lines = m_layout.LineCount();
        const std::int32_t height = lines * m_height;
        if (format & DT_CALCRECT)
        {
            if (lines <= 1)
                rect->right = rect->left + m_layout.widest;
            else
                rect->right = std::max(rect->right, rect->left + m_layout.widest);
            rect->bottom = rect->top + height;
        }
        if (m_device->IsLogging())
        {
            devicedebug::LoggedCall call;
            call.kind = devicedebug::CallKind::DrawText;
            call.name = ToNarrow(m_desc.FaceName);
            call.text.assign(text, length);
            call.rect = given;
            call.rectOut = *rect;
            call.flags = format;
            call.color = color;
            call.size = m_desc.Height;
            call.result = height;
            m_device->Log(std::move(call));
        }
        if (!(format & DT_CALCRECT) && m_atlas)
            Draw(sprite, *rect, format, color);
        return height;
    }

    HRESULT OnLostDevice() override
    {
        if (m_batch)
            m_batch->OnLostDevice();
        return S_OK;
    }

    HRESULT OnResetDevice() override
    {
        if (m_batch)
            return m_batch->OnResetDevice();
        return S_OK;
    }

private:
    ~Font() override = default;

    // ---- TextMetrics ----
    int Advance(std::uint32_t codePoint) const override
    {
        if (m_fixed || !m_face)
            return m_desc.Width > 0 ? static_cast<int>(m_desc.Width) : m_height / 2;
        return m_glyphs[Drawn(codePoint)].advance;
    }
    int MeanWidth() const override { return m_meanWidth; }
    int LineHeight() const override { return m_height; }

    // The glyphs of the face, those it lacks from DejaVu Sans, the rest as '?'; packed in rows.
    void MakeAtlas()
    {
        std::unique_ptr<detail::FontFace> fallback;
        bool fallbackTried = false;
        std::array<detail::GlyphBitmap, kGlyphSlots> bitmaps;
        std::vector<std::uint32_t> missing;
        for (std::uint32_t c = kFirstGlyph; c < kGlyphSlots; ++c)
        {
            if (Drawn(c) != c)
                continue;
            const detail::FontFace* face = m_face.get();
            unsigned glyph = face->GlyphIndex(c);
            if (glyph == 0)
            {
                if (!fallbackTried)
                {
                    fallbackTried = true;
                    std::string reason;
                    fallback = LoadFace(kFallbackFile, reason);
                    if (fallback)
                        fallback->SetSizeLike(m_height, *m_face);
                }
                if (fallback && (glyph = fallback->GlyphIndex(c)) != 0)
                    face = fallback.get();
            }
            if (glyph == 0)
            {
                missing.push_back(c);
                continue;
            }
            m_glyphs[c].advance = face->Advance(glyph);
            face->Rasterise(glyph, bitmaps[c]);
        }

        // Shelf packing, one pixel of space around each glyph.
        const UINT width = m_height <= 24 ? 256 : m_height <= 64 ? 512 : 1024;
        int x = 1, y = 1, shelf = 0;
        for (std::uint32_t c = kFirstGlyph; c < kGlyphSlots; ++c)
        {
            const detail::GlyphBitmap& b = bitmaps[c];
            if (b.width == 0 || Drawn(c) != c)
                continue;
            if (x + b.width + 1 > static_cast<int>(width))
            {
                x = 1;
                y += shelf + 1;
                shelf = 0;
            }
            if (b.width + 2 > static_cast<int>(width))
                continue; // cannot fit: draws nothing
            m_glyphs[c].atlas = {x, y, x + b.width, y + b.height};
            m_glyphs[c].left = b.left;
            m_glyphs[c].top = b.top;
            x += b.width + 1;
            shelf = std::max(shelf, b.height);
        }
        const UINT height =
            std::min<UINT>(static_cast<UINT>(y + shelf + 1), m_device->Caps().MaxTextureHeight);
        IDirect3DTexture9* atlas = nullptr;
        if (FAILED(m_device->CreateTexture(width, height, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &atlas,
                                           nullptr)))
            return;
        m_atlas = detail::ComPtr<detail::Texture>::Adopt(detail::AsTexture(atlas));
        m_atlas->Info().file = "font atlas: " + ToNarrow(m_desc.FaceName);
        D3DLOCKED_RECT locked;
        if (FAILED(atlas->LockRect(0, &locked, nullptr, 0)))
            return;
        auto* pixels = static_cast<std::uint32_t*>(locked.pBits);
        std::fill_n(pixels, static_cast<std::size_t>(width) * height, 0x00FFFFFFu);
        for (std::uint32_t c = kFirstGlyph; c < kGlyphSlots; ++c)
        {
            const RECT& r = m_glyphs[c].atlas;
            if (r.right <= r.left || static_cast<UINT>(r.bottom) > height)
            {
                m_glyphs[c].atlas = RECT();
                continue;
            }
            const detail::GlyphBitmap& b = bitmaps[c];
            for (int row = 0; row < b.height; ++row)
                for (int col = 0; col < b.width; ++col)
                    pixels[static_cast<std::size_t>(r.top + row) * width +
                           static_cast<std::size_t>(r.left + col)] =
                        (std::uint32_t{b.coverage[static_cast<std::size_t>(row) * b.width + col]} << 24) |
                        0x00FFFFFFu;
        }
        atlas->UnlockRect(0);
        for (std::uint32_t c : missing)
            m_glyphs[c] = m_glyphs['?'];
    }

    void Draw(ID3DXSprite* sprite, const RECT& rect, DWORD format, D3DCOLOR color)
    {
        detail::SpriteBatch* batch = detail::AsSpriteBatch(sprite);
        if (!batch || batch->Device() != m_device.Get())
        {
            if (!m_batch)
            {
                ID3DXSprite* own = nullptr;
                if (FAILED(D3DXCreateSprite(m_device.Get(), &own)))
                    return;
                m_batch = detail::ComPtr<detail::SpriteBatch>::Adopt(detail::AsSpriteBatch(own));
            }
            batch = m_batch.Get();
        }
        const bool ownBracket = !batch->IsBegun();
        if (ownBracket && FAILED(batch->Begin(D3DXSPRITE_ALPHABLEND)))
            return;
        const bool clip = !(format & DT_NOCLIP);
        for (const detail::LaidGlyph& g : m_layout.glyphs)
        {
            const Glyph& glyph = m_glyphs[Drawn(g.codePoint)];
            const RECT& a = glyph.atlas;
            if (a.right <= a.left)
                continue;
            // Pixel edges of the glyph's box; the quad goes half a pixel up and left of them.
            float x0 = static_cast<float>(rect.left + g.x + glyph.left);
            float y0 = static_cast<float>(rect.top + g.line * m_height + m_ascent + glyph.top);
            float x1 = x0 + static_cast<float>(a.right - a.left),
                  y1 = y0 + static_cast<float>(a.bottom - a.top);
            float u0 = static_cast<float>(a.left), v0 = static_cast<float>(a.top);
            float u1 = static_cast<float>(a.right), v1 = static_cast<float>(a.bottom);
            if (clip)
            {
                const float cl = static_cast<float>(rect.left), ct = static_cast<float>(rect.top);
                const float cr = static_cast<float>(rect.right), cb = static_cast<float>(rect.bottom);
                if (x0 >= cr || y0 >= cb || x1 <= cl || y1 <= ct)
                    continue;
                if (x0 < cl)
                {
                    u0 += cl - x0;
                    x0 = cl;
                }
                if (y0 < ct)
                {
                    v0 += ct - y0;
                    y0 = ct;
                }
                if (x1 > cr)
                {
                    u1 -= x1 - cr;
                    x1 = cr;
                }
                if (y1 > cb)
                {
                    v1 -= y1 - cb;
                    y1 = cb;
                }
            }
            batch->DrawQuad(*m_atlas.Get(), u0, v0, u1, v1, x0 - 0.5f, y0 - 0.5f, x1 - 0.5f, y1 - 0.5f,
                            color);
        }
        if (ownBracket)
            batch->End();
    }

    ULONG m_count = 1;
    detail::ComPtr<detail::DeviceBase> m_device;
    D3DXFONT_DESCW m_desc;
    int m_height = 0;
    int m_ascent = 0;
    int m_meanWidth = 1;
    bool m_fixed = false;
    std::unique_ptr<detail::FontFace> m_face;
    std::array<Glyph, kGlyphSlots> m_glyphs{};
    detail::ComPtr<detail::Texture> m_atlas;
    detail::ComPtr<detail::SpriteBatch> m_batch;
    detail::TextLayout m_layout;
};
} // namespace

HRESULT D3DXCreateFontIndirectW(IDirect3DDevice9* device, const D3DXFONT_DESCW* desc, ID3DXFont** font)
{
    if (font)
        *font = nullptr;
    detail::DeviceBase* d = detail::AsDevice(device);
    if (!d || !desc || !font || d->IsShutDown() || desc->Height == 0 || std::abs(desc->Height) > kMaxHeight ||
        desc->Width > static_cast<UINT>(kMaxHeight))
        return D3DERR_INVALIDCALL;
    auto* made = new Font(*d, *desc);
    made->Build();
    *font = made;
    return S_OK;
}
} // namespace plat

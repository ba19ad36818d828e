// The D3DX helpers the engine calls: plain matrix, vector, plane and colour records, texture
// files in and out, the sprite batch, fonts and lines. They work on either device. The maths
// on these records lives in the engine's own `math` library; platform calls only take them.
#pragma once

#include "platform/d3d9.h"

namespace plat
{
// ---- Records ----------------------------------------------------------------------------------

// Row-major 4 x 4, row vectors: a point p is transformed as p * M, translation in _41.._43.
struct D3DXMATRIX
{
    float m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}; // identity
};

struct D3DXVECTOR2
{
    float x = 0.0f, y = 0.0f;
};

struct D3DXVECTOR3
{
    float x = 0.0f, y = 0.0f, z = 0.0f;
};

struct D3DXVECTOR4
{
    float x = 0.0f, y = 0.0f, z = 0.0f, w = 0.0f;
};

// a x + b y + c z + d = 0
struct D3DXPLANE
{
    float a = 0.0f, b = 0.0f, c = 0.0f, d = 0.0f;
};

// One channel in 0..1 to a byte: 255 at or above 1, 0 at or below 0 (and for NaN), else
// trunc(c x 255 + 0.5).
constexpr DWORD D3DXColorChannelToByte(float c)
{
    return !(c > 0.0f) ? 0u : c >= 1.0f ? 255u : static_cast<DWORD>(c * 255.0f + 0.5f);
}

struct D3DXCOLOR
{
    float r = 0.0f, g = 0.0f, b = 0.0f, a = 0.0f;

    constexpr D3DXCOLOR() = default;
    constexpr D3DXCOLOR(float red, float green, float blue, float alpha) : r(red), g(green), b(blue), a(alpha)
    {
    }
    // Packed A, R, G, B.
    constexpr operator D3DCOLOR() const
    {
        return D3DCOLOR_ARGB(D3DXColorChannelToByte(a), D3DXColorChannelToByte(r), D3DXColorChannelToByte(g),
                             D3DXColorChannelToByte(b));
    }
};

// ---- Texture files ----------------------------------------------------------------------------

enum D3DXIMAGE_FILEFORMAT : std::uint32_t
{
    D3DXIFF_BMP = 0,
    D3DXIFF_JPG = 1,
    D3DXIFF_PNG = 3,
};

constexpr HRESULT D3DXERR_INVALIDDATA = static_cast<HRESULT>(0x88760B59u);

// A PNG or JPG file (through the path helper) as a MANAGED A8R8G8B8 texture (X8R8G8B8 when the
// image has no alpha) with its full mip chain, at the image's own size. A missing, empty,
// truncated or non-image file gives a null texture and one line in the log naming the
// file and the reason. So that a shared file cannot cost gigabytes, the file is at most
// kMaxTextureFileBytes, the image at most kMaxTextureFileSide pixels a side (the game's own are
// at most 512), and all live textures made from files together, with their mip chains, at most
// the budget (the game's own take about 21 MB): the header is read first, so an image refused
// for its size is never decoded.
constexpr UINT kMaxTextureFileSide = 2048;
constexpr std::uint64_t kMaxTextureFileBytes = std::uint64_t{32} << 20;
constexpr std::uint64_t kTextureFileBudgetBytes = std::uint64_t{64} << 20;
// The budget in force; for tests, SetTextureFileBudget changes it (0 restores the constant) and
// returns the previous one.
std::uint64_t TextureFileBudget();
std::uint64_t SetTextureFileBudget(std::uint64_t bytes);
HRESULT D3DXCreateTextureFromFileW(IDirect3DDevice9* device, const wchar_t* fileName,
                                   IDirect3DTexture9** texture);

// The surface as an opaque 8-bit PNG, top row first. Only PNG, without palette or rectangle. The
// file is written as a picture through plat::SaveRunFile: a name it refuses gives one line and
// E_FAIL.
HRESULT D3DXSaveSurfaceToFileW(const wchar_t* fileName, D3DXIMAGE_FILEFORMAT format,
                               IDirect3DSurface9* surface, const void* palette, const RECT* sourceRect);

// ---- Sprite batch -----------------------------------------------------------------------------

constexpr DWORD D3DXSPRITE_ALPHABLEND = 0x10;

class ID3DXSprite : public IUnknown
{
public:
    // Saves the states it changes, then draws with alpha blending, no depth test, no culling,
    // solid fill, no clip planes, in the render target's pixels. Not nested.
    virtual HRESULT Begin(DWORD flags) = 0;
    // Row vectors; applies to every later Draw.
    virtual HRESULT SetTransform(const D3DXMATRIX* transform) = 0;
    virtual HRESULT GetTransform(D3DXMATRIX* transform) = 0;
    // The source rectangle (null: the whole texture; right and bottom exclusive) placed with
    // its corners minus centre plus position, then through the transform. The colour
    // modulates the texels; sampling is linear and clamped. Draws keep their order.
    virtual HRESULT Draw(IDirect3DTexture9* texture, const RECT* sourceRect, const D3DXVECTOR3* center,
                         const D3DXVECTOR3* position, D3DCOLOR color) = 0;
    // Draws what is batched so far.
    virtual HRESULT Flush() = 0;
    // Draws the rest and puts the saved states back.
    virtual HRESULT End() = 0;
    virtual HRESULT OnLostDevice() = 0;
    virtual HRESULT OnResetDevice() = 0;
};

HRESULT D3DXCreateSprite(IDirect3DDevice9* device, ID3DXSprite** sprite);

// ---- Fonts ------------------------------------------------------------------------------------

struct D3DXFONT_DESCW
{
    std::int32_t Height = 0; // cell height, pixels
    UINT Width = 0;          // mean character width, pixels; 0 keeps the face's proportions
    UINT Weight = 400;       // 400 normal, 700 bold
    UINT MipLevels = 1;
    BOOL Italic = 0;
    std::uint8_t CharSet = 0;
    std::uint8_t OutputPrecision = 0;
    std::uint8_t Quality = 0;
    std::uint8_t PitchAndFamily = 0;
    wchar_t FaceName[32] = {};
};

constexpr DWORD DT_WORDBREAK = 0x10;
constexpr DWORD DT_EXPANDTABS = 0x40;
constexpr DWORD DT_NOCLIP = 0x100;
constexpr DWORD DT_CALCRECT = 0x400;

class ID3DXFont : public IUnknown
{
public:
    virtual HRESULT GetDescW(D3DXFONT_DESCW* desc) = 0;
    // Lays the text out in the rectangle (count -1: up to the terminating zero) and draws it
    // through the sprite batch (an internal one when null) with its transform. Returns the
    // height of the text in pixels, 0 on a wrong call. DT_CALCRECT only measures and writes
    // the rectangle the text needs.
    virtual std::int32_t DrawTextW(ID3DXSprite* sprite, const wchar_t* text, std::int32_t count, RECT* rect,
                                   DWORD format, D3DCOLOR color) = 0;
    virtual HRESULT OnLostDevice() = 0;
    virtual HRESULT OnResetDevice() = 0;
};

// "Arial" is DejaVu Sans, "Times New Roman" DejaVu Serif (weight 600 or more: the bold files),
// "Ravie" Leckerli One. An unknown face or a missing file is named in the log and
// DejaVu Sans stands in; without any font file the font measures with fixed metrics and draws
// nothing. Glyphs are made once, here.
HRESULT D3DXCreateFontIndirectW(IDirect3DDevice9* device, const D3DXFONT_DESCW* desc, ID3DXFont** font);

// ---- Lines ------------------------------------------------------------------------------------

class ID3DXLine : public IUnknown
{
public:
    // A one-pixel strip through the points, each transformed by the matrix (row vectors) into
    // clip space.
    virtual HRESULT DrawTransform(const D3DXVECTOR3* points, DWORD count, const D3DXMATRIX* transform,
                                  D3DCOLOR color) = 0;
    virtual HRESULT OnLostDevice() = 0;
    virtual HRESULT OnResetDevice() = 0;
};

HRESULT D3DXCreateLine(IDirect3DDevice9* device, ID3DXLine** line);
} // namespace plat

// Effects and the effect pool.
#include "platform/d3dx9effect.h"

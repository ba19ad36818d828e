// The OpenGL device's pictures, pixel by pixel: a 320 x 240 back buffer on Xvfb with Mesa's
// software renderer, each scene saved under screenshots/ in the build folder and checked at
// given points. Skipped, with a message, where Xvfb is not installed.
#include "GLDeviceFixture.h"
#include "VirtualDisplay.h"

#include "platform/d3dx9.h"
#include "platform/device_debug.h"
#include "platform/frame_driver.h"
#include "platform/image_codec.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace plat;

namespace
{
constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr D3DCOLOR kBackground = D3DCOLOR_XRGB(40, 40, 60);
constexpr D3DCOLOR kRed = D3DCOLOR_XRGB(255, 0, 0);
constexpr D3DCOLOR kGreen = D3DCOLOR_XRGB(0, 255, 0);
constexpr D3DCOLOR kBlue = D3DCOLOR_XRGB(0, 0, 255);
constexpr D3DCOLOR kWhite = D3DCOLOR_XRGB(255, 255, 255);

struct ScreenVertex // POSITIONT, COLOR, TEXCOORD0
{
    float x, y, z, rhw;
    D3DCOLOR color;
    float u, v;
};

struct ClipVertex // POSITION (clip space), COLOR
{
    float x, y, z, w;
    D3DCOLOR color;
};

class GLPixelTest : public testsupport::GLDeviceFixture
{
protected:
    GLPixelTest() : GLDeviceFixture(kWidth, kHeight) {}

    void SetUp() override
    {
        GLDeviceFixture::SetUp();
        if (!device)
            return;
        const D3DVERTEXELEMENT9 screen[] = {{0, 0, D3DDECLTYPE_FLOAT4, 0, D3DDECLUSAGE_POSITIONT, 0},
                                            {0, 16, D3DDECLTYPE_D3DCOLOR, 0, D3DDECLUSAGE_COLOR, 0},
                                            {0, 20, D3DDECLTYPE_FLOAT2, 0, D3DDECLUSAGE_TEXCOORD, 0},
                                            D3DDECL_END()};
        ASSERT_TRUE(SUCCEEDED(device->CreateVertexDeclaration(screen, &screenDecl)));
        const D3DVERTEXELEMENT9 clip[] = {{0, 0, D3DDECLTYPE_FLOAT4, 0, D3DDECLUSAGE_POSITION, 0},
                                          {0, 16, D3DDECLTYPE_D3DCOLOR, 0, D3DDECLUSAGE_COLOR, 0},
                                          D3DDECL_END()};
        ASSERT_TRUE(SUCCEEDED(device->CreateVertexDeclaration(clip, &clipDecl)));
        devicedebug::ResetStatistics(device);
        device->BeginScene();
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBackground, 1.0f, 0);
    }

    void TearDown() override
    {
        if (screenDecl)
            screenDecl->Release();
        if (clipDecl)
            clipDecl->Release();
        GLDeviceFixture::TearDown();
    }

    // A pre-transformed rectangle from corner (x0, y0) to (x1, y1), texture coordinates 0..1.
    void ScreenQuad(float x0, float y0, float x1, float y1, D3DCOLOR color)
    {
        const ScreenVertex quad[4] = {{x0, y0, 0, 1, color, 0, 0},
                                      {x1, y0, 0, 1, color, 1, 0},
                                      {x0, y1, 0, 1, color, 0, 1},
                                      {x1, y1, 0, 1, color, 1, 1}};
        device->SetVertexDeclaration(screenDecl);
        ASSERT_TRUE(SUCCEEDED(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(ScreenVertex))));
    }

    IDirect3DVertexDeclaration9* screenDecl = nullptr;
    IDirect3DVertexDeclaration9* clipDecl = nullptr;
};

using testsupport::MakeTexture;
} // namespace

TEST_F(GLPixelTest, ClearFillsTheWholeTarget)
{
    Finish("gl_clear.png");
    for (auto [x, y] : {std::pair{0, 0}, {319, 0}, {0, 239}, {319, 239}, {160, 120}})
        EXPECT_EQ(At(x, y), kBackground) << x << ", " << y;
}

TEST_F(GLPixelTest, ReportsPassingCapsAndTheRenderer)
{
    D3DCAPS9 caps;
    ASSERT_TRUE(SUCCEEDED(device->GetDeviceCaps(&caps)));
    EXPECT_EQ(caps.VertexShaderVersion, D3DVS_VERSION(3, 0));
    EXPECT_EQ(caps.PixelShaderVersion, D3DPS_VERSION(3, 0));
    EXPECT_GE(caps.MaxTextureWidth, 1024u);
    EXPECT_EQ(caps.MaxActiveLights, 8u);
    D3DADAPTER_IDENTIFIER9 id;
    ASSERT_TRUE(SUCCEEDED(DXUTGetD3DObject()->GetAdapterIdentifier(0, 0, &id)));
    EXPECT_NE(std::string(id.Description).find("llvmpipe"), std::string::npos) << id.Description;
    EXPECT_EQ(DXUTGetD3DObject()->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8,
                                                    D3DUSAGE_QUERY_POSTPIXELSHADER_BLENDING, D3DRTYPE_TEXTURE,
                                                    D3DFMT_X8R8G8B8),
              S_OK);
    device->EndScene();
}

TEST_F(GLPixelTest, PreTransformedQuadCoversExactlyItsPixels)
{
    // Corners half a pixel before 10, 20 and 110, 60: pixels 10..109 and 20..59, no more.
    ScreenQuad(9.5f, 19.5f, 109.5f, 59.5f, kRed);
    Finish("gl_pretransformed_quad.png");
    EXPECT_EQ(At(10, 20), kRed);
    EXPECT_EQ(At(109, 59), kRed);
    EXPECT_EQ(At(60, 40), kRed);
    EXPECT_EQ(At(9, 20), kBackground);
    EXPECT_EQ(At(10, 19), kBackground);
    EXPECT_EQ(At(110, 59), kBackground);
    EXPECT_EQ(At(109, 60), kBackground);
}

TEST_F(GLPixelTest, CheckerTextureLandsTexelForTexel)
{
    // A 4 x 4 checker of 16-texel squares, each square its own colour, drawn one texel a pixel.
    constexpr UINT kSize = 64;
    std::vector<std::uint32_t> texels(kSize * kSize);
    auto squareColour = [](UINT sx, UINT sy)
    { return D3DCOLOR_XRGB(40 + 60 * sx, 40 + 60 * sy, ((sx + sy) % 2) ? 230 : 20); };
    for (UINT y = 0; y < kSize; ++y)
        for (UINT x = 0; x < kSize; ++x)
            texels[y * kSize + x] = squareColour(x / 16, y / 16);
    IDirect3DTexture9* texture = MakeTexture(device, kSize, kSize, texels);
    ASSERT_NE(texture, nullptr);
    device->SetTexture(0, texture);
    ScreenQuad(99.5f, 49.5f, 99.5f + kSize, 49.5f + kSize, kWhite);
    device->SetTexture(0, nullptr);
    Finish("gl_checker.png");
    int wrong = 0;
    for (UINT y = 0; y < kSize; ++y)
        for (UINT x = 0; x < kSize; ++x)
            wrong += At(100 + static_cast<int>(x), 50 + static_cast<int>(y)) != texels[y * kSize + x];
    EXPECT_EQ(wrong, 0) << "pixels that differ from their texel";
    EXPECT_EQ(At(99, 50), kBackground);
    EXPECT_EQ(At(100 + kSize, 50), kBackground);
    texture->Release();
}

TEST_F(GLPixelTest, SpriteIsMovedAndScaledByItsTransform)
{
    // 16 x 16: left half red, right half blue; drawn with the centre (0.5, 0.5) the game uses,
    // scaled by 2 and moved to (200, 40): pixels 199..230 and 39..70.
    std::vector<std::uint32_t> texels(16 * 16);
    for (UINT y = 0; y < 16; ++y)
        for (UINT x = 0; x < 16; ++x)
            texels[y * 16 + x] = x < 8 ? kRed : kBlue;
    IDirect3DTexture9* texture = MakeTexture(device, 16, 16, texels);
    ID3DXSprite* sprite = nullptr;
    ASSERT_TRUE(SUCCEEDED(D3DXCreateSprite(device, &sprite)));
    D3DXMATRIX m;
    m.m[0][0] = m.m[1][1] = 2.0f;
    m.m[3][0] = 200.0f;
    m.m[3][1] = 40.0f;
    const D3DXVECTOR3 centre{0.5f, 0.5f, 0.0f};
    sprite->Begin(D3DXSPRITE_ALPHABLEND);
    sprite->SetTransform(&m);
    ASSERT_TRUE(SUCCEEDED(sprite->Draw(texture, nullptr, &centre, nullptr, 0xFFFFFFFFu)));
    sprite->End();
    Finish("gl_sprite_transform.png");
    EXPECT_EQ(At(199, 39), kRed);
    EXPECT_EQ(At(210, 60), kRed);
    EXPECT_EQ(At(225, 50), kBlue);
    EXPECT_EQ(At(230, 70), kBlue);
    EXPECT_EQ(At(198, 39), kBackground);
    EXPECT_EQ(At(199, 38), kBackground);
    EXPECT_EQ(At(231, 70), kBackground);
    EXPECT_EQ(At(230, 71), kBackground);
    sprite->Release();
    texture->Release();
}

// Twenty solid textures in one batch: two draws (16 textures, then 4), each sprite in its own
// colour. Returns the sprites whose centre shows another colour.
int DrawTwentySprites(IDirect3DDevice9* device, const std::string& picture)
{
    std::vector<IDirect3DTexture9*> textures;
    std::vector<D3DCOLOR> colours;
    for (DWORD i = 0; i < 20; ++i)
    {
        colours.push_back(D3DCOLOR_XRGB(10 + 12 * i, 250 - 11 * i, (i * 97) % 256));
        textures.push_back(MakeTexture(device, 16, 16, std::vector<std::uint32_t>(256, colours.back())));
    }
    ID3DXSprite* sprite = nullptr;
    if (FAILED(D3DXCreateSprite(device, &sprite)))
        return 20;
    devicedebug::ResetStatistics(device);
    device->BeginScene();
    device->Clear(0, nullptr, D3DCLEAR_TARGET, kBackground, 1.0f, 0);
    sprite->Begin(D3DXSPRITE_ALPHABLEND);
    for (int i = 0; i < 20; ++i)
    {
        const D3DXVECTOR3 at{static_cast<float>(20 + 30 * (i % 10)), static_cast<float>(60 + 40 * (i / 10)),
                             0};
        sprite->Draw(textures[static_cast<std::size_t>(i)], nullptr, nullptr, &at, 0xFFFFFFFFu);
    }
    sprite->End();
    device->EndScene();
    EXPECT_EQ(devicedebug::Statistics(device).draws, 2u);
    EXPECT_EQ(devicedebug::Statistics(device).glErrors, 0u);
    testsupport::SaveBackBuffer(device, picture);
    std::vector<D3DCOLOR> pixels;
    device->ReadBackBuffer(pixels);
    int wrong = 0;
    for (int i = 0; i < 20; ++i)
        wrong += (pixels[static_cast<std::size_t>(68 + 40 * (i / 10)) * kWidth + 28 + 30 * (i % 10)] |
                  0xFF000000u) != colours[static_cast<std::size_t>(i)];
    sprite->Release();
    for (IDirect3DTexture9* t : textures)
        t->Release();
    return wrong;
}

TEST_F(GLPixelTest, OneBatchDrawsEachSpriteWithItsOwnTexture)
{
    device->EndScene();
    EXPECT_EQ(DrawTwentySprites(device, "gl_sprite_textures.png"), 0);
    device->BeginScene();
}

// The same with the portable chain of comparisons that other renderers than llvmpipe use.
TEST(GLPixelChain, OneBatchDrawsEachSpriteWithItsOwnTexture)
{
    testsupport::ScopedEnv env;
    env.Set("DORVO_GL_SAMPLER_CHAIN", "1");
    testsupport::GLTestDevice gl;
    DORVO_START_GL_OR_SKIP(gl, kWidth, kHeight);
    EXPECT_EQ(DrawTwentySprites(gl.Device(), "gl_sprite_textures_chain.png"), 0);
}

TEST_F(GLPixelTest, FontTextStaysInsideItsMeasuredRectangle)
{
    device->Clear(0, nullptr, D3DCLEAR_TARGET, kWhite, 1.0f, 0);
    D3DXFONT_DESCW desc;
    desc.Height = 16;
    desc.Width = 10;
    desc.Weight = 400;
    std::wcscpy(desc.FaceName, L"Arial");
    ID3DXFont* font = nullptr;
    ASSERT_TRUE(SUCCEEDED(D3DXCreateFontIndirectW(device, &desc, &font)));
    RECT r{20, 100, 20, 100};
    const wchar_t* text = L"Quorb, Dorvo & jumpy glyphs";
    const int height = font->DrawTextW(nullptr, text, -1, &r, DT_CALCRECT | DT_NOCLIP, 0xFF000000u);
    EXPECT_EQ(height, 16);
    EXPECT_EQ(r.bottom - r.top, 16);
    EXPECT_GT(r.right - r.left, 100);
    font->DrawTextW(nullptr, text, -1, &r, DT_NOCLIP, 0xFF000000u);
    Finish("gl_font.png");
    int inside = 0, outside = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
        {
            if (At(x, y) == kWhite)
                continue;
            const bool in = x >= r.left && x < r.right && y >= r.top && y < r.bottom;
            (in ? inside : outside) += 1;
        }
    EXPECT_GT(inside, 200) << "the text drew too little";
    EXPECT_EQ(outside, 0) << "pixels outside the measured rectangle";
    font->Release();
}

TEST_F(GLPixelTest, RenderTargetIsStretchedBackOntoTheBackBuffer)
{
    IDirect3DTexture9* target = nullptr;
    ASSERT_TRUE(SUCCEEDED(device->CreateTexture(32, 32, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8,
                                                D3DPOOL_DEFAULT, &target, nullptr)));
    IDirect3DSurface9 *surface = nullptr, *back = nullptr;
    target->GetSurfaceLevel(0, &surface);
    device->GetRenderTarget(0, &back);
    device->SetRenderTarget(0, surface);
    device->SetDepthStencilSurface(nullptr);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, kGreen, 1.0f, 0);
    ScreenQuad(-0.5f, -0.5f, 15.5f, 15.5f, kRed); // its top-left quarter
    device->SetRenderTarget(0, back);
    const RECT dest{200, 100, 264, 164}; // twice the size
    ASSERT_TRUE(SUCCEEDED(device->StretchRect(surface, nullptr, back, &dest, D3DTEXF_POINT)));
    Finish("gl_render_target.png");
    EXPECT_EQ(At(200, 100), kRed);
    EXPECT_EQ(At(231, 131), kRed);
    EXPECT_EQ(At(232, 100), kGreen);
    EXPECT_EQ(At(263, 163), kGreen);
    EXPECT_EQ(At(199, 100), kBackground);
    EXPECT_EQ(At(264, 163), kBackground);
    surface->Release();
    back->Release();
    target->Release();
}

TEST_F(GLPixelTest, ClipPlaneOneCutsAQuad)
{
    // A clip-space square of half the screen, plane 1 keeping x >= 0: only its right half.
    const ClipVertex quad[4] = {{-0.5f, 0.5f, 0.5f, 1, kBlue},
                                {0.5f, 0.5f, 0.5f, 1, kBlue},
                                {-0.5f, -0.5f, 0.5f, 1, kBlue},
                                {0.5f, -0.5f, 0.5f, 1, kBlue}};
    const float keepRight[4] = {1, 0, 0, 0};
    device->SetClipPlane(1, keepRight);
    device->SetRenderState(D3DRS_CLIPPLANEENABLE, D3DCLIPPLANE1);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetVertexDeclaration(clipDecl);
    ASSERT_TRUE(SUCCEEDED(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(ClipVertex))));
    Finish("gl_clip_plane.png");
    EXPECT_EQ(At(100, 120), kBackground); // left of the centre: cut away
    EXPECT_EQ(At(158, 120), kBackground);
    EXPECT_EQ(At(162, 120), kBlue);
    EXPECT_EQ(At(230, 70), kBlue); // top right of the square (clip y up is the top)
    EXPECT_EQ(At(230, 50), kBackground);
}

TEST_F(GLPixelTest, CullingAndDepthKeepDirect3DsRules)
{
    // Default culling drops triangles that turn counter-clockwise on the screen.
    const ScreenVertex clockwise[3] = {
        {20, 20, 0.5f, 1, kRed, 0, 0}, {80, 20, 0.5f, 1, kRed, 0, 0}, {20, 80, 0.5f, 1, kRed, 0, 0}};
    const ScreenVertex counter[3] = {
        {120, 20, 0.5f, 1, kRed, 0, 0}, {120, 80, 0.5f, 1, kRed, 0, 0}, {180, 20, 0.5f, 1, kRed, 0, 0}};
    device->SetVertexDeclaration(screenDecl);
    device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, clockwise, sizeof(ScreenVertex));
    device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, counter, sizeof(ScreenVertex));
    // The nearer of two overlapping quads wins, whichever is drawn last.
    ScreenQuad(199.5f, 119.5f, 259.5f, 179.5f, kGreen); // depth 0
    const ScreenVertex far[4] = {{229.5f, 149.5f, 0.9f, 1, kBlue, 0, 0},
                                 {289.5f, 149.5f, 0.9f, 1, kBlue, 0, 0},
                                 {229.5f, 209.5f, 0.9f, 1, kBlue, 0, 0},
                                 {289.5f, 209.5f, 0.9f, 1, kBlue, 0, 0}};
    device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, far, sizeof(ScreenVertex));
    Finish("gl_cull_depth.png");
    EXPECT_EQ(At(30, 30), kRed);
    EXPECT_EQ(At(130, 30), kBackground);
    EXPECT_EQ(At(240, 160), kGreen);
    EXPECT_EQ(At(280, 200), kBlue);
}

TEST_F(GLPixelTest, SmallViewportIsClearedAlone)
{
    D3DVIEWPORT9 small;
    small.X = 10;
    small.Y = 20;
    small.Width = 30;
    small.Height = 40;
    ASSERT_TRUE(SUCCEEDED(device->SetViewport(&small)));
    device->Clear(0, nullptr, D3DCLEAR_TARGET, kRed, 1.0f, 0);
    Finish("gl_small_viewport.png");
    EXPECT_EQ(At(10, 20), kRed);
    EXPECT_EQ(At(39, 59), kRed);
    EXPECT_EQ(At(9, 20), kBackground);
    EXPECT_EQ(At(40, 59), kBackground);
    EXPECT_EQ(At(39, 60), kBackground);
    EXPECT_EQ(At(160, 120), kBackground);
}

TEST_F(GLPixelTest, AResizeGivesPicturesOfTheNewSize)
{
    device->EndScene();
    SendMessageW(DXUTGetHWND(), WM_SIZE, 0, MAKELPARAM(200, 100));
    DXUTRender3DEnvironment(); // lost, reset at 200 x 100, then a frame
    device = DXUTGetD3D9Device();
    EXPECT_EQ(device->GetBackBufferDesc().Width, 200u);
    device->BeginScene();
    device->Clear(0, nullptr, D3DCLEAR_TARGET, kGreen, 1.0f, 0);
    device->EndScene();
    ASSERT_TRUE(testsupport::SaveBackBuffer(device, "gl_resized.png"));
    std::vector<unsigned char> bytes;
    std::string reason;
    detail::DecodedImage image;
    ASSERT_TRUE(detail::ReadWholeFile(testsupport::ScreenshotPath("gl_resized.png"), bytes, reason))
        << reason;
    ASSERT_TRUE(detail::DecodeImage(bytes.data(), bytes.size(), 4096, image, reason)) << reason;
    EXPECT_EQ(image.width, 200u);
    EXPECT_EQ(image.height, 100u);
    EXPECT_EQ(image.pixels[0], kGreen);
}

// The sprite batch and lines on the headless device: what the call log shows of a sprite and
// text scene, the states a batch leaves behind, how draws merge, and lost/reset.
#include "platform/d3dx9.h"
#include "platform/device_debug.h"
#include "platform/frame_driver.h"
#include "platform/headless.h"

#include "LogCapture.h"
#include "Sprite2DScene.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <vector>

using namespace plat;
using devicedebug::CallKind;

namespace
{
class SpriteBatchTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        headless::Reset();
        DXUTInit(false, false, false, true);
        ASSERT_TRUE(SUCCEEDED(DXUTCreateDevice(D3DADAPTER_DEFAULT, true, 800, 600)));
        device = DXUTGetD3D9Device();
        ASSERT_TRUE(SUCCEEDED(D3DXCreateSprite(device, &sprite)));
    }
    void TearDown() override
    {
        if (sprite)
            sprite->Release();
        headless::Reset();
    }

    IDirect3DTexture9* Texture(UINT size = 8)
    {
        IDirect3DTexture9* t = nullptr;
        device->CreateTexture(size, size, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &t, nullptr);
        return t;
    }

    IDirect3DDevice9* device = nullptr;
    ID3DXSprite* sprite = nullptr;
};

ID3DXFont* Arial(IDirect3DDevice9* device)
{
    D3DXFONT_DESCW desc;
    desc.Height = 16;
    desc.Width = 10;
    std::wcscpy(desc.FaceName, L"Arial");
    ID3DXFont* font = nullptr;
    D3DXCreateFontIndirectW(device, &desc, &font);
    return font;
}

std::vector<CallKind> Kinds()
{
    std::vector<CallKind> kinds;
    for (const auto& c : headless::CallLog())
        kinds.push_back(c.kind);
    return kinds;
}
} // namespace

TEST_F(SpriteBatchTest, CallLogOfASpriteAndTextScene)
{
    IDirect3DTexture9* texture = Texture(32);
    ID3DXFont* font = Arial(device);
    ASSERT_NE(font, nullptr);
    headless::SetCallLogging(true);
    device->BeginScene();
    sprite->Begin(D3DXSPRITE_ALPHABLEND);
    D3DXMATRIX m;
    m.m[3][0] = 100;
    m.m[3][1] = 50;
    sprite->SetTransform(&m);
    const RECT frame{8, 0, 24, 16};
    const D3DXVECTOR3 centre{0.5f, 0.5f, 0};
    sprite->Draw(texture, &frame, &centre, nullptr, 0x80FF0000u);
    sprite->Draw(texture, nullptr, &centre, nullptr, 0xFFFFFFFFu);
    RECT r{10, 20, 210, 20};
    const int height = font->DrawTextW(sprite, L"Hello", -1, &r, DT_NOCLIP, 0xFF000000u);
    sprite->End();
    device->EndScene();

    EXPECT_EQ(height, 16);
    EXPECT_EQ(Kinds(), (std::vector<CallKind>{CallKind::BeginScene, CallKind::SpriteBegin,
                                              CallKind::SpriteDraw, CallKind::SpriteDraw, CallKind::DrawText,
                                              CallKind::Draw, CallKind::SpriteEnd, CallKind::EndScene}));
    const auto& log = headless::CallLog();
    EXPECT_EQ(log[1].flags, D3DXSPRITE_ALPHABLEND);
    EXPECT_EQ(log[2].rect.left, 8);
    EXPECT_EQ(log[2].rect.right, 24);
    EXPECT_EQ(log[2].matrix.m[3][0], 100.0f);
    EXPECT_EQ(log[2].color, 0x80FF0000u);
    EXPECT_EQ(log[3].rect.right, 32); // no rectangle: the whole texture
    EXPECT_EQ(log[4].name, "Arial");
    EXPECT_EQ(log[4].size, 16);
    EXPECT_EQ(log[4].text, L"Hello");
    EXPECT_EQ(log[4].rect.right, 210);
    EXPECT_EQ(log[4].flags, DT_NOCLIP);
    EXPECT_EQ(log[4].color, 0xFF000000u);
    // Both sprites and the five glyphs in one draw, with the texture and the font's atlas.
    EXPECT_EQ(log[5].name, "batch");
    EXPECT_EQ(log[5].primitiveCount, 2u * 7u);
    EXPECT_EQ(log[5].textureCount, 2u);
    font->Release();
    texture->Release();
}

TEST_F(SpriteBatchTest, BeginAndEndLeaveTheStatesAsFound)
{
    const std::pair<D3DRENDERSTATETYPE, DWORD> before[] = {
        {D3DRS_ALPHABLENDENABLE, 1}, {D3DRS_SRCBLEND, D3DBLEND_ONE}, {D3DRS_DESTBLEND, D3DBLEND_ONE},
        {D3DRS_ZENABLE, D3DZB_TRUE}, {D3DRS_CULLMODE, D3DCULL_CW},   {D3DRS_FILLMODE, D3DFILL_WIREFRAME},
        {D3DRS_CLIPPLANEENABLE, 3},  {D3DRS_ZWRITEENABLE, 0},        {D3DRS_MULTISAMPLEANTIALIAS, 0}};
    for (auto [state, value] : before)
        device->SetRenderState(state, value);
    IDirect3DTexture9* texture = Texture();
    device->SetTexture(0, texture);
    device->BeginScene();
    ASSERT_TRUE(SUCCEEDED(sprite->Begin(D3DXSPRITE_ALPHABLEND)));
    EXPECT_EQ(sprite->Begin(D3DXSPRITE_ALPHABLEND), D3DERR_INVALIDCALL) << "batches do not nest";
    DWORD value = 0;
    device->GetRenderState(D3DRS_ZENABLE, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DZB_FALSE));
    device->GetRenderState(D3DRS_CULLMODE, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DCULL_NONE));
    device->GetRenderState(D3DRS_SRCBLEND, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DBLEND_SRCALPHA));
    sprite->Draw(texture, nullptr, nullptr, nullptr, 0xFFFFFFFFu);
    sprite->End();
    device->EndScene();
    for (auto [state, expected] : before)
    {
        device->GetRenderState(state, &value);
        EXPECT_EQ(value, expected) << "state " << state;
    }
    IDirect3DBaseTexture9* bound = nullptr;
    device->GetTexture(0, &bound);
    EXPECT_EQ(bound, texture);
    bound->Release();
    device->SetTexture(0, nullptr);
    EXPECT_EQ(sprite->Draw(texture, nullptr, nullptr, nullptr, 0), D3DERR_INVALIDCALL) << "outside Begin";
    EXPECT_EQ(sprite->End(), D3DERR_INVALIDCALL);
    texture->Release();
}

TEST_F(SpriteBatchTest, ConsecutiveDrawsShareDrawsOfUpToSixteenTextures)
{
    std::vector<IDirect3DTexture9*> textures;
    for (int i = 0; i < 20; ++i)
        textures.push_back(Texture());
    headless::SetCallLogging(true);
    device->BeginScene();
    sprite->Begin(D3DXSPRITE_ALPHABLEND);
    for (int round = 0; round < 2; ++round) // the second round finds the textures already bound
        for (int i = 0; i < 12; ++i)
            sprite->Draw(textures[static_cast<std::size_t>(i)], nullptr, nullptr, nullptr, 0xFFFFFFFFu);
    for (int i = 12; i < 20; ++i)
        sprite->Draw(textures[static_cast<std::size_t>(i)], nullptr, nullptr, nullptr, 0xFFFFFFFFu);
    sprite->End();
    device->EndScene();
    std::vector<UINT> draws;
    for (const auto& c : headless::CallLog())
        if (c.kind == CallKind::Draw)
            draws.push_back(c.textureCount);
    EXPECT_EQ(draws, (std::vector<UINT>{16, 4}));
    for (IDirect3DTexture9* t : textures)
        t->Release();
}

TEST_F(SpriteBatchTest, TheMenuFrameTakesAFewDrawsAndOneAtlas)
{
    testsupport::Sprite2DScene scene;
    ASSERT_TRUE(scene.Build(device));
    const std::size_t resources = headless::Resources().size();
    devicedebug::ResetStatistics(device);
    scene.DrawFrame();
    EXPECT_LE(devicedebug::Statistics(device).draws, 10u);
    EXPECT_GE(devicedebug::Statistics(device).draws, 3u);
    // Drawing text makes nothing new: the glyphs were made with the font.
    for (int frame = 0; frame < 100; ++frame)
        scene.DrawFrame();
    EXPECT_EQ(headless::Resources().size(), resources);
    int atlases = 0;
    for (const auto& r : headless::Resources())
        atlases += r.file.rfind("font atlas", 0) == 0;
    EXPECT_EQ(atlases, 1);
}

TEST_F(SpriteBatchTest, BatchesFollowLostAndReset)
{
    ID3DXFont* font = Arial(device);
    ID3DXLine* line = nullptr;
    ASSERT_TRUE(SUCCEEDED(D3DXCreateLine(device, &line)));
    device->BeginScene();
    RECT r{0, 0, 100, 0};
    font->DrawTextW(nullptr, L"own batch", -1, &r, 0, 0xFF000000u); // the font's own batch
    device->EndScene();
    EXPECT_GT(headless::LiveDefaultResources(), 0u);
    sprite->OnLostDevice();
    font->OnLostDevice();
    line->OnLostDevice();
    EXPECT_EQ(headless::LiveDefaultResources(), 0u);
    D3DPRESENT_PARAMETERS pp;
    pp.BackBufferWidth = 640;
    pp.BackBufferHeight = 480;
    testsupport::LogCapture logged;
    device->Reset(&pp);
    EXPECT_EQ(logged.Text(), "") << "no DEFAULT-pool survivor";
    sprite->OnResetDevice();
    font->OnResetDevice();
    line->OnResetDevice();
    EXPECT_GT(headless::LiveDefaultResources(), 0u);
    // And they draw again.
    IDirect3DTexture9* texture = Texture();
    devicedebug::ResetStatistics(device);
    device->BeginScene();
    sprite->Begin(D3DXSPRITE_ALPHABLEND);
    sprite->Draw(texture, nullptr, nullptr, nullptr, 0xFFFFFFFFu);
    sprite->End();
    device->EndScene();
    EXPECT_EQ(devicedebug::Statistics(device).draws, 1u);
    texture->Release();
    line->Release();
    font->Release();
}

TEST_F(SpriteBatchTest, LinesGoThroughTheMatrixWithTheWDivision)
{
    ID3DXLine* line = nullptr;
    ASSERT_TRUE(SUCCEEDED(D3DXCreateLine(device, &line)));
    D3DXMATRIX m; // x and y halved by w = 2
    m.m[3][3] = 2.0f;
    const D3DXVECTOR3 points[3] = {{0, 0, 0}, {1, 1, 0}, {-1, 0.5f, 1}};
    headless::SetCallLogging(true);
    device->BeginScene();
    ASSERT_TRUE(SUCCEEDED(line->DrawTransform(points, 3, &m, 0xFF00FF00u)));
    EXPECT_EQ(line->DrawTransform(points, 1, &m, 0xFF00FF00u), D3DERR_INVALIDCALL);
    device->EndScene();
    const auto& log = headless::CallLog();
    ASSERT_EQ(log.size(), 4u);
    ASSERT_EQ(log[1].kind, CallKind::Line);
    ASSERT_EQ(log[1].points.size(), 3u);
    EXPECT_FLOAT_EQ(log[1].points[1].x, 0.5f);
    EXPECT_FLOAT_EQ(log[1].points[1].y, 0.5f);
    EXPECT_FLOAT_EQ(log[1].points[2].x, -0.5f);
    EXPECT_FLOAT_EQ(log[1].points[2].z, 0.5f);
    EXPECT_EQ(log[1].color, 0xFF00FF00u);
    EXPECT_EQ(log[2].kind, CallKind::Draw);
    EXPECT_EQ(log[2].primitiveType, D3DPT_LINESTRIP);
    EXPECT_EQ(log[2].primitiveCount, 2u);
    line->Release();
}

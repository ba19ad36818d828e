// The device model on the headless memory device: counting and pools, survivors of a reset,
// targets and viewports, clears and stretch-copies that really change memory, PNG files, and
// calls that are wrong.
#include "platform/d3dx9.h"
#include "platform/device_debug.h"
#include "platform/device_resources.h"
#include "platform/frame_driver.h"
#include "platform/headless.h"
#include "platform/image_codec.h"

#include "LogCapture.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace plat;
using devicedebug::ResourceInfo;
using devicedebug::ResourceKind;

namespace
{
class HeadlessDeviceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        headless::Reset();
        DXUTInit(false, false, false, true);
        ASSERT_TRUE(SUCCEEDED(DXUTCreateDevice(D3DADAPTER_DEFAULT, true, 64, 48)));
        device = DXUTGetD3D9Device();
    }
    void TearDown() override { headless::Reset(); }

    IDirect3DTexture9* Texture(UINT w, UINT h, UINT levels, DWORD usage, D3DPOOL pool)
    {
        IDirect3DTexture9* t = nullptr;
        EXPECT_TRUE(
            SUCCEEDED(device->CreateTexture(w, h, levels, usage, D3DFMT_A8R8G8B8, pool, &t, nullptr)));
        return t;
    }

    IDirect3DDevice9* device = nullptr;
};

ResourceInfo Find(unsigned creation)
{
    for (const ResourceInfo& r : headless::Resources())
        if (r.creation == creation)
            return r;
    return ResourceInfo();
}

std::vector<std::uint32_t> ReadTexture(IDirect3DTexture9* texture)
{
    D3DSURFACE_DESC desc;
    texture->GetLevelDesc(0, &desc);
    D3DLOCKED_RECT locked;
    std::vector<std::uint32_t> out;
    if (FAILED(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY)))
        return out;
    for (UINT y = 0; y < desc.Height; ++y)
    {
        const auto* row =
            reinterpret_cast<const std::uint32_t*>(static_cast<const char*>(locked.pBits) + y * locked.Pitch);
        out.insert(out.end(), row, row + desc.Width);
    }
    texture->UnlockRect(0);
    return out;
}
} // namespace

TEST_F(HeadlessDeviceTest, RegistryKeepsEveryResourceWithItsPoolAndCount)
{
    IDirect3DTexture9* managed = Texture(8, 4, 0, 0, D3DPOOL_MANAGED);
    IDirect3DTexture9* target = Texture(32, 16, 1, D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT);
    IDirect3DSurface9* depth = nullptr;
    ASSERT_TRUE(SUCCEEDED(
        device->CreateDepthStencilSurface(32, 16, D3DFMT_D24S8, D3DMULTISAMPLE_NONE, 0, 1, &depth, nullptr)));
    IDirect3DVertexBuffer9* vb = nullptr;
    ASSERT_TRUE(SUCCEEDED(device->CreateVertexBuffer(960, 0x208, 0, D3DPOOL_DEFAULT, &vb, nullptr)));
    IDirect3DIndexBuffer9* ib = nullptr;
    ASSERT_TRUE(SUCCEEDED(device->CreateIndexBuffer(60, 0, D3DFMT_INDEX16, D3DPOOL_SYSTEMMEM, &ib, nullptr)));

    // The back buffer and its depth surface come first and are the device's own.
    const std::vector<ResourceInfo> all = headless::Resources();
    ASSERT_EQ(all.size(), 7u);
    EXPECT_TRUE(all[0].implicit);
    EXPECT_EQ(all[0].width, 64u);
    EXPECT_EQ(all[1].kind, ResourceKind::DepthStencilSurface);
    struct Expect
    {
        unsigned creation;
        ResourceKind kind;
        D3DPOOL pool;
        DWORD usage;
        UINT width, height, levels, size;
    };
    const Expect table[] = {
        {3, ResourceKind::Texture, D3DPOOL_MANAGED, 0, 8, 4, 4, 0},
        {4, ResourceKind::Texture, D3DPOOL_DEFAULT, D3DUSAGE_RENDERTARGET, 32, 16, 1, 0},
        {5, ResourceKind::DepthStencilSurface, D3DPOOL_DEFAULT, D3DUSAGE_DEPTHSTENCIL, 32, 16, 0, 0},
        {6, ResourceKind::VertexBuffer, D3DPOOL_DEFAULT, 0x208, 0, 0, 0, 960},
        {7, ResourceKind::IndexBuffer, D3DPOOL_SYSTEMMEM, 0, 0, 0, 0, 60},
    };
    for (const Expect& e : table)
    {
        SCOPED_TRACE(e.creation);
        const ResourceInfo r = Find(e.creation);
        EXPECT_EQ(r.kind, e.kind);
        EXPECT_EQ(r.pool, e.pool);
        EXPECT_EQ(r.usage, e.usage);
        EXPECT_EQ(r.width, e.width);
        EXPECT_EQ(r.height, e.height);
        EXPECT_EQ(r.levels, e.levels);
        EXPECT_EQ(r.size, e.size);
        EXPECT_TRUE(r.live);
        EXPECT_EQ(r.count, 1u);
    }
    EXPECT_EQ(headless::LiveDefaultResources(), 3u);

    // A level's surface shares its texture's count; a bound resource is held by the device.
    IDirect3DSurface9* level = nullptr;
    managed->GetSurfaceLevel(1, &level);
    EXPECT_EQ(Find(3).count, 2u);
    EXPECT_EQ(level->AddRef(), 3u);
    EXPECT_EQ(level->Release(), 2u);
    device->SetTexture(0, managed);
    EXPECT_EQ(Find(3).count, 3u);
    device->SetTexture(0, nullptr);
    EXPECT_EQ(level->Release(), 1u);
    EXPECT_EQ(managed->Release(), 0u);
    EXPECT_FALSE(Find(3).live);

    for (IUnknown* u : std::initializer_list<IUnknown*>{target, depth, vb, ib})
        EXPECT_EQ(u->Release(), 0u);
    EXPECT_EQ(headless::LiveDefaultResources(), 0u);
}

// A game that makes and releases textures with every room it loads keeps a bounded registry:
// the resources alive and the last released ones, numbered on as before.
TEST_F(HeadlessDeviceTest, RegistryKeepsOnlyTheLastReleasedResources)
{
    IDirect3DTexture9* kept = Texture(4, 4, 1, 0, D3DPOOL_MANAGED);
    const unsigned made = 3 * static_cast<unsigned>(detail::DeviceLink::kReleasedKept);
    for (unsigned i = 0; i < made; ++i)
        EXPECT_EQ(Texture(4, 4, 1, 0, D3DPOOL_MANAGED)->Release(), 0u);

    const std::vector<ResourceInfo> all = headless::Resources();
    // The back buffer, its depth surface and the texture alive, and the last released.
    ASSERT_EQ(all.size(), 3u + detail::DeviceLink::kReleasedKept);
    EXPECT_TRUE(Find(3).live);
    EXPECT_EQ(Find(4).creation, 0u) << "the oldest released are gone";
    EXPECT_EQ(all.back().creation, 3u + made);
    EXPECT_FALSE(all.back().live);
    for (std::size_t i = 1; i < all.size(); ++i)
        EXPECT_LT(all[i - 1].creation, all[i].creation);

    IDirect3DTexture9* next = Texture(4, 4, 1, 0, D3DPOOL_MANAGED);
    EXPECT_EQ(devicedebug::CreationNumber(next), 4u + made);
    next->Release();
    kept->Release();
}

TEST_F(HeadlessDeviceTest, ResetNamesEachDefaultSurvivorAndKeepsTheOthers)
{
    IDirect3DTexture9* target = Texture(32, 16, 1, D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT);
    IDirect3DTexture9* managed = Texture(8, 8, 1, 0, D3DPOOL_MANAGED);
    IDirect3DVertexBuffer9* vb = nullptr;
    device->CreateVertexBuffer(96, 0x208, 0, D3DPOOL_DEFAULT, &vb, nullptr);
    // A target that stays bound is the device's to let go of.
    IDirect3DSurface9* surface = nullptr;
    target->GetSurfaceLevel(0, &surface);
    device->SetRenderTarget(0, surface);
    surface->Release();

    D3DPRESENT_PARAMETERS pp;
    pp.BackBufferWidth = 100;
    pp.BackBufferHeight = 50;
    testsupport::LogCapture logged;
    ASSERT_TRUE(SUCCEEDED(device->Reset(&pp)));
    const std::string lines = logged.Text();
    EXPECT_NE(lines.find("DEFAULT-pool texture of 32 x 16 (creation 3)"), std::string::npos) << lines;
    EXPECT_NE(lines.find("DEFAULT-pool vertex buffer of 96 bytes (creation 5)"), std::string::npos) << lines;
    EXPECT_EQ(lines.find("creation 4"), std::string::npos) << "MANAGED survives quietly: " << lines;
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 2);
    EXPECT_EQ(device->GetBackBufferDesc().Width, 100u);
    D3DVIEWPORT9 v;
    device->GetViewport(&v);
    EXPECT_EQ(v.Width, 100u);

    target->Release();
    vb->Release();
    logged.Clear();
    device->Reset(&pp);
    EXPECT_EQ(logged.Text(), "");
    managed->Release();
}

TEST_F(HeadlessDeviceTest, ClearFillsOnlyTheViewport)
{
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
    D3DVIEWPORT9 v;
    v.X = 10;
    v.Y = 5;
    v.Width = 20;
    v.Height = 10;
    ASSERT_TRUE(SUCCEEDED(device->SetViewport(&v)));
    const D3DRECT rects[2] = {{0, 0, 15, 8}, {25, 12, 64, 48}}; // both reach past the viewport
    headless::SetCallLogging(true);
    device->Clear(2, rects, D3DCLEAR_TARGET, 0xFFFF0000u, 1.0f, 0);
    device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0xFF00FF00u, 1.0f, 0); // no colour
    std::vector<D3DCOLOR> p;
    device->ReadBackBuffer(p);
    auto at = [&](int x, int y) { return p[static_cast<std::size_t>(y) * 64 + x]; };
    EXPECT_EQ(at(10, 5), 0xFFFF0000u);
    EXPECT_EQ(at(14, 7), 0xFFFF0000u);
    EXPECT_EQ(at(9, 5), 0xFF000000u);
    EXPECT_EQ(at(15, 5), 0xFF000000u);
    EXPECT_EQ(at(25, 12), 0xFFFF0000u);
    EXPECT_EQ(at(29, 14), 0xFFFF0000u);
    EXPECT_EQ(at(30, 14), 0xFF000000u);
    EXPECT_EQ(at(29, 15), 0xFF000000u);
    // The log names the rectangles actually filled.
    const auto& log = headless::CallLog();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].rect.left, 10);
    EXPECT_EQ(log[0].rect.bottom, 8);
    EXPECT_EQ(log[1].rect.right, 30);
    EXPECT_EQ(log[1].target, 1u);
    EXPECT_EQ(log[2].flags, D3DCLEAR_ZBUFFER);
}

TEST_F(HeadlessDeviceTest, SettingATargetTakesItsWholeSurfaceAsViewport)
{
    IDirect3DTexture9* target = Texture(32, 16, 1, D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT);
    IDirect3DSurface9 *surface = nullptr, *back = nullptr;
    target->GetSurfaceLevel(0, &surface);
    device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
    D3DVIEWPORT9 small;
    small.X = small.Y = 2;
    small.Width = small.Height = 4;
    device->SetViewport(&small);
    ASSERT_TRUE(SUCCEEDED(device->SetRenderTarget(0, surface)));
    D3DVIEWPORT9 v;
    device->GetViewport(&v);
    EXPECT_EQ(v.X, 0u);
    EXPECT_EQ(v.Width, 32u);
    EXPECT_EQ(v.Height, 16u);
    IDirect3DSurface9* current = nullptr;
    device->GetRenderTarget(0, &current);
    EXPECT_EQ(current, surface);
    current->Release();
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FFu, 1.0f, 0); // the target, not the back buffer
    EXPECT_EQ(ReadTexture(target).front(), 0xFF0000FFu);
    device->SetRenderTarget(0, back);
    device->GetViewport(&v);
    EXPECT_EQ(v.Width, 64u);
    EXPECT_EQ(v.Height, 48u);
    surface->Release();
    back->Release();
    target->Release();
}

TEST_F(HeadlessDeviceTest, StretchRectScalesTwoByTwoToFourByFour)
{
    // Green values 0, 100 / 200, 40; read back through a read-only lock of the target, green
    // being byte 1 of each pixel.
    IDirect3DTexture9* source = Texture(2, 2, 1, 0, D3DPOOL_MANAGED);
    D3DLOCKED_RECT locked;
    source->LockRect(0, &locked, nullptr, 0);
    const std::uint32_t texels[4] = {0xFF000000u, 0xFF006400u, 0xFF00C800u, 0xFF002800u};
    std::memcpy(locked.pBits, texels, 8);
    std::memcpy(static_cast<char*>(locked.pBits) + locked.Pitch, texels + 2, 8);
    source->UnlockRect(0);
    IDirect3DTexture9* dest = Texture(4, 4, 1, D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT);
    IDirect3DSurface9 *from = nullptr, *to = nullptr;
    source->GetSurfaceLevel(0, &from);
    dest->GetSurfaceLevel(0, &to);
    struct Case
    {
        D3DTEXTUREFILTERTYPE filter;
        int green[4][4];
    };
    const Case cases[] = {
        {D3DTEXF_POINT, {{0, 0, 100, 100}, {0, 0, 100, 100}, {200, 200, 40, 40}, {200, 200, 40, 40}}},
        {D3DTEXF_NONE, {{0, 0, 100, 100}, {0, 0, 100, 100}, {200, 200, 40, 40}, {200, 200, 40, 40}}},
        // Bilinear with the edges clamped: weights 1, 3/4, 1/4 along each axis.
        {D3DTEXF_LINEAR, {{0, 25, 75, 100}, {50, 59, 76, 85}, {150, 126, 79, 55}, {200, 160, 80, 40}}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.filter);
        ASSERT_TRUE(SUCCEEDED(device->StretchRect(from, nullptr, to, nullptr, c.filter)));
        ASSERT_TRUE(SUCCEEDED(to->LockRect(&locked, nullptr, D3DLOCK_READONLY)));
        EXPECT_EQ(locked.Pitch, 16);
        const auto* bytes = static_cast<const std::uint8_t*>(locked.pBits);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                EXPECT_EQ(bytes[y * locked.Pitch + 4 * x + 1], c.green[y][x]) << x << ", " << y;
        to->UnlockRect();
    }
    // Only render targets receive a copy.
    EXPECT_EQ(device->StretchRect(to, nullptr, from, nullptr, D3DTEXF_POINT), D3DERR_INVALIDCALL);
    from->Release();
    to->Release();
    source->Release();
    dest->Release();
}

TEST_F(HeadlessDeviceTest, StretchRectOfEqualSizesCopiesTheRectangleExactly)
{
    // A 5 x 4 source of distinct pixels; its rectangle (1, 1)-(4, 3) lands at (2, 1) of a 6 x 4
    // target cleared to 0xFF0000FF, and nothing else of the target changes.
    IDirect3DTexture9* source = Texture(5, 4, 1, 0, D3DPOOL_MANAGED);
    D3DLOCKED_RECT locked;
    source->LockRect(0, &locked, nullptr, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            static_cast<std::uint32_t*>(locked.pBits)[y * 5 + x] = 0xFF000000u | (y << 8) | x;
    source->UnlockRect(0);
    IDirect3DTexture9* dest = Texture(6, 4, 1, D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT);
    IDirect3DSurface9 *from = nullptr, *to = nullptr;
    source->GetSurfaceLevel(0, &from);
    dest->GetSurfaceLevel(0, &to);
    const RECT sr = {1, 1, 4, 3}, dr = {2, 1, 5, 3};
    for (D3DTEXTUREFILTERTYPE filter : {D3DTEXF_POINT, D3DTEXF_LINEAR})
    {
        SCOPED_TRACE(filter);
        device->SetRenderTarget(0, to);
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FFu, 1.0f, 0);
        ASSERT_TRUE(SUCCEEDED(device->StretchRect(from, &sr, to, &dr, filter)));
        const std::vector<std::uint32_t> pixels = ReadTexture(dest);
        ASSERT_EQ(pixels.size(), 24u);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 6; ++x)
            {
                const bool inside = x >= 2 && x < 5 && y >= 1 && y < 3;
                // Target (x, y) shows source (x - 1, y).
                const std::uint32_t expected = inside ? 0xFF000000u | (y << 8) | (x - 1) : 0xFF0000FFu;
                EXPECT_EQ(pixels[static_cast<std::size_t>(y * 6 + x)], expected) << x << ", " << y;
            }
    }
    from->Release();
    to->Release();
    source->Release();
    dest->Release();
}

TEST_F(HeadlessDeviceTest, SavedSurfaceReadsBackEqualAndOpaque)
{
    testsupport::TempWorkDir dir;
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x80102030u, 1.0f, 0);
    D3DVIEWPORT9 v;
    v.X = 4;
    v.Y = 40;
    v.Width = 8;
    v.Height = 8;
    device->SetViewport(&v);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFFFF00u, 1.0f, 0);
    IDirect3DSurface9* back = nullptr;
    device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
    ASSERT_TRUE(SUCCEEDED(D3DXSaveSurfaceToFileW(L"shot.png", D3DXIFF_PNG, back, nullptr, nullptr)));
    EXPECT_EQ(D3DXSaveSurfaceToFileW(L"shot.jpg", D3DXIFF_JPG, back, nullptr, nullptr), D3DERR_INVALIDCALL);
    back->Release();
    std::vector<unsigned char> bytes;
    std::string reason;
    detail::DecodedImage image;
    ASSERT_TRUE(detail::ReadWholeFile("shot.png", bytes, reason)) << reason;
    ASSERT_TRUE(detail::DecodeImage(bytes.data(), bytes.size(), 1024, image, reason)) << reason;
    ASSERT_EQ(image.width, 64u);
    ASSERT_EQ(image.height, 48u);
    EXPECT_FALSE(image.hasAlpha);
    std::vector<D3DCOLOR> pixels;
    device->ReadBackBuffer(pixels);
    for (D3DCOLOR& p : pixels)
        p |= 0xFF000000u; // the file is opaque
    EXPECT_EQ(image.pixels, pixels);
    EXPECT_EQ(image.pixels[0], 0xFF102030u);
    EXPECT_EQ(image.pixels[47 * 64 + 11], 0xFFFFFF00u); // the bottom row is the last
}

TEST_F(HeadlessDeviceTest, WrongCallsAreRefusedAndChangeNothing)
{
    IDirect3DTexture9* managed = Texture(8, 8, 1, 0, D3DPOOL_MANAGED);
    IDirect3DTexture9* target = Texture(8, 8, 1, D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT);
    IDirect3DSurface9 *plain = nullptr, *rt = nullptr;
    managed->GetSurfaceLevel(0, &plain);
    target->GetSurfaceLevel(0, &rt);
    IDirect3DVertexBuffer9* vb = nullptr;
    device->CreateVertexBuffer(64, 0, 0, D3DPOOL_MANAGED, &vb, nullptr);
    IDirect3DIndexBuffer9* ib = nullptr;
    device->CreateIndexBuffer(12, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib, nullptr);
    const std::size_t resourcesBefore = headless::Resources().size();
    D3DVIEWPORT9 viewportBefore;
    device->GetViewport(&viewportBefore);

    void* data = nullptr;
    D3DLOCKED_RECT locked;
    IDirect3DTexture9* t = nullptr;
    IDirect3DVertexBuffer9* noBuffer = nullptr;
    const RECT outside{4, 4, 9, 8};
    D3DVIEWPORT9 tooWide;
    tooWide.Width = 65;
    tooWide.Height = 10;
    const float plane[4] = {1, 0, 0, 0};
    const D3DVERTEXELEMENT9 twice[] = {{0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0},
                                       {0, 12, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0},
                                       D3DDECL_END()};
    IDirect3DVertexDeclaration9* decl = nullptr;
    const float vertex[4] = {};
    struct Case
    {
        const char* name;
        HRESULT result;
    };
    const Case cases[] = {
        {"lock past the end", vb->Lock(60, 8, &data, 0)},
        {"lock without an out pointer", vb->Lock(0, 0, nullptr, 0)},
        {"lock a rectangle outside the level", managed->LockRect(0, &locked, &outside, 0)},
        {"lock a level that does not exist", managed->LockRect(1, &locked, nullptr, 0)},
        {"write-lock a render target", target->LockRect(0, &locked, nullptr, 0)},
        {"unlock what is not locked", vb->Unlock()},
        {"unknown render state", device->SetRenderState(static_cast<D3DRENDERSTATETYPE>(200), 1)},
        {"cull mode 7", device->SetRenderState(D3DRS_CULLMODE, 7)},
        {"fill mode 0", device->SetRenderState(D3DRS_FILLMODE, 0)},
        {"clip plane bit 6", device->SetRenderState(D3DRS_CLIPPLANEENABLE, 0x40)},
        {"clip plane 6", device->SetClipPlane(6, plane)},
        {"clip plane from null", device->SetClipPlane(0, nullptr)},
        {"texture stage 16", device->SetTexture(16, managed)},
        {"render target 1", device->SetRenderTarget(1, rt)},
        {"no render target", device->SetRenderTarget(0, nullptr)},
        {"a texture that is no render target", device->SetRenderTarget(0, plain)},
        {"a viewport wider than the target", device->SetViewport(&tooWide)},
        {"a texture without size",
         device->CreateTexture(0, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &t, nullptr)},
        {"a texture past the largest",
         device->CreateTexture(8193, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &t, nullptr)},
        {"a depth format for a texture",
         device->CreateTexture(8, 8, 1, 0, D3DFMT_D24S8, D3DPOOL_MANAGED, &t, nullptr)},
        {"a managed render target", device->CreateTexture(8, 8, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8,
                                                          D3DPOOL_MANAGED, &t, nullptr)},
        {"more levels than the chain",
         device->CreateTexture(8, 8, 5, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &t, nullptr)},
        {"an empty vertex buffer", device->CreateVertexBuffer(0, 0, 0, D3DPOOL_MANAGED, &noBuffer, nullptr)},
        {"an element used twice", device->CreateVertexDeclaration(twice, &decl)},
        {"a stream offset past the buffer", device->SetStreamSource(0, vb, 64, 12)},
        {"a draw outside a scene", device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, vertex, 12)},
        {"a copy into a texture that is no target",
         device->StretchRect(rt, nullptr, plain, nullptr, D3DTEXF_POINT)},
        {"a copy of a surface into itself", device->StretchRect(rt, nullptr, rt, nullptr, D3DTEXF_POINT)},
        {"a depth clear without depth",
         (device->SetDepthStencilSurface(nullptr), device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0))},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.result, D3DERR_INVALIDCALL) << c.name;
    EXPECT_EQ(t, nullptr);
    EXPECT_EQ(decl, nullptr);
    EXPECT_EQ(headless::Resources().size(), resourcesBefore);
    DWORD value = 0;
    device->GetRenderState(D3DRS_CULLMODE, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DCULL_CCW));
    device->GetRenderState(D3DRS_FILLMODE, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DFILL_SOLID));
    device->GetRenderState(D3DRS_CLIPPLANEENABLE, &value);
    EXPECT_EQ(value, 0u);
    D3DVIEWPORT9 viewport;
    device->GetViewport(&viewport);
    EXPECT_EQ(viewport.Width, viewportBefore.Width);
    IDirect3DSurface9* current = nullptr;
    device->GetRenderTarget(0, &current);
    EXPECT_EQ(devicedebug::CreationNumber(current), 1u);
    current->Release();
    IDirect3DBaseTexture9* bound = nullptr;
    device->GetTexture(0, &bound);
    EXPECT_EQ(bound, nullptr);

    plain->Release();
    rt->Release();
    managed->Release();
    target->Release();
    vb->Release();
    ib->Release();
}

TEST_F(HeadlessDeviceTest, IndexedDrawsStayInsideTheirBuffers)
{
    // The engine's 60 bytes of attributes over 96-byte vertices.
    const D3DVERTEXELEMENT9 general[] = {{0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0},
                                         {0, 12, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_NORMAL, 0},
                                         {0, 24, D3DDECLTYPE_FLOAT2, 0, D3DDECLUSAGE_TEXCOORD, 0},
                                         {0, 32, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_TANGENT, 0},
                                         {0, 44, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_BINORMAL, 0},
                                         {0, 56, D3DDECLTYPE_D3DCOLOR, 0, D3DDECLUSAGE_COLOR, 0},
                                         D3DDECL_END()};
    IDirect3DVertexDeclaration9* decl = nullptr;
    ASSERT_TRUE(SUCCEEDED(device->CreateVertexDeclaration(general, &decl)));
    UINT count = 0;
    decl->GetDeclaration(nullptr, &count);
    EXPECT_EQ(count, 7u);
    IDirect3DVertexBuffer9* vb = nullptr;
    device->CreateVertexBuffer(4 * 96, 0x208, 0, D3DPOOL_DEFAULT, &vb, nullptr);
    IDirect3DIndexBuffer9* ib = nullptr;
    device->CreateIndexBuffer(6 * 2, 0x208, D3DFMT_INDEX16, D3DPOOL_DEFAULT, &ib, nullptr);
    void* data = nullptr;
    ib->Lock(0, 0, &data, D3DLOCK_DISCARD);
    const std::uint16_t indices[6] = {0, 1, 2, 2, 1, 3};
    std::memcpy(data, indices, sizeof indices);
    ib->Unlock();
    device->SetVertexDeclaration(decl);
    device->SetStreamSource(0, vb, 0, 96);
    device->SetIndices(ib);
    headless::SetCallLogging(true);
    device->BeginScene();
    EXPECT_TRUE(SUCCEEDED(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2)));
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 1, 0, 4, 0, 2), D3DERR_INVALIDCALL)
        << "vertex 4 lies past the buffer";
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 3, 2), D3DERR_INVALIDCALL)
        << "indices past the index buffer";
    device->EndScene();
    const auto& log = headless::CallLog();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[1].kind, devicedebug::CallKind::Draw);
    EXPECT_EQ(log[1].primitiveCount, 2u);
    EXPECT_EQ(log[1].vertexCount, 4u);
    decl->Release();
    vb->Release();
    ib->Release();
}

TEST_F(HeadlessDeviceTest, AResourceOutlivingItsDeviceIsHarmless)
{
    IDirect3DTexture9* texture = Texture(4, 4, 1, 0, D3DPOOL_MANAGED);
    IDirect3DVertexBuffer9* vb = nullptr;
    device->CreateVertexBuffer(64, 0x208, 0, D3DPOOL_DEFAULT, &vb, nullptr);
    device->AddRef(); // someone keeps the device too
    DXUTShutdown();
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), D3DERR_INVALIDCALL);
    IDirect3DDevice9* owner = nullptr;
    EXPECT_EQ(texture->GetDevice(&owner), D3DERR_INVALIDCALL);
    void* data = nullptr;
    EXPECT_TRUE(SUCCEEDED(vb->Lock(0, 0, &data, 0)));
    EXPECT_TRUE(SUCCEEDED(vb->Unlock()));
    EXPECT_EQ(vb->Release(), 0u);
    EXPECT_EQ(texture->Release(), 0u);
    EXPECT_EQ(device->Release(), 0u);
}

TEST(D3DXColor, ChannelsRoundAsTheSpriteColoursDo)
{
    EXPECT_EQ(static_cast<D3DCOLOR>(D3DXCOLOR(1.5f, -0.2f, 0.5f, 1.0f)), 0xFFFF0080u);
    EXPECT_EQ(static_cast<D3DCOLOR>(D3DXCOLOR(0.0f, 1.0f, 0.25f, 0.0f)), 0x0000FF40u);
    EXPECT_EQ(D3DXColorChannelToByte(0.001f), 0u);
    EXPECT_EQ(D3DXColorChannelToByte(0.999f), 255u);
}

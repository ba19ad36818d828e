// Effects on the OpenGL device under Xvfb with Mesa's software renderer: quads drawn through the
// test effects (texel colours exact, depth, the y direction, clip plane 1, the pass-through for
// pre-transformed quads, a camera shared through the pool), every test effect compiling and
// linking, compiler messages mapped back to the .fx lines, programs built only at load and
// values uploaded only when they changed. Pictures under screenshots/ in the build folder.
#include "GLDeviceFixture.h"
#include "TestSupport.h"
#include "VirtualDisplay.h"

#include "platform/d3dx9.h"
#include "platform/device_debug.h"
#include "platform/effect_debug.h"
#include "platform/frame_driver.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
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

const std::string kQuad = testsupport::RepoPath("tests/data/fx/Quad.fx");
const std::string kTint = testsupport::RepoPath("tests/data/fx/Tint.fx");
const std::string kWater2 = testsupport::RepoPath("tests/data/fx/Water2.fx");

struct ModelVertex // POSITION, TEXCOORD0
{
    float x, y, z;
    float u, v;
};

struct ScreenVertex // POSITIONT, TEXCOORD0 (no colour: the pass-through makes it white)
{
    float x, y, z, rhw;
    float u, v;
};

// The unit square at depth z: x and y from 0 to 1, y down the texture.
void UnitSquare(float z, ModelVertex (&quad)[4])
{
    quad[0] = {0, 0, z, 0, 0};
    quad[1] = {1, 0, z, 1, 0};
    quad[2] = {0, 1, z, 0, 1};
    quad[3] = {1, 1, z, 1, 1};
}

D3DXMATRIX Scale(float x, float y)
{
    D3DXMATRIX m;
    m.m[0][0] = x;
    m.m[1][1] = y;
    return m;
}

D3DXMATRIX Move(float x, float y, float z = 0)
{
    D3DXMATRIX m;
    m.m[3][0] = x;
    m.m[3][1] = y;
    m.m[3][2] = z;
    return m;
}

// Row vectors: the square scaled to w x h and moved to (x, y), in clip space.
D3DXMATRIX Place(float x, float y, float w, float h)
{
    D3DXMATRIX m = Scale(w, h);
    m.m[3][0] = x;
    m.m[3][1] = y;
    return m;
}

D3DXVECTOR4 Colour(D3DCOLOR c)
{
    return {((c >> 16) & 0xFF) / 255.0f, ((c >> 8) & 0xFF) / 255.0f, (c & 0xFF) / 255.0f, 1.0f};
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class GLEffectTest : public testsupport::GLDeviceFixture
{
protected:
    GLEffectTest() : GLDeviceFixture(kWidth, kHeight) {}

    void SetUp() override
    {
        GLDeviceFixture::SetUp();
        if (!device)
            return;
        const D3DVERTEXELEMENT9 model[] = {{0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0},
                                           {0, 12, D3DDECLTYPE_FLOAT2, 0, D3DDECLUSAGE_TEXCOORD, 0},
                                           D3DDECL_END()};
        ASSERT_TRUE(SUCCEEDED(device->CreateVertexDeclaration(model, &modelDecl)));
        const D3DVERTEXELEMENT9 screen[] = {{0, 0, D3DDECLTYPE_FLOAT4, 0, D3DDECLUSAGE_POSITIONT, 0},
                                            {0, 16, D3DDECLTYPE_FLOAT2, 0, D3DDECLUSAGE_TEXCOORD, 0},
                                            D3DDECL_END()};
        ASSERT_TRUE(SUCCEEDED(device->CreateVertexDeclaration(screen, &screenDecl)));
        devicedebug::ResetStatistics(device);
    }

    void TearDown() override
    {
        for (ID3DXEffect* e : effects)
            e->Release();
        for (IUnknown* object : {static_cast<IUnknown*>(pool), static_cast<IUnknown*>(modelDecl),
                                 static_cast<IUnknown*>(screenDecl)})
            if (object)
                object->Release();
        GLDeviceFixture::TearDown();
    }

    ID3DXEffect* Load(const std::string& path, std::string* errorText = nullptr)
    {
        ID3DXEffect* effect = nullptr;
        ID3DXBuffer* errors = nullptr;
        const HRESULT hr = D3DXCreateEffectFromFileW(device, ToWide(path).c_str(), nullptr, nullptr, 0, pool,
                                                     &effect, &errors);
        const std::string text = errors ? static_cast<const char*>(errors->GetBufferPointer()) : "";
        if (errorText)
            *errorText = text;
        else
            EXPECT_TRUE(SUCCEEDED(hr)) << text;
        if (errors)
            errors->Release();
        if (effect)
            effects.push_back(effect);
        return effect;
    }

    void StartFrame()
    {
        device->BeginScene();
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBackground, 1.0f, 0);
    }

    // The unit square through the effect's current pass (values committed first).
    void DrawSquare(ID3DXEffect* effect, float z = 0.5f)
    {
        ModelVertex quad[4];
        UnitSquare(z, quad);
        effect->CommitChanges();
        device->SetVertexDeclaration(modelDecl);
        ASSERT_TRUE(SUCCEEDED(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(ModelVertex))));
    }

    IDirect3DTexture9* MakeTexture(UINT width, UINT height, const std::vector<std::uint32_t>& texels)
    {
        return testsupport::MakeTexture(device, width, height, texels);
    }

    IDirect3DVertexDeclaration9* modelDecl = nullptr;
    IDirect3DVertexDeclaration9* screenDecl = nullptr;
    ID3DXEffectPool* pool = nullptr;
    std::vector<ID3DXEffect*> effects;
};
} // namespace

TEST_F(GLEffectTest, TexelColoursComeOutExactlyWithoutLight)
{
    // 4 x 4 texels, each its own colour, spread over pixels 32..95 x 48..111: 16 x 16 pixels each.
    std::vector<std::uint32_t> texels(16);
    for (UINT i = 0; i < 16; ++i)
        texels[i] = D3DCOLOR_XRGB(20 + 15 * i, 250 - 13 * i, (i % 2) ? 200 : 30);
    IDirect3DTexture9* texture = MakeTexture(4, 4, texels);
    ASSERT_NE(texture, nullptr);
    ID3DXEffect* e = Load(kQuad);
    ASSERT_NE(e, nullptr);
    ASSERT_TRUE(SUCCEEDED(e->SetTechnique("Texel")));
    ASSERT_TRUE(SUCCEEDED(e->SetTexture("g_Texture1", texture)));
    // World scales, the camera moves: row vectors apply the world first.
    const D3DXMATRIX world = Scale(0.4f, -64.0f / 120.0f);
    const D3DXMATRIX camera = Move(-0.8f, 0.6f);
    ASSERT_TRUE(SUCCEEDED(e->SetMatrix(e->GetParameterBySemantic(nullptr, "World"), &world)));
    ASSERT_TRUE(SUCCEEDED(e->SetMatrix(e->GetParameterBySemantic(nullptr, "ViewProjection"), &camera)));
    StartFrame();
    UINT passes = 0;
    ASSERT_TRUE(SUCCEEDED(e->Begin(&passes, 0)));
    ASSERT_TRUE(SUCCEEDED(e->BeginPass(0)));
    DrawSquare(e);
    e->EndPass();
    e->End();
    Finish("gl_effect_texels.png");
    int wrong = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            wrong += At(32 + x, 48 + y) != (texels[(y / 16) * 4 + x / 16] | 0xFF000000u);
    EXPECT_EQ(wrong, 0) << "pixels that differ from their texel";
    EXPECT_EQ(At(31, 60), kBackground);
    EXPECT_EQ(At(96, 60), kBackground);
    EXPECT_EQ(At(60, 47), kBackground);
    EXPECT_EQ(At(60, 112), kBackground);
    texture->Release();
}

TEST_F(GLEffectTest, PassThroughDrawsPreTransformedQuadsTexelForTexel)
{
    // A pass without a vertex block: POSITIONT through the half-pixel rule, white without a colour.
    constexpr UINT kSize = 64;
    std::vector<std::uint32_t> texels(kSize * kSize);
    for (UINT y = 0; y < kSize; ++y)
        for (UINT x = 0; x < kSize; ++x)
            texels[y * kSize + x] = D3DCOLOR_XRGB(4 * x, 4 * y, ((x / 8 + y / 8) % 2) ? 220 : 40);
    IDirect3DTexture9* texture = MakeTexture(kSize, kSize, texels);
    ASSERT_NE(texture, nullptr);
    ID3DXEffect* e = Load(kQuad);
    ASSERT_NE(e, nullptr);
    ASSERT_TRUE(SUCCEEDED(e->SetTechnique("ScreenTexel")));
    ASSERT_TRUE(SUCCEEDED(e->SetTexture("g_Texture1", texture)));
    const float x0 = 99.5f, y0 = 49.5f, x1 = x0 + kSize, y1 = y0 + kSize;
    const ScreenVertex quad[4] = {
        {x0, y0, 0, 1, 0, 0}, {x1, y0, 0, 1, 1, 0}, {x0, y1, 0, 1, 0, 1}, {x1, y1, 0, 1, 1, 1}};
    StartFrame();
    UINT passes = 0;
    e->Begin(&passes, 0);
    e->BeginPass(0);
    device->SetVertexDeclaration(screenDecl);
    ASSERT_TRUE(SUCCEEDED(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(ScreenVertex))));
    e->EndPass();
    e->End();
    Finish("gl_effect_pass_through.png");
    int wrong = 0;
    for (UINT y = 0; y < kSize; ++y)
        for (UINT x = 0; x < kSize; ++x)
            wrong += At(100 + static_cast<int>(x), 50 + static_cast<int>(y)) !=
                     (texels[y * kSize + x] | 0xFF000000u);
    EXPECT_EQ(wrong, 0) << "pixels that differ from their texel";
    EXPECT_EQ(At(99, 50), kBackground);
    EXPECT_EQ(At(100 + kSize, 50), kBackground);
    EXPECT_EQ(At(100, 50 + kSize), kBackground);
    texture->Release();
}

TEST_F(GLEffectTest, NearQuadHidesFarQuadWhicheverComesFirst)
{
    ID3DXEffect* e = Load(kQuad);
    ASSERT_NE(e, nullptr);
    ASSERT_TRUE(SUCCEEDED(e->SetTechnique("Flat")));
    const D3DXMATRIX identity;
    e->SetMatrix("g_ViewProjection", &identity);
    StartFrame();
    UINT passes = 0;
    e->Begin(&passes, 0);
    e->BeginPass(0);
    // Near and red first (left), then far and blue (right), overlapping in the middle; then the
    // other way round lower down.
    struct Draw
    {
        D3DXMATRIX place;
        float z;
        D3DCOLOR colour;
    };
    const Draw draws[] = {
        {Place(-0.75f, 0.8f, 1.0f, -0.6f), 0.2f, kRed},   // pixels 40..199, rows 24..95
        {Place(-0.25f, 0.8f, 1.0f, -0.6f), 0.8f, kBlue},  // pixels 120..279
        {Place(-0.25f, -0.1f, 1.0f, -0.6f), 0.8f, kBlue}, // rows 132..203
        {Place(-0.75f, -0.1f, 1.0f, -0.6f), 0.2f, kRed},
    };
    for (const Draw& d : draws)
    {
        const D3DXVECTOR4 colour = Colour(d.colour);
        e->SetMatrix("g_World", &d.place);
        e->SetVector("g_Colour", &colour);
        DrawSquare(e, d.z);
    }
    e->EndPass();
    e->End();
    Finish("gl_effect_depth.png");
    for (int y : {60, 170})
    {
        SCOPED_TRACE(y);
        EXPECT_EQ(At(60, y), kRed);
        EXPECT_EQ(At(160, y), kRed); // the overlap: the near quad wins
        EXPECT_EQ(At(240, y), kBlue);
        EXPECT_EQ(At(300, y), kBackground);
    }
}

TEST_F(GLEffectTest, UpperHalfOfClipSpaceIsTheTopOfThePicture)
{
    ID3DXEffect* e = Load(kQuad);
    ASSERT_NE(e, nullptr);
    ASSERT_TRUE(SUCCEEDED(e->SetTechnique("Flat")));
    const D3DXMATRIX identity;
    const D3DXMATRIX upper = Place(-0.5f, 0.75f, 1.0f, -0.5f); // clip y 0.75 down to 0.25
    const D3DXVECTOR4 green = Colour(kGreen);
    e->SetMatrix("g_ViewProjection", &identity);
    e->SetMatrix("g_World", &upper);
    e->SetVector("g_Colour", &green);
    StartFrame();
    UINT passes = 0;
    e->Begin(&passes, 0);
    e->BeginPass(0);
    DrawSquare(e);
    e->EndPass();
    e->End();
    Finish("gl_effect_upper_half.png");
    EXPECT_EQ(At(160, 25), kBackground); // rows 0..29 lie above y = 0.75
    EXPECT_EQ(At(160, 35), kGreen);
    EXPECT_EQ(At(160, 60), kGreen);
    EXPECT_EQ(At(160, 85), kGreen);
    EXPECT_EQ(At(160, 95), kBackground); // below y = 0.25
    EXPECT_EQ(At(160, 180), kBackground);
}

TEST_F(GLEffectTest, ClipPlaneOneCutsAQuadWhereExpected)
{
    ID3DXEffect* e = Load(kQuad);
    ASSERT_NE(e, nullptr);
    ASSERT_TRUE(SUCCEEDED(e->SetTechnique("Flat")));
    const D3DXMATRIX identity;
    const D3DXMATRIX square = Place(-0.5f, 0.5f, 1.0f, -1.0f); // clip x -0.5..0.5, y 0.5..-0.5
    const D3DXVECTOR4 blue = Colour(kBlue);
    e->SetMatrix("g_ViewProjection", &identity);
    e->SetMatrix("g_World", &square);
    e->SetVector("g_Colour", &blue);
    // Plane 1 keeps x >= 0.25 w: pixels from 200 on.
    const float keep[4] = {1, 0, 0, -0.25f};
    device->SetClipPlane(1, keep);
    device->SetRenderState(D3DRS_CLIPPLANEENABLE, D3DCLIPPLANE1);
    StartFrame();
    UINT passes = 0;
    e->Begin(&passes, 0);
    e->BeginPass(0);
    DrawSquare(e);
    e->EndPass();
    e->End();
    Finish("gl_effect_clip_plane.png");
    EXPECT_EQ(At(100, 120), kBackground);
    EXPECT_EQ(At(197, 120), kBackground);
    EXPECT_EQ(At(202, 120), kBlue);
    EXPECT_EQ(At(235, 70), kBlue);
    EXPECT_EQ(At(245, 120), kBackground); // right of the square
}

TEST_F(GLEffectTest, SharedCameraReachesEveryEffectOfThePool)
{
    ASSERT_TRUE(SUCCEEDED(D3DXCreateEffectPool(&pool)));
    ID3DXEffect* quad = Load(kQuad);
    ID3DXEffect* tint = Load(kTint);
    ASSERT_NE(quad, nullptr);
    ASSERT_NE(tint, nullptr);
    D3DXHANDLE camera = quad->GetParameterBySemantic(nullptr, "ViewProjection");
    const D3DXMATRIX small = Scale(0.25f, -0.25f);
    tint->SetMatrix("g_World", &small);
    StartFrame();
    // The camera is set through the one effect and moves the other's quad, frame after frame.
    const float left[2] = {-0.75f, 0.5f}, right[2] = {0.25f, 0.5f};
    for (const float* at : {left, right})
    {
        const D3DXMATRIX move = Move(at[0], at[1]);
        ASSERT_TRUE(SUCCEEDED(quad->SetMatrix(camera, &move)));
        UINT passes = 0;
        tint->Begin(&passes, 0);
        tint->BeginPass(0);
        DrawSquare(tint);
        tint->EndPass();
        tint->End();
    }
    Finish("gl_effect_shared_camera.png");
    EXPECT_EQ(At(60, 75), kGreen);  // x -0.75..-0.5 (pixels 40..79), y 0.5..0.25 (rows 60..89)
    EXPECT_EQ(At(220, 75), kGreen); // x 0.25..0.5
    EXPECT_EQ(At(120, 75), kBackground);
    EXPECT_EQ(At(60, 160), kBackground);
}

TEST_F(GLEffectTest, ProgramsAreBuiltAtLoadAndValuesUploadedOnlyWhenChanged)
{
    ID3DXEffect* e = Load(kQuad);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(devicedebug::Statistics(device).effectPrograms, 5u); // one per pass
    ASSERT_TRUE(SUCCEEDED(e->SetTechnique("Flat")));
    const D3DXMATRIX identity;
    e->SetMatrix("g_ViewProjection", &identity);
    e->SetMatrix("g_World", &identity);
    auto frame = [&](auto between)
    {
        StartFrame();
        UINT passes = 0;
        e->Begin(&passes, 0);
        e->BeginPass(0);
        between();
        DrawSquare(e);
        e->EndPass();
        e->End();
        device->EndScene();
    };
    frame([] {});
    const unsigned first = devicedebug::Statistics(device).uniformUploads;
    EXPECT_GE(first, 6u); // every value the program reads, once
    for (int i = 0; i < 20; ++i)
        frame([] {});
    EXPECT_EQ(devicedebug::Statistics(device).uniformUploads, first) << "nothing changed, nothing sent";
    // One shared float changed between passes: one call at the next commit.
    frame([&] { e->SetFloat("g_time", 3.0f); });
    EXPECT_EQ(devicedebug::Statistics(device).uniformUploads, first + 1);
    // A struct-free array of three float2 goes in one call.
    frame([&] { e->SetFloatArray("g_Offsets", std::vector<float>{1, 1, 2, 2, 3, 3}.data(), 6); });
    EXPECT_EQ(devicedebug::Statistics(device).uniformUploads, first + 2);
    EXPECT_EQ(devicedebug::Statistics(device).effectPrograms, 5u) << "no program is built while drawing";
}

TEST_F(GLEffectTest, EveryTestEffectCompilesAndLinks)
{
    testsupport::TempWorkDir dir;
    // The format document's full example too.
    const std::string doc = ReadFile(testsupport::RepoPath("docs/fx-format.md"));
    const std::size_t start = doc.find("```fx\n");
    const std::size_t end = doc.find("```", start + 6);
    ASSERT_NE(start, std::string::npos);
    std::ofstream(dir.Path() + "/Example.fx") << doc.substr(start + 6, end - start - 6);
    struct Case
    {
        std::string path;
        unsigned passes;
    };
    const Case cases[] = {{kQuad, 5}, {kTint, 1}, {kWater2, 1}, {dir.Path() + "/Example.fx", 3}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.path);
        const unsigned before = devicedebug::Statistics(device).effectPrograms;
        EXPECT_NE(Load(c.path), nullptr);
        EXPECT_EQ(devicedebug::Statistics(device).effectPrograms, before + c.passes);
    }
}

TEST_F(GLEffectTest, CompilerMessagesNameTheFxFileAndLine)
{
    testsupport::TempWorkDir dir;
    const std::string blocks = "float4 g_Colour;\n"                                 // 1
                               "glsl vertex VS\n"                                   // 2
                               "{\n"                                                // 3
                               "    void main() { plat_Position = in_Position; }\n" // 4
                               "}\n";                                               // 5
    struct Case
    {
        const char* what;
        std::string text;
        std::string start; // what the error text starts with, after "<path>:"
        std::string contains;
    };
    const Case cases[] = {
        {"fragment block",
         blocks + "glsl fragment PS\n{\n    void main()\n    {\n        plat_Color = g_Colour * "
                  "undeclared_thing;\n"
                  "    }\n}\ntechnique T { pass { VertexShader = VS; FragmentShader = PS; } }\n",
         "10: ", "undeclared_thing"},
        {"vertex block",
         "glsl vertex VS\n{\n    void main()\n    {\n        plat_Position = in_Position + vec3(1.0);\n    "
         "}\n}\n"
         "glsl fragment PS { void main() { plat_Color = vec4(1.0); } }\n"
         "technique T { pass { VertexShader = VS; FragmentShader = PS; } }\n",
         "5: ", "error"},
        {"stages that do not link",
         "glsl fragment PS\n{\n    vec4 Shade();\n    void main() { plat_Color = Shade(); }\n}\n"
         "technique T\n{\n    pass P0\n    {\n        FragmentShader = PS;\n    }\n}\n",
         "8: technique \"T\", pass 0: its stages do not link: ", "Shade"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        std::ofstream(dir.Path() + "/Bad.fx") << c.text;
        const unsigned before = devicedebug::Statistics(device).effectPrograms;
        std::string error;
        EXPECT_EQ(Load(dir.Path() + "/Bad.fx", &error), nullptr);
        const std::string prefix = dir.Path() + "/Bad.fx:" + c.start;
        EXPECT_EQ(error.compare(0, prefix.size(), prefix), 0) << error;
        EXPECT_NE(error.find(c.contains), std::string::npos) << error;
        EXPECT_EQ(devicedebug::Statistics(device).effectPrograms, before);
    }
}

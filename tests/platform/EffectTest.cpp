// Effects on the headless device: the same parser as the OpenGL device and no GLSL. Handles by
// name, semantic, element, member and index; descriptions; values with their conversions;
// annotations; the shared pool; Begin/End with the state they save; the call log; errors;
// reference counts; lost and reset; null handles.
#include "platform/d3dx9.h"
#include "platform/device_debug.h"
#include "platform/effect_debug.h"
#include "platform/frame_driver.h"
#include "platform/headless.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace plat;

namespace
{
const std::string kQuad = testsupport::RepoPath("tests/data/fx/Quad.fx");
const std::string kTint = testsupport::RepoPath("tests/data/fx/Tint.fx");
const std::string kWater2 = testsupport::RepoPath("tests/data/fx/Water2.fx");

void WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
}

std::string Text(ID3DXBuffer* buffer)
{
    return buffer ? std::string(static_cast<const char*>(buffer->GetBufferPointer())) : std::string();
}

ULONG Count(IUnknown* object)
{
    object->AddRef();
    return object->Release();
}

D3DXMATRIX Matrix(float first)
{
    D3DXMATRIX m;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            m.m[r][c] = first + static_cast<float>(r * 4 + c);
    return m;
}

class EffectTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        headless::Reset();
        DXUTInit(false, false, false, true);
        ASSERT_TRUE(SUCCEEDED(DXUTCreateDevice(D3DADAPTER_DEFAULT, true, 64, 48)));
        device = DXUTGetD3D9Device();
    }

    void TearDown() override
    {
        for (ID3DXEffect* e : effects)
            e->Release();
        if (pool)
            pool->Release();
        headless::Reset();
    }

    // Made into the fixture's pool when there is one; kept until the end of the test.
    ID3DXEffect* Load(const std::string& path, std::string* errorText = nullptr)
    {
        ID3DXEffect* effect = nullptr;
        ID3DXBuffer* errors = nullptr;
        const HRESULT hr = D3DXCreateEffectFromFileW(device, ToWide(path).c_str(), nullptr, nullptr,
                                                     D3DXSHADER_DEBUG, pool, &effect, &errors);
        if (errorText)
            *errorText = Text(errors);
        else
            EXPECT_TRUE(SUCCEEDED(hr)) << Text(errors);
        if (errors)
            errors->Release();
        if (effect)
            effects.push_back(effect);
        return effect;
    }

    IDirect3DTexture9* MakeTexture()
    {
        IDirect3DTexture9* t = nullptr;
        EXPECT_TRUE(
            SUCCEEDED(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &t, nullptr)));
        return t;
    }

    IDirect3DDevice9* device = nullptr;
    ID3DXEffectPool* pool = nullptr;
    std::vector<ID3DXEffect*> effects;
};
} // namespace

TEST_F(EffectTest, ParametersByNameSemanticElementMemberAndIndex)
{
    ID3DXEffect* water = Load(kWater2);
    ASSERT_NE(water, nullptr);
    D3DXEFFECT_DESC effectDesc;
    ASSERT_TRUE(SUCCEEDED(water->GetDesc(&effectDesc)));
    EXPECT_EQ(effectDesc.Parameters, 36u); // 4 shared, 11 common, 12 own, the waves, 8 more
    EXPECT_EQ(effectDesc.Techniques, 1u);

    // By index, name and semantic (any case) reach the same handle.
    EXPECT_EQ(water->GetParameter(nullptr, 4), water->GetParameterByName(nullptr, "g_World"));
    EXPECT_EQ(water->GetParameterBySemantic(nullptr, "worldVIEWprojection"),
              water->GetParameterByName(nullptr, "g_WorldViewProjection"));
    EXPECT_EQ(water->GetParameterBySemantic(nullptr, "ViewInverse"), water->GetParameter(nullptr, 0));
    EXPECT_EQ(water->GetParameterBySemantic(nullptr, "NoSuchSemantic"), nullptr);
    EXPECT_EQ(water->GetParameterByName(nullptr, "g_world"), nullptr); // names keep their case

    // The waves: elements, then members of each element by name and by index.
    D3DXHANDLE waves = water->GetParameterByName(nullptr, "g_Waves");
    ASSERT_NE(waves, nullptr);
    D3DXHANDLE second = water->GetParameterElement(waves, 1);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(water->GetParameter(waves, 1), second);
    EXPECT_EQ(water->GetParameterElement(waves, 2), nullptr);
    EXPECT_EQ(water->GetParameterByName(waves, "m_dir"), nullptr); // members belong to elements
    D3DXHANDLE dir = water->GetParameterByName(second, "m_dir");
    EXPECT_EQ(water->GetParameter(second, 3), dir);
    float values[2] = {};
    ASSERT_TRUE(SUCCEEDED(water->GetFloatArray(dir, values, 2)));
    EXPECT_FLOAT_EQ(values[0], -0.7f);
    EXPECT_FLOAT_EQ(values[1], 0.7f);
    float phase = 0;
    ASSERT_TRUE(SUCCEEDED(water->GetFloat(water->GetParameterByName(second, "m_phase"), &phase)));
    EXPECT_FLOAT_EQ(phase, 1.3f);
    // A member written through its handle lands in that element only.
    ASSERT_TRUE(SUCCEEDED(water->SetFloat(water->GetParameterByName(second, "m_amp"), 9.0f)));
    std::vector<float> all(16);
    ASSERT_TRUE(SUCCEEDED(water->GetFloatArray(waves, all.data(), 16)));
    EXPECT_EQ(all, (std::vector<float>{1, 0.5f, 0.5f, -1, 0, 2, 9, 1.3f, -0.7f, 0.7f, 0, 0, 0, 0, 0, 0}));

    struct Case
    {
        const char* what;
        D3DXHANDLE handle;
        const char* name;
        const char* semantic;
        D3DXPARAMETER_CLASS cls;
        D3DXPARAMETER_TYPE type;
        UINT rows, columns, elements, annotations, members, bytes;
        DWORD flags;
    };
    const Case cases[] = {
        {"shared matrix", water->GetParameter(nullptr, 0), "g_ViewInverse", "ViewInverse", D3DXPC_MATRIX_ROWS,
         D3DXPT_FLOAT, 4, 4, 0, 0, 0, 64, D3DX_PARAMETER_SHARED},
        {"float2", water->GetParameterByName(nullptr, "g_BumpSpeed"), "g_BumpSpeed", nullptr, D3DXPC_VECTOR,
         D3DXPT_FLOAT, 1, 2, 0, 0, 0, 8, 0},
        {"colour with a semantic and an annotation",
         water->GetParameterByName(nullptr, "g_ShallowWaterColor"), "g_ShallowWaterColor", "Diffuse",
         D3DXPC_VECTOR, D3DXPT_FLOAT, 1, 4, 0, 1, 0, 16, 0},
        {"struct array", waves, "g_Waves", nullptr, D3DXPC_STRUCT, D3DXPT_VOID, 0, 0, 2, 0, 4, 40, 0},
        {"one element", second, "g_Waves", nullptr, D3DXPC_STRUCT, D3DXPT_VOID, 0, 0, 0, 0, 4, 20, 0},
        {"a member", dir, "m_dir", nullptr, D3DXPC_VECTOR, D3DXPT_FLOAT, 1, 2, 0, 0, 0, 8, 0},
        {"texture", water->GetParameterByName(nullptr, "g_NormalMap"), "g_NormalMap", nullptr, D3DXPC_OBJECT,
         D3DXPT_TEXTURE, 0, 0, 0, 1, 0, 0, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        D3DXPARAMETER_DESC d;
        ASSERT_TRUE(SUCCEEDED(water->GetParameterDesc(c.handle, &d)));
        EXPECT_STREQ(d.Name, c.name);
        if (c.semantic)
            EXPECT_STREQ(d.Semantic, c.semantic);
        else
            EXPECT_EQ(d.Semantic, nullptr);
        EXPECT_EQ(d.Class, c.cls);
        EXPECT_EQ(d.Type, c.type);
        EXPECT_EQ(d.Rows, c.rows);
        EXPECT_EQ(d.Columns, c.columns);
        EXPECT_EQ(d.Elements, c.elements);
        EXPECT_EQ(d.Annotations, c.annotations);
        EXPECT_EQ(d.StructMembers, c.members);
        EXPECT_EQ(d.Bytes, c.bytes);
        EXPECT_EQ(d.Flags, c.flags);
    }
}

TEST_F(EffectTest, ValuesConvertAndStayInsideTheirParameter)
{
    ID3DXEffect* e = Load(kQuad);
    ASSERT_NE(e, nullptr);
    // Conversions on single values: float into int truncates, anything into bool is 0 or 1.
    std::int32_t mode = 0;
    ASSERT_TRUE(SUCCEEDED(e->SetFloat("g_Mode", 1.9f)));
    ASSERT_TRUE(SUCCEEDED(e->GetInt("g_Mode", &mode)));
    EXPECT_EQ(mode, 1);
    float asFloat = 0;
    ASSERT_TRUE(SUCCEEDED(e->GetFloat("g_Mode", &asFloat)));
    EXPECT_FLOAT_EQ(asFloat, 1.0f);
    ASSERT_TRUE(SUCCEEDED(e->SetInt("g_Enabled", 5)));
    BOOL enabled = 0;
    ASSERT_TRUE(SUCCEEDED(e->GetBool("g_Enabled", &enabled)));
    EXPECT_EQ(enabled, 1);
    std::int32_t raw = 0;
    ASSERT_TRUE(SUCCEEDED(e->GetValue("g_Enabled", &raw, 4)));
    EXPECT_EQ(raw, 1);
    ASSERT_TRUE(SUCCEEDED(e->SetBool("g_time", 1)));
    ASSERT_TRUE(SUCCEEDED(e->GetFloat("g_time", &asFloat)));
    EXPECT_FLOAT_EQ(asFloat, 1.0f);

    // Vectors write their own columns; GetVector fills the rest with zeros.
    const D3DXVECTOR4 v = {0.1f, 0.2f, 0.3f, 0.4f};
    ASSERT_TRUE(SUCCEEDED(e->SetVector("g_Colour", &v)));
    D3DXHANDLE second = e->GetParameterElement("g_Offsets", 1);
    ASSERT_TRUE(SUCCEEDED(e->SetVector(second, &v)));
    D3DXVECTOR4 back;
    ASSERT_TRUE(SUCCEEDED(e->GetVector(second, &back)));
    EXPECT_FLOAT_EQ(back.x, 0.1f);
    EXPECT_FLOAT_EQ(back.y, 0.2f);
    EXPECT_EQ(back.z, 0.0f);
    EXPECT_EQ(back.w, 0.0f);
    float offsets[6] = {};
    ASSERT_TRUE(SUCCEEDED(e->GetFloatArray("g_Offsets", offsets, 6)));
    EXPECT_EQ(std::vector<float>(offsets, offsets + 6), (std::vector<float>{1, 2, 0.1f, 0.2f, 5, 6}));
    D3DXVECTOR4 three[3];
    ASSERT_TRUE(SUCCEEDED(e->GetVectorArray("g_Offsets", three, 3)));
    EXPECT_FLOAT_EQ(three[2].y, 6.0f);

    // Arrays of numbers fill as many cells as both sides have.
    const float many[8] = {10, 11, 12, 13, 14, 15, 16, 17};
    ASSERT_TRUE(SUCCEEDED(e->SetFloatArray("g_Offsets", many, 8)));
    ASSERT_TRUE(SUCCEEDED(e->GetFloatArray("g_Offsets", offsets, 6)));
    EXPECT_EQ(std::vector<float>(offsets, offsets + 6), (std::vector<float>{10, 11, 12, 13, 14, 15}));
    ASSERT_TRUE(SUCCEEDED(e->SetFloatArray("g_Colour", many, 2)));
    ASSERT_TRUE(SUCCEEDED(e->GetVector("g_Colour", &back)));
    EXPECT_FLOAT_EQ(back.x, 10.0f);
    EXPECT_FLOAT_EQ(back.z, 0.3f);

    // Matrices keep their rows.
    const D3DXMATRIX m = Matrix(1.0f);
    ASSERT_TRUE(SUCCEEDED(e->SetMatrix("g_World", &m)));
    D3DXMATRIX got;
    ASSERT_TRUE(SUCCEEDED(e->GetMatrix("g_World", &got)));
    EXPECT_EQ(std::memcmp(got.m, m.m, sizeof m.m), 0);
    EXPECT_FLOAT_EQ(got.m[3][0], 13.0f);
    float first[4] = {};
    ASSERT_TRUE(SUCCEEDED(e->GetFloatArray("g_World", first, 4)));
    EXPECT_FLOAT_EQ(first[1], 2.0f); // row 0 comes first

    // A raw value copies up to the parameter's size.
    const float raw3[3] = {7, 8, 9};
    ASSERT_TRUE(SUCCEEDED(e->SetValue("g_Colour", raw3, sizeof raw3)));
    ASSERT_TRUE(SUCCEEDED(e->GetVector("g_Colour", &back)));
    EXPECT_FLOAT_EQ(back.z, 9.0f);
    EXPECT_FLOAT_EQ(back.w, 0.4f);
    const float raw5[5] = {1, 2, 3, 4, 99};
    ASSERT_TRUE(SUCCEEDED(e->SetValue("g_Colour", raw5, D3DX_DEFAULT)));
    float five[5] = {0, 0, 0, 0, -1};
    ASSERT_TRUE(SUCCEEDED(e->GetValue("g_Colour", five, sizeof five)));
    EXPECT_EQ(five[3], 4.0f);
    EXPECT_EQ(five[4], -1.0f); // nothing past the parameter

    // Wrong calls are refused and change nothing.
    const D3DXMATRIX big[2] = {Matrix(0), Matrix(100)};
    struct Wrong
    {
        const char* what;
        HRESULT result;
    };
    const Wrong wrong[] = {
        {"SetFloat on a float4", e->SetFloat("g_Colour", 3.0f)},
        {"SetInt on an array", e->SetInt("g_Offsets", 3)},
        {"SetMatrix on a vector", e->SetMatrix("g_Colour", &m)},
        {"SetMatrixArray past the elements", e->SetMatrixArray("g_World", big, 2)},
        {"SetVector on an array", e->SetVector("g_Offsets", &v)},
        {"SetVectorArray past the elements", e->SetVectorArray(second, three, 2)},
        {"SetFloat on a texture", e->SetFloat("g_Texture1", 1.0f)},
        {"SetTexture on a float", e->SetTexture("g_time", nullptr)},
        {"a value on an annotation", e->SetInt(e->GetAnnotationByName("g_Colour", "Order"), 1)},
        {"SetValue without data", e->SetValue("g_Colour", nullptr, 16)},
        {"an unknown name", e->SetFloat("g_Nothing", 1.0f)},
        {"a technique's handle", e->SetFloat(e->GetTechnique(0), 1.0f)},
        {"GetString on a parameter", e->GetString("g_Colour", nullptr)},
    };
    for (const Wrong& w : wrong)
    {
        SCOPED_TRACE(w.what);
        EXPECT_EQ(w.result, D3DERR_INVALIDCALL);
    }
    ASSERT_TRUE(SUCCEEDED(e->GetFloatArray("g_Colour", five, 4)));
    EXPECT_EQ(std::vector<float>(five, five + 4), (std::vector<float>{1, 2, 3, 4}));
    ASSERT_TRUE(SUCCEEDED(e->GetMatrix("g_World", &got)));
    EXPECT_EQ(std::memcmp(got.m, m.m, sizeof m.m), 0);
}

TEST_F(EffectTest, AnnotationsOnTechniquesParametersAndPasses)
{
    ID3DXEffect* e = Load(kQuad);
    ASSERT_NE(e, nullptr);
    D3DXHANDLE t = e->GetTechniqueByName("ScreenTexel");
    ASSERT_NE(t, nullptr);
    std::int32_t usage = 0;
    EXPECT_TRUE(SUCCEEDED(e->GetInt(e->GetAnnotationByName(t, "SrcTex0Usage"), &usage)));
    EXPECT_EQ(usage, 1);
    float scale = 0;
    EXPECT_TRUE(SUCCEEDED(e->GetFloat(e->GetAnnotationByName(t, "ScrQuadScaleX"), &scale)));
    EXPECT_FLOAT_EQ(scale, 0.5f);
    float fromInt = 0;
    EXPECT_TRUE(SUCCEEDED(e->GetFloat(e->GetAnnotationByName(t, "Param0Size"), &fromInt)));
    EXPECT_FLOAT_EQ(fromInt, 4.0f);
    const char* name = nullptr;
    EXPECT_TRUE(SUCCEEDED(e->GetString(e->GetAnnotationByName(t, "Param0Name"), &name)));
    EXPECT_STREQ(name, "g_Colour");
    D3DXVECTOR4 def;
    EXPECT_TRUE(SUCCEEDED(e->GetVector(e->GetAnnotationByName(t, "Param0DefaultVal"), &def)));
    EXPECT_FLOAT_EQ(def.y, 0.5f);
    EXPECT_FLOAT_EQ(def.z, 0.25f);
    float array[4] = {};
    EXPECT_TRUE(SUCCEEDED(e->GetFloatArray(e->GetAnnotationByName(t, "Param0DefaultVal"), array, 4)));
    EXPECT_FLOAT_EQ(array[3], 1.0f);
    BOOL saved = 0;
    EXPECT_TRUE(SUCCEEDED(e->GetBool(e->GetAnnotationByName(t, "Saved"), &saved)));
    EXPECT_EQ(saved, 1);
    // A string is not a number, and an absent annotation is a null handle.
    EXPECT_EQ(e->GetInt(e->GetAnnotationByName(t, "Param0Name"), &usage), D3DERR_INVALIDCALL);
    EXPECT_EQ(e->GetAnnotationByName(t, "SrcTex1Usage"), nullptr);
    EXPECT_EQ(e->GetAnnotationByName("ScreenTexel", "SrcTex0Usage"),
              e->GetAnnotationByName(t, "SrcTex0Usage"));

    // Parameters (by handle or name) and passes.
    EXPECT_TRUE(SUCCEEDED(e->GetString(e->GetAnnotationByName("g_Colour", "UIName"), &name)));
    EXPECT_STREQ(name, "Colour");
    std::int32_t order = 0;
    EXPECT_TRUE(
        SUCCEEDED(e->GetInt(e->GetAnnotation(e->GetParameterByName(nullptr, "g_Colour"), 2), &order)));
    EXPECT_EQ(order, 3);
    D3DXHANDLE solid = e->GetPassByName("TwoPasses", "Solid");
    ASSERT_NE(solid, nullptr);
    EXPECT_EQ(solid, e->GetPass(e->GetTechniqueByName("TwoPasses"), 0));
    float strength = 0;
    EXPECT_TRUE(SUCCEEDED(e->GetFloat(e->GetAnnotationByName(solid, "Strength"), &strength)));
    EXPECT_FLOAT_EQ(strength, 0.75f);
    D3DXPARAMETER_DESC d;
    ASSERT_TRUE(SUCCEEDED(e->GetParameterDesc(e->GetAnnotationByName("g_Colour", "UIMax"), &d)));
    EXPECT_STREQ(d.Name, "UIMax");
    EXPECT_EQ(d.Class, D3DXPC_VECTOR);
    EXPECT_EQ(d.Columns, 4u);
    D3DXTECHNIQUE_DESC td;
    ASSERT_TRUE(SUCCEEDED(e->GetTechniqueDesc(t, &td)));
    EXPECT_STREQ(td.Name, "ScreenTexel");
    EXPECT_EQ(td.Passes, 1u);
    EXPECT_EQ(td.Annotations, 6u);
    D3DXPASS_DESC pd;
    ASSERT_TRUE(SUCCEEDED(e->GetPassDesc(solid, &pd)));
    EXPECT_STREQ(pd.Name, "Solid");
    EXPECT_EQ(pd.Annotations, 1u);
}

TEST_F(EffectTest, SharedParametersAreOneValueAcrossThePool)
{
    ASSERT_TRUE(SUCCEEDED(D3DXCreateEffectPool(&pool)));
    ID3DXEffect* quad = Load(kQuad);
    ID3DXEffect* tint = Load(kTint);
    ASSERT_NE(quad, nullptr);
    ASSERT_NE(tint, nullptr);

    const D3DXMATRIX camera = Matrix(0.5f);
    ASSERT_TRUE(SUCCEEDED(quad->SetMatrix(quad->GetParameterBySemantic(nullptr, "ViewProjection"), &camera)));
    D3DXMATRIX seen;
    ASSERT_TRUE(SUCCEEDED(tint->GetMatrix("g_ViewProjection", &seen)));
    EXPECT_EQ(std::memcmp(seen.m, camera.m, sizeof camera.m), 0);
    // The first file's default holds (Tint.fx says 7), and a later write reaches both.
    float time = -1;
    ASSERT_TRUE(SUCCEEDED(tint->GetFloat("g_time", &time)));
    EXPECT_EQ(time, 0.0f);
    ASSERT_TRUE(SUCCEEDED(tint->SetFloat("g_time", 2.5f)));
    ASSERT_TRUE(SUCCEEDED(quad->GetFloat("g_time", &time)));
    EXPECT_EQ(time, 2.5f);
    // What is not shared stays each effect's own.
    const D3DXMATRIX world = Matrix(3.0f);
    ASSERT_TRUE(SUCCEEDED(quad->SetMatrix("g_World", &world)));
    ASSERT_TRUE(SUCCEEDED(tint->GetMatrix("g_World", &seen)));
    EXPECT_EQ(seen.m[0][0], 0.0f); // no default: zeros
    ID3DXEffectPool* held = nullptr;
    ASSERT_TRUE(SUCCEEDED(tint->GetPool(&held)));
    EXPECT_EQ(held, pool);
    held->Release();

    // The same name with another type fails the load, naming both files; the pool is unchanged,
    // so a good file loads afterwards and shares as before.
    testsupport::TempWorkDir dir;
    WriteFile("Clash.fx", "// clash\nshared float4 g_Extra;\nshared float3 g_time;\n");
    std::string error;
    EXPECT_EQ(Load(dir.Path() + "/Clash.fx", &error), nullptr);
    EXPECT_EQ(error, dir.Path() + "/Clash.fx:3: shared parameter \"g_time\" is float3 here but float in " +
                         kQuad + ":6");
    WriteFile("Extra.fx", "shared float3 g_Extra = {1, 2, 3};\nshared float g_time;\n");
    ID3DXEffect* extra = Load(dir.Path() + "/Extra.fx");
    ASSERT_NE(extra, nullptr);
    float extraValue[3] = {};
    ASSERT_TRUE(SUCCEEDED(extra->GetFloatArray("g_Extra", extraValue, 3)));
    EXPECT_EQ(extraValue[2], 3.0f);
    ASSERT_TRUE(SUCCEEDED(extra->GetFloat("g_time", &time)));
    EXPECT_EQ(time, 2.5f);

    // Without a pool, shared parameters are the effect's own.
    ID3DXEffectPool* keep = pool;
    pool = nullptr;
    ID3DXEffect* alone = Load(kTint);
    pool = keep;
    ASSERT_TRUE(SUCCEEDED(alone->GetFloat("g_time", &time)));
    EXPECT_EQ(time, 7.0f);
}

TEST_F(EffectTest, BeginAndEndSaveAndRestoreWhatThePassesChange)
{
    ID3DXEffect* e = Load(kQuad);
    ASSERT_NE(e, nullptr);
    IDirect3DTexture9* mine = MakeTexture();
    IDirect3DTexture9* before = MakeTexture();
    ASSERT_TRUE(SUCCEEDED(e->SetTexture("g_Texture1", mine)));
    device->SetTexture(0, before);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_DESTCOLOR);
    const D3DRENDERSTATETYPE states[] = {D3DRS_CULLMODE,         D3DRS_ZENABLE,  D3DRS_ZWRITEENABLE,
                                         D3DRS_ALPHABLENDENABLE, D3DRS_SRCBLEND, D3DRS_DESTBLEND};
    std::vector<DWORD> initial;
    for (D3DRENDERSTATETYPE s : states)
    {
        DWORD value = 0;
        device->GetRenderState(s, &value);
        initial.push_back(value);
    }

    EXPECT_EQ(fxdebug::CurrentTechnique(e), "Texel"); // the first technique is current
    ASSERT_TRUE(SUCCEEDED(e->SetTechnique("TwoPasses")));
    EXPECT_EQ(fxdebug::CurrentTechnique(e), "TwoPasses");
    EXPECT_EQ(e->GetCurrentTechnique(), e->GetTechniqueByName("TwoPasses"));
    UINT passes = 0;
    ASSERT_TRUE(SUCCEEDED(e->Begin(&passes, 0)));
    EXPECT_EQ(passes, 2u);
    EXPECT_EQ(e->Begin(&passes, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(e->SetTechnique("Flat"), D3DERR_INVALIDCALL);
    EXPECT_EQ(e->CommitChanges(), D3DERR_INVALIDCALL); // outside a pass
    EXPECT_EQ(e->BeginPass(2), D3DERR_INVALIDCALL);

    headless::SetCallLogging(true);
    device->BeginScene();
    IDirect3DVertexDeclaration9* decl = nullptr;
    const D3DVERTEXELEMENT9 elements[] = {{0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0},
                                          D3DDECL_END()};
    ASSERT_TRUE(SUCCEEDED(device->CreateVertexDeclaration(elements, &decl)));
    device->SetVertexDeclaration(decl);
    const float triangle[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    for (UINT p = 0; p < passes; ++p)
    {
        ASSERT_TRUE(SUCCEEDED(e->BeginPass(p)));
        EXPECT_EQ(fxdebug::CurrentPass(e), static_cast<int>(p));
        EXPECT_EQ(e->BeginPass(p), D3DERR_INVALIDCALL); // already in a pass
        ASSERT_TRUE(SUCCEEDED(e->CommitChanges()));
        device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, triangle, 12);
        DWORD value = 0;
        if (p == 0)
        {
            device->GetRenderState(D3DRS_CULLMODE, &value);
            EXPECT_EQ(value, static_cast<DWORD>(D3DCULL_NONE));
            device->GetRenderState(D3DRS_ZENABLE, &value);
            EXPECT_EQ(value, 0u);
        }
        else
        {
            device->GetRenderState(D3DRS_SRCBLEND, &value);
            EXPECT_EQ(value, static_cast<DWORD>(D3DBLEND_SRCALPHA));
            device->GetRenderState(D3DRS_ALPHABLENDENABLE, &value);
            EXPECT_EQ(value, 1u);
        }
        IDirect3DBaseTexture9* bound = nullptr;
        device->GetTexture(0, &bound);
        EXPECT_EQ(bound, mine); // sampler 0 takes stage 0
        if (bound)
            bound->Release();
        ASSERT_TRUE(SUCCEEDED(e->EndPass()));
        EXPECT_EQ(fxdebug::CurrentPass(e), -1);
    }
    ASSERT_TRUE(SUCCEEDED(e->End()));
    device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, triangle, 12);
    device->EndScene();
    decl->Release();

    std::vector<std::string> draws;
    for (const devicedebug::LoggedCall& call : headless::CallLog())
        if (call.kind == devicedebug::CallKind::Draw)
            draws.push_back(call.name);
    EXPECT_EQ(draws, (std::vector<std::string>{"Quad.fx/TwoPasses/0", "Quad.fx/TwoPasses/1", ""}));
    for (std::size_t i = 0; i < std::size(states); ++i)
    {
        DWORD value = 0;
        device->GetRenderState(states[i], &value);
        EXPECT_EQ(value, initial[i]) << "render state " << states[i];
    }
    IDirect3DBaseTexture9* bound = nullptr;
    device->GetTexture(0, &bound);
    EXPECT_EQ(bound, before);
    if (bound)
        bound->Release();

    // D3DXFX_DONOTSAVESTATE: what the pass set stays.
    ASSERT_TRUE(SUCCEEDED(e->Begin(&passes, D3DXFX_DONOTSAVESTATE)));
    ASSERT_TRUE(SUCCEEDED(e->BeginPass(1)));
    ASSERT_TRUE(SUCCEEDED(e->End())); // ends the open pass too
    EXPECT_FALSE(fxdebug::InBegin(e));
    DWORD blend = 0;
    device->GetRenderState(D3DRS_ALPHABLENDENABLE, &blend);
    EXPECT_EQ(blend, 1u);
    mine->Release();
    before->Release();
}

TEST_F(EffectTest, FailedLoadsGiveNoEffectAndTheFileAndLine)
{
    testsupport::TempWorkDir dir;
    const std::string d = dir.Path() + "/";
    WriteFile("Broken.fx", "float4 a;\n\nfloat4 b\nfloat c;\n");
    std::string samplers;
    for (int i = 0; i < 17; ++i)
        samplers += "sampler s" + std::to_string(i) + " = sampler_state { Texture = <t>; };\n";
    WriteFile("Samplers.fx", "texture t;\n" + samplers);
    struct Case
    {
        const char* what;
        std::string path;
        std::string error;
    };
    const Case cases[] = {
        {"missing file", d + "Missing.fx", d + "Missing.fx: cannot be read"},
        {"format error", d + "Broken.fx",
         d + "Broken.fx:3: expected \";\" after the declaration of \"b\", found \"float\""},
        {"more samplers than stages", d + "Samplers.fx",
         d + "Samplers.fx:18: more samplers than the device's 16 texture stages"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        ID3DXEffect* effect = reinterpret_cast<ID3DXEffect*>(this); // must be cleared
        ID3DXBuffer* errors = nullptr;
        EXPECT_EQ(D3DXCreateEffectFromFileW(device, ToWide(c.path).c_str(), nullptr, nullptr, 0, nullptr,
                                            &effect, &errors),
                  D3DXERR_INVALIDDATA);
        EXPECT_EQ(effect, nullptr);
        ASSERT_NE(errors, nullptr);
        EXPECT_EQ(Text(errors), c.error);
        EXPECT_EQ(errors->GetBufferSize(), c.error.size() + 1);
        errors->Release();
    }
    // Calls that are wrong in themselves.
    ID3DXEffect* effect = nullptr;
    const D3DXMACRO macros[] = {{"LIGHTS", "2"}, {nullptr, nullptr}};
    EXPECT_EQ(D3DXCreateEffectFromFileW(device, ToWide(kQuad).c_str(), macros, nullptr, 0, nullptr, &effect,
                                        nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateEffectFromFileW(nullptr, ToWide(kQuad).c_str(), nullptr, nullptr, 0, nullptr, &effect,
                                        nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateEffectFromFileW(device, nullptr, nullptr, nullptr, 0, nullptr, &effect, nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(effect, nullptr);
    // A file name with the other separator and another case still loads (the path helper).
    std::string windows = kQuad;
    windows.replace(windows.rfind('/'), 1, "\\");
    windows.replace(windows.size() - 7, 7, "QUAD.FX");
    EXPECT_NE(Load(windows), nullptr);
}

TEST_F(EffectTest, ReferencesHeldAndReleased)
{
    ASSERT_TRUE(SUCCEEDED(D3DXCreateEffectPool(&pool)));
    const ULONG deviceCount = Count(device);
    ID3DXEffect* e = Load(kQuad);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(Count(device), deviceCount + 1);
    EXPECT_EQ(Count(pool), 2u);
    EXPECT_EQ(Count(e), 1u);
    IDirect3DDevice9* got = nullptr;
    ASSERT_TRUE(SUCCEEDED(e->GetDevice(&got)));
    EXPECT_EQ(got, device);
    EXPECT_EQ(Count(device), deviceCount + 2);
    got->Release();

    IDirect3DTexture9* texture = MakeTexture();
    ASSERT_TRUE(SUCCEEDED(e->SetTexture("g_Texture1", texture)));
    EXPECT_EQ(Count(texture), 2u);
    ASSERT_TRUE(SUCCEEDED(e->SetTexture("g_Texture1", texture))); // the same again holds one
    EXPECT_EQ(Count(texture), 2u);
    IDirect3DBaseTexture9* read = nullptr;
    ASSERT_TRUE(SUCCEEDED(e->GetTexture("g_Texture1", &read)));
    EXPECT_EQ(read, texture);
    EXPECT_EQ(Count(texture), 3u);
    read->Release();

    // The pool lives while an effect holds it; the effect lets go of all it holds.
    pool->Release();
    pool = nullptr;
    effects.clear();
    EXPECT_EQ(e->Release(), 0u);
    EXPECT_EQ(Count(texture), 1u);
    EXPECT_EQ(Count(device), deviceCount);
    texture->Release();

    // An effect released after the device has shut down only frees memory.
    ID3DXEffect* late = Load(kQuad);
    ASSERT_NE(late, nullptr);
    effects.clear();
    DXUTShutdown();
    EXPECT_EQ(late->Release(), 0u);
}

TEST_F(EffectTest, LostAndResetReachTheEffectAndEndAnOpenBegin)
{
    ID3DXEffect* e = Load(kQuad);
    ASSERT_NE(e, nullptr);
    ASSERT_TRUE(SUCCEEDED(e->SetTechnique("TwoPasses")));
    UINT passes = 0;
    headless::SetCallLogging(true);
    ASSERT_TRUE(SUCCEEDED(e->Begin(&passes, 0)));
    ASSERT_TRUE(SUCCEEDED(e->BeginPass(0)));
    ASSERT_TRUE(SUCCEEDED(e->OnLostDevice()));
    EXPECT_TRUE(fxdebug::IsLost(e));
    EXPECT_FALSE(fxdebug::InBegin(e));
    DWORD zenable = 0;
    device->GetRenderState(D3DRS_ZENABLE, &zenable);
    EXPECT_EQ(zenable, static_cast<DWORD>(D3DZB_TRUE)); // restored
    ASSERT_TRUE(SUCCEEDED(e->OnResetDevice()));
    EXPECT_FALSE(fxdebug::IsLost(e));
    std::vector<std::string> calls;
    for (const devicedebug::LoggedCall& call : headless::CallLog())
        calls.push_back(std::string(devicedebug::CallName(call.kind)) + " " + call.name);
    EXPECT_EQ(calls, (std::vector<std::string>{"EffectLost Quad.fx", "EffectReset Quad.fx"}));
    // Values and techniques survive.
    EXPECT_EQ(fxdebug::CurrentTechnique(e), "TwoPasses");
    ASSERT_TRUE(SUCCEEDED(e->Begin(&passes, 0)));
    EXPECT_EQ(passes, 2u);
    ASSERT_TRUE(SUCCEEDED(e->End()));
}

TEST_F(EffectTest, NullHandlesAndForeignHandlesAreNoOps)
{
    ID3DXEffect* e = Load(kQuad);
    ID3DXEffect* other = Load(kTint);
    ASSERT_NE(e, nullptr);
    ASSERT_NE(other, nullptr);
    const D3DXMATRIX m = Matrix(2.0f);
    const D3DXVECTOR4 v = {1, 2, 3, 4};
    const float f[4] = {1, 2, 3, 4};
    const std::int32_t n[4] = {1, 2, 3, 4};
    float out[16] = {};
    std::int32_t outInt[4] = {};
    BOOL outBool = 0;
    D3DXVECTOR4 outVector;
    D3DXMATRIX outMatrix;
    const char* text = nullptr;
    IDirect3DBaseTexture9* texture = nullptr;
    D3DXPARAMETER_DESC pd;
    D3DXTECHNIQUE_DESC td;
    D3DXPASS_DESC passDesc;
    // Another effect's handle of a parameter this effect also has must not reach it.
    for (D3DXHANDLE h : {static_cast<D3DXHANDLE>(nullptr), other->GetParameterByName(nullptr, "g_World")})
    {
        SCOPED_TRACE(h ? "another effect's handle" : "null handle");
        const HRESULT results[] = {
            e->SetValue(h, f, 16),
            e->GetValue(h, out, 16),
            e->SetBool(h, 1),
            e->GetBool(h, &outBool),
            e->SetBoolArray(h, n, 4),
            e->GetBoolArray(h, outInt, 4),
            e->SetInt(h, 1),
            e->GetInt(h, outInt),
            e->SetIntArray(h, n, 4),
            e->GetIntArray(h, outInt, 4),
            e->SetFloat(h, 1),
            e->GetFloat(h, out),
            e->SetFloatArray(h, f, 4),
            e->GetFloatArray(h, out, 4),
            e->SetVector(h, &v),
            e->GetVector(h, &outVector),
            e->SetVectorArray(h, &v, 1),
            e->GetVectorArray(h, &outVector, 1),
            e->SetMatrix(h, &m),
            e->GetMatrix(h, &outMatrix),
            e->SetMatrixArray(h, &m, 1),
            e->GetMatrixArray(h, &outMatrix, 1),
            e->GetString(h, &text),
            e->SetTexture(h, nullptr),
            e->GetTexture(h, &texture),
            e->GetParameterDesc(h, &pd),
            e->GetTechniqueDesc(h, &td),
            e->GetPassDesc(h, &passDesc),
            e->SetTechnique(h),
        };
        for (std::size_t i = 0; i < std::size(results); ++i)
            EXPECT_EQ(results[i], D3DERR_INVALIDCALL) << "call " << i;
        EXPECT_EQ(e->GetParameterElement(h, 0), nullptr);
        if (h) // a null parent means the top level there
        {
            EXPECT_EQ(e->GetParameterByName(h, "g_World"), nullptr);
            EXPECT_EQ(e->GetParameterBySemantic(h, "World"), nullptr);
        }
        EXPECT_EQ(e->GetPass(h, 0), nullptr);
        EXPECT_EQ(e->GetAnnotation(h, 0), nullptr);
        EXPECT_EQ(e->GetAnnotationByName(h, "UIName"), nullptr);
    }
    // Nothing changed: the world is still all zeros (it has no default) and the technique the first.
    ASSERT_TRUE(SUCCEEDED(e->GetMatrix("g_World", &outMatrix)));
    const float zeros[16] = {};
    EXPECT_EQ(std::memcmp(outMatrix.m, zeros, sizeof zeros), 0);
    EXPECT_EQ(fxdebug::CurrentTechnique(e), "Texel");
}

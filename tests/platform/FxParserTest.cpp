#include "platform/fx_glsl.h"
#include "platform/fx_parser.h"
#include "platform/fx_shared.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace plat;

namespace
{
const std::string kWater2 = testsupport::RepoPath("tests/data/fx/Water2.fx");

// Structs nested as deep as they may be: S7 holds S6 ... holds S0.
const std::string kDeepStructs = "struct S0 { float a; };\n"
                                 "struct S1 { S0 a; };\nstruct S2 { S1 a; };\nstruct S3 { S2 a; };\n"
                                 "struct S4 { S3 a; };\nstruct S5 { S4 a; };\nstruct S6 { S5 a; };\n"
                                 "struct S7 { S6 a; };\n";

// A pass that compiles: most malformed cases differ from a valid file in one place.
const std::string kBlocks = "glsl vertex VS { void main() { plat_Position = in_Position; } }\n"
                            "glsl fragment PS { void main() { plat_Color = vec4(1.0); } }\n";

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The full example of the format's document, which must stay a valid effect.
std::string DocumentExample()
{
    const std::string doc = ReadFile(testsupport::RepoPath("docs/fx-format.md"));
    const std::size_t start = doc.find("```fx\n");
    const std::size_t end = doc.find("```", start + 6);
    if (start == std::string::npos || end == std::string::npos)
        return std::string();
    return doc.substr(start + 6, end - start - 6);
}

FxEffectDesc Parse(const std::string& text, const std::string& file = "Test.fx")
{
    FxEffectDesc effect;
    std::string error;
    EXPECT_TRUE(ParseFxText(text, file, effect, error)) << error;
    return effect;
}

std::vector<float> Floats(const FxParameterDesc& p)
{
    std::vector<float> values;
    for (const FxCell& cell : p.value)
        values.push_back(cell.AsFloat());
    return values;
}

TEST(FxParserTest, MalformedFilesNameTheFileAndTheLine)
{
    struct Case
    {
        const char* what;
        std::string text;
        int line;
        std::string message; // a part of the message after "<file>:<line>: "
    };
    const std::vector<Case> cases = {
        {"missing ';' after a parameter", "float a = 1\nfloat b;\n", 1,
         "expected \";\" after the declaration of \"a\""},
        {"missing ';' after an annotation", "float a <int X = 1\n>;\n", 1, "after the annotation \"X\""},
        {"missing ';' after a pass state",
         kBlocks + "technique T { pass {\n FragmentShader = PS\n CullMode = None; } }\n", 4,
         "expected \";\" after \"FragmentShader\""},
        {"lines counted over CRLF", "float a;\r\n\r\nfloat5 b;\r\n", 3, "unknown type or keyword \"float5\""},
        {"unknown type", "float4 a;\nfloat5 b;\n", 2, "unknown type or keyword \"float5\""},
        {"unknown member type", "struct S\n{\n    vec4 a;\n};\n", 3, "unknown type \"vec4\""},
        {"unknown pass state", kBlocks + "technique T\n{\n pass\n {\n  CullMod = None;\n }\n}\n", 7,
         "unknown pass state \"CullMod\""},
        {"PixelShader instead of FragmentShader", kBlocks + "technique T { pass {\n PixelShader = PS; } }\n",
         4, "with FragmentShader"},
        {"unknown state value",
         kBlocks + "technique T { pass {\n FragmentShader = PS;\n CullMode = Backwards; } }\n", 5,
         "CullMode takes None, CW or CCW, not \"Backwards\""},
        {"a state set twice", kBlocks + "technique T { pass {\n ZEnable = true;\n zenable = false; } }\n", 5,
         "declared twice (first at line 4)"},
        {"unknown sampler state",
         "texture t;\nsampler s = sampler_state {\n Texture = <t>;\n MaxAnisotropy = 4;\n};\n", 4,
         "unknown sampler state \"MaxAnisotropy\""},
        {"sampler of a non-texture", "float t;\nsampler s = sampler_state\n{\n Texture = <t>;\n};\n", 4,
         "\"t\" is not a texture parameter declared above"},
        {"sampler without a texture", "sampler s = sampler_state\n{\n MinFilter = Linear;\n};\n", 1,
         "names no Texture"},
        {"pass naming a missing block",
         kBlocks + "technique T\n{\n pass P0\n {\n  VertexShader = VS;\n"
                   "  FragmentShader = PS_Missing;\n }\n}\n",
         8, "names the GLSL block \"PS_Missing\", which is not declared"},
        {"pass naming a block of the other stage",
         kBlocks + "technique T { pass {\n VertexShader = PS;\n"
                   " FragmentShader = PS; } }\n",
         4, "names \"PS\" as its vertex stage, but it is a fragment block"},
        {"pass without a fragment block",
         kBlocks + "technique T\n{\n pass P0\n {\n  VertexShader = VS;\n }\n}\n", 5,
         "names no FragmentShader block"},
        {"technique without a pass", "technique T\n{\n}\n", 1, "has no pass"},
        {"duplicate parameter", "float4 g_Colour;\nfloat g_Other;\nfloat4 g_Colour;\n", 3,
         "\"g_Colour\" is declared twice (first at line 1)"},
        {"parameter named like a sampler",
         "texture t;\nsampler s = sampler_state { Texture = <t>; };\nfloat s;\n", 3,
         "\"s\" is declared twice (first at line 2)"},
        {"duplicate member", "struct Wave\n{\n float m_amp;\n float m_amp;\n};\n", 4,
         "member \"m_amp\" is declared twice"},
        {"duplicate annotation", "float a <int X = 1;\n float X = 2;>;\n", 2,
         "annotation \"X\" is declared twice"},
        {"duplicate technique",
         kBlocks + "technique T { pass { FragmentShader = PS; } }\n"
                   "technique T { pass { FragmentShader = PS; } }\n",
         4, "technique \"T\" is declared twice"},
        {"duplicate GLSL block", kBlocks + "glsl vertex VS { }\n", 3,
         "the GLSL block \"VS\" is declared twice"},
        {"unterminated comment", "float a;\n/* a comment\nfloat b;\n", 2,
         "the comment opened here is not closed"},
        {"unterminated block", "float a;\nglsl vertex VS\n{\n void main() {\n}\n", 3,
         "the GLSL block \"VS\" is not closed"},
        {"unterminated comment in a block", "glsl fragment PS {\n void main() { }\n /* } \n", 3,
         "the comment opened here is not closed"},
        {"unterminated string", "float a <string S = \"abc>;\nfloat b;\n", 1,
         "the string is not closed on its line"},
        {"too few default values", "float4 a;\nfloat4 b = {1, 2,\n 3};\n", 2, "\"b\" takes 4 values, not 3"},
        {"too many default values",
         "struct W { float f; float2 d; };\nW w[2] = {{1, {2, 3}}, {4, {5, 6, 7}}};\n", 2,
         "\"w\" takes 6 values, not 7"},
        {"constructor of the wrong size", "float4 a = float4(1, 2, 3);\n", 1,
         "\"float4\" takes 4 values, not 3"},
        {"fraction for an int", "int a =\n 2.5;\n", 2, "an int takes a whole number, not \"2.5\""},
        {"int out of range", "int a = 3000000000;\n", 1, "out of range for an int"},
        {"float out of range", "float a = 1e39;\n", 1, "out of range for a float"},
        {"word for a bool", "bool a = yes;\n", 1, "expected a value, found \"yes\""},
        {"malformed number", "float a = 1.5.2;\n", 1, "malformed number \"1.5.2\""},
        {"texture default", "texture t = 1;\n", 1, "a texture takes no default value"},
        {"texture array", "texture t[4];\n", 1, "textures cannot be arrays"},
        {"texture in a struct", "struct S { texture t; };\n", 1, "a struct cannot hold a texture"},
        {"empty struct", "struct S\n{\n};\n", 3, "has no members"},
        {"array of length 0", "float a[0];\n", 1, "an array length is a whole number from 1"},
        {"two dimensions", "float a[2][2];\n", 1, "arrays have one dimension"},
        {"GLSL keyword as a name", "float4 input;\n", 1, "\"input\" is a reserved name"},
        {"generated name as a name", "float2 plat_TexCoord0;\n", 1, "\"plat_TexCoord0\" is a reserved name"},
        {"bad annotation type", "float a <float4x4 M = 1;>;\n", 1, "an annotation is bool, int, float"},
        {"structs too deep", kDeepStructs + "struct S8 { S7 a; };\n", 9, "structs nest deeper than 8"},
        {"parameter too large", "float4x4 a[1000];\nfloat4x4 b[1025];\n", 2,
         "\"b\" needs more than 65536 bytes"},
        {"effect too large",
         "float4x4 a[1024];\nfloat4x4 b[1024];\nfloat4x4 c[1024];\nfloat4x4 d[1024];\nfloat e;\n", 5,
         "more than 262144 bytes in all"},
        {"value nested too deep", "float a = " + std::string(40, '{') + "1" + std::string(40, '}') + ";\n", 1,
         "nested too deep"},
        {"NUL byte", std::string("float a;\nfloat b;\0\n", 19), 2, "NUL byte"},
        {"stray character", "float a;\n@\n", 2, "unexpected \"@\""},
        {"a name too long", "float a;\n" + std::string(5000, 'x') + " b;\n", 2,
         "a name longer than 256 characters"},
        {"a long name quoted short",
         "float " + std::string(256, 'y') + ";\nfloat " + std::string(256, 'y') + ";\n", 2,
         "\"" + std::string(64, 'y') + "...\" is declared twice"},
        {"a long number quoted short", "float a = 1" + std::string(5000, 'x') + ";\n", 1,
         "malformed number \"1" + std::string(63, 'x') + "...\""},
        {"stray semicolon after a block", kBlocks + ";\n", 3, "expected a declaration, found \";\""},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        FxEffectDesc effect;
        effect.parameters.emplace_back(); // a failed parse leaves nothing behind
        std::string error;
        EXPECT_FALSE(ParseFxText(c.text, "fx\\Broken.fx", effect, error));
        const std::string where = "fx\\Broken.fx:" + std::to_string(c.line) + ": ";
        EXPECT_EQ(0u, error.find(where)) << error;
        EXPECT_NE(std::string::npos, error.find(c.message)) << error;
        EXPECT_EQ(std::string::npos, error.find('\n')) << error;
        EXPECT_LT(error.size(), 300u);
        EXPECT_TRUE(effect.parameters.empty() && effect.techniques.empty());
    }
}

TEST(FxParserTest, LimitsAcceptWhatTheyAllow)
{
    const FxEffectDesc effect = Parse(kDeepStructs + "S7 g_Deep;\n"
                                                     "float4x4 g_Bones[1024];\n" // 65536 bytes
                                                     "float4x4 g_More[1024];\nfloat4x4 g_Even[1024];\n"
                                                     "float4x4 g_Most[1023];\nfloat4 g_Last[3];\n"
                                                     "float g_Tail[3];\n"); // 262144 bytes in all
    ASSERT_EQ(7u, effect.parameters.size());
    EXPECT_EQ(65536, effect.parameters[1].bytes);
    const FxParameterDesc* member = &effect.parameters[0];
    int depth = 0;
    for (; !member->members.empty(); member = &member->members[0])
        ++depth;
    EXPECT_EQ(8, depth);
    EXPECT_EQ(4, effect.parameters[0].bytes);
}

TEST(FxParserTest, DefaultsAndSemanticsReadBack)
{
    const FxEffectDesc effect = Parse("float4x4 g_World : World = {1, 2, 3, 4,  5, 6, 7, 8,\n"
                                      "                            9, 10, 11, 12,  13, 14, 15, 16};\n"
                                      "float4 g_Colour : DIFFUSE = float4(0.25, .5, 1.5f, -2e1);\n"
                                      "int g_LightType = -3;\n"
                                      "bool g_Flags[3] = {true, 0, false};\n"
                                      "shared float g_time;\n"
                                      "float2 g_Pairs[2] = {{1, 2}, float2(3, 4),};\n"
                                      "texture g_Texture1;\n");
    ASSERT_EQ(7u, effect.parameters.size());

    const FxParameterDesc& world = effect.parameters[0];
    EXPECT_EQ("g_World", world.name);
    EXPECT_EQ("World", world.semantic);
    EXPECT_EQ(FxClass::Matrix, world.parameterClass);
    EXPECT_EQ(4, world.rows);
    EXPECT_EQ(4, world.columns);
    EXPECT_EQ(64, world.bytes);
    EXPECT_TRUE(world.hasDefault);
    EXPECT_FALSE(world.shared);
    // Row by row: the second value is row 0, column 1.
    EXPECT_EQ(Floats(world), (std::vector<float>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}));

    const FxParameterDesc& colour = effect.parameters[1];
    EXPECT_EQ("DIFFUSE", colour.semantic);
    EXPECT_EQ(FxClass::Vector, colour.parameterClass);
    EXPECT_EQ(1, colour.rows);
    EXPECT_EQ(4, colour.columns);
    EXPECT_EQ(Floats(colour), (std::vector<float>{0.25f, 0.5f, 1.5f, -20.0f}));

    const FxParameterDesc& lightType = effect.parameters[2];
    EXPECT_EQ(FxType::Int, lightType.type);
    EXPECT_EQ(FxClass::Scalar, lightType.parameterClass);
    ASSERT_EQ(1u, lightType.value.size());
    EXPECT_EQ(-3, lightType.value[0].AsInt());

    const FxParameterDesc& flags = effect.parameters[3];
    EXPECT_EQ(FxType::Bool, flags.type);
    EXPECT_EQ(3, flags.elements);
    EXPECT_EQ(12, flags.bytes);
    ASSERT_EQ(3u, flags.value.size());
    EXPECT_EQ(1, flags.value[0].AsInt());
    EXPECT_EQ(0, flags.value[1].AsInt());
    EXPECT_EQ(0, flags.value[2].AsInt());

    const FxParameterDesc& time = effect.parameters[4];
    EXPECT_TRUE(time.shared);
    EXPECT_FALSE(time.hasDefault);
    EXPECT_EQ(Floats(time), std::vector<float>{0.0f});
    EXPECT_TRUE(time.semantic.empty());

    EXPECT_EQ(Floats(effect.parameters[5]), (std::vector<float>{1, 2, 3, 4}));

    const FxParameterDesc& texture = effect.parameters[6];
    EXPECT_EQ(FxClass::Object, texture.parameterClass);
    EXPECT_EQ(FxType::Texture, texture.type);
    EXPECT_EQ(0, texture.bytes);
    EXPECT_TRUE(texture.value.empty());
}

TEST(FxParserTest, AnnotationsOnParametersTechniquesAndPasses)
{
    const FxEffectDesc effect =
        Parse(kBlocks +
              "float2 g_Offset <string ConvertPixelsToTexels = \"g_Pixels\"; int Size = 2;\n"
              "                 float Scale = -0.5; float4 DefaultVal = {1, 2, 3, 4};\n"
              "                 bool Hidden = true; float2 Range = float2(0, 1);>;\n"
              "technique PostProcess <int SrcTex0Usage = 1; float ScrQuadScaleX = 0.25;\n"
              "                       string Param0Name = \"g_Offset\"; string Desc = \"say \\\"hi\\\"\";>\n"
              "{\n"
              "    pass P0 <float Weight = 2;> { FragmentShader = PS; }\n"
              "}\n");
    const FxParameterDesc* offset = effect.FindParameter("g_Offset");
    ASSERT_NE(nullptr, offset);
    ASSERT_EQ(6u, offset->annotations.size());

    const FxAnnotation* convert = offset->FindAnnotation("ConvertPixelsToTexels");
    ASSERT_NE(nullptr, convert);
    EXPECT_EQ(FxType::String, convert->type);
    EXPECT_EQ("g_Pixels", convert->text);
    EXPECT_TRUE(convert->value.empty());

    const FxAnnotation* size = offset->FindAnnotation("Size");
    ASSERT_NE(nullptr, size);
    EXPECT_EQ(FxType::Int, size->type);
    ASSERT_EQ(1u, size->value.size());
    EXPECT_EQ(2, size->value[0].AsInt());

    const FxAnnotation* scale = offset->FindAnnotation("Scale");
    ASSERT_NE(nullptr, scale);
    EXPECT_EQ(FxType::Float, scale->type);
    EXPECT_EQ(-0.5f, scale->value.at(0).AsFloat());

    const FxAnnotation* vector = offset->FindAnnotation("DefaultVal");
    ASSERT_NE(nullptr, vector);
    EXPECT_EQ(FxType::Float, vector->type);
    EXPECT_EQ(4, vector->columns);
    ASSERT_EQ(4u, vector->value.size());
    EXPECT_EQ(3.0f, vector->value[2].AsFloat());

    EXPECT_EQ(FxType::Bool, offset->FindAnnotation("Hidden")->type);
    EXPECT_EQ(2, offset->FindAnnotation("Range")->columns);
    EXPECT_EQ(nullptr, offset->FindAnnotation("size")); // names are case-sensitive

    const FxTechniqueDesc* technique = effect.FindTechnique("PostProcess");
    ASSERT_NE(nullptr, technique);
    EXPECT_EQ(1, technique->FindAnnotation("SrcTex0Usage")->value.at(0).AsInt());
    EXPECT_EQ(0.25f, technique->FindAnnotation("ScrQuadScaleX")->value.at(0).AsFloat());
    EXPECT_EQ("g_Offset", technique->FindAnnotation("Param0Name")->text);
    EXPECT_EQ("say \"hi\"", technique->FindAnnotation("Desc")->text);
    EXPECT_EQ(nullptr, technique->FindAnnotation("SaveOutputBackToTextureIndex"));
    ASSERT_EQ(1u, technique->passes.size());
    EXPECT_EQ(2.0f, FindFxAnnotation(technique->passes[0].annotations, "Weight")->value.at(0).AsFloat());
}

// The water effect's parameter list is what the effect manager builds its handle table from:
// the order of declaration, and the wave array's elements and members.
TEST(FxParserTest, WaterStructArrayWithElementsAndMembers)
{
    FxEffectDesc effect;
    std::string error;
    ASSERT_TRUE(ParseFxFile(kWater2, effect, error)) << error;

    std::vector<std::string> names;
    for (const FxParameterDesc& p : effect.parameters)
        if (!p.shared)
            names.push_back(p.name);
    const std::vector<std::string> expected = {"g_World",
                                               "g_WorldView",
                                               "g_WorldViewProjection",
                                               "g_WorldInverseTranspose",
                                               "g_MaterialAmbient",
                                               "g_MaterialDiffuse",
                                               "g_MaterialSpecular",
                                               "g_specular_power",
                                               "g_TileFactor",
                                               "g_ModelLightPos",
                                               "g_ModelLightDir",
                                               "g_BumpHeight",
                                               "g_ReflectionUVDistortion",
                                               "g_WaterBlendWeight",
                                               "g_HDRMultiplier",
                                               "g_TextureScale",
                                               "g_BumpSpeed",
                                               "g_FresnelBias",
                                               "g_FresnelPower",
                                               "g_ShallowWaterColor",
                                               "g_DeepWaterColor",
                                               "g_WaveAmp",
                                               "g_WaveFreq",
                                               "g_Waves",
                                               "g_NormalMap",
                                               "g_ReflectionMap",
                                               "g_RefractionMap",
                                               "g_WaterAlpha",
                                               "g_CubeMap",
                                               "g_BumpScale",
                                               "g_dir1",
                                               "g_dir2"};
    EXPECT_EQ(expected, names);

    const FxParameterDesc* waves = effect.FindParameter("g_Waves");
    ASSERT_NE(nullptr, waves);
    EXPECT_EQ(FxClass::Struct, waves->parameterClass);
    EXPECT_EQ(FxType::Void, waves->type);
    EXPECT_EQ("Wave", waves->typeName);
    EXPECT_EQ(2, waves->elements);
    EXPECT_EQ(40, waves->bytes); // two elements of five floats
    ASSERT_EQ(4u, waves->members.size());
    const char* memberNames[] = {"m_freq", "m_amp", "m_phase", "m_dir"};
    const int offsets[] = {0, 4, 8, 12};
    for (int i = 0; i < 4; ++i)
    {
        SCOPED_TRACE(memberNames[i]);
        const FxParameterDesc* member = waves->FindMember(memberNames[i]);
        ASSERT_NE(nullptr, member);
        EXPECT_EQ(&waves->members[i], member);
        EXPECT_EQ(offsets[i], member->offset);
        EXPECT_EQ(0, member->elements);
        EXPECT_TRUE(member->value.empty()); // the value lives in the parameter
    }
    const FxParameterDesc& dir = waves->members[3];
    EXPECT_EQ(FxClass::Vector, dir.parameterClass);
    EXPECT_EQ(2, dir.columns);
    EXPECT_EQ(8, dir.bytes);
    // Element 1 starts at cell 5: m_freq 2.0, m_amp 0.25, m_phase 1.3, m_dir (-0.7, 0.7).
    EXPECT_EQ(Floats(*waves), (std::vector<float>{1.0f, 0.5f, 0.5f, -1, 0, 2.0f, 0.25f, 1.3f, -0.7f, 0.7f}));

    EXPECT_EQ("Diffuse", effect.FindParameter("g_ShallowWaterColor")->semantic);
    EXPECT_EQ("Shallow water", effect.FindParameter("g_ShallowWaterColor")->FindAnnotation("UIName")->text);
    EXPECT_EQ("WorldInverseTranspose", effect.FindParameter("g_WorldInverseTranspose")->semantic);

    ASSERT_EQ(4u, effect.samplers.size()); // texture units 0 to 3 in this order
    EXPECT_EQ("g_NormalMap", effect.samplers[0].texture);
    EXPECT_EQ(FxFilter::Linear, effect.samplers[0].mipFilter);
    EXPECT_EQ(FxAddress::Wrap, effect.samplers[0].addressU);
    EXPECT_EQ(FxAddress::Clamp, effect.samplers[1].addressV);
    EXPECT_EQ(FxFilter::None, effect.samplers[1].mipFilter);
    EXPECT_EQ(FxSamplerKind::Texture2D, effect.samplers[2].kind);
    EXPECT_EQ(FxSamplerKind::Cube, effect.samplers[3].kind);
}

TEST(FxParserTest, PassStatesCarryTheDeviceRenderStates)
{
    const FxEffectDesc effect =
        Parse(kBlocks + "technique T\n"
                        "{\n"
                        "    pass Colour { VertexShader = VS; FragmentShader = PS;\n"
                        "        cullmode = ccw; ZEnable = TRUE; ZWriteEnable = false; }\n"
                        "    pass {\n"
                        "        FragmentShader = PS; AlphaBlendEnable = true;\n"
                        "        SrcBlend = SrcAlpha; DestBlend = InvSrcAlpha;\n"
                        "        FillMode = Wireframe; CullMode = None; }\n"
                        "}\n");
    const FxTechniqueDesc* technique = effect.FindTechnique("T");
    ASSERT_NE(nullptr, technique);
    ASSERT_EQ(2u, technique->passes.size());

    const FxPassDesc& colour = technique->passes[0];
    EXPECT_EQ("Colour", colour.name);
    EXPECT_EQ("VS", colour.vertexBlock);
    EXPECT_EQ("PS", colour.fragmentBlock);
    ASSERT_EQ(3u, colour.states.size());
    EXPECT_EQ(22u, static_cast<std::uint32_t>(colour.states[0].state)); // in the order written
    EXPECT_EQ(3u, colour.states[0].value);                              // counter-clockwise
    EXPECT_EQ(1u, colour.FindState(FxRenderState::ZEnable)->value);
    EXPECT_EQ(0u, colour.FindState(FxRenderState::ZWriteEnable)->value);
    EXPECT_EQ(nullptr, colour.FindState(FxRenderState::AlphaBlendEnable)); // left as the device has it

    const FxPassDesc& overlay = technique->passes[1];
    EXPECT_TRUE(overlay.name.empty());
    EXPECT_TRUE(overlay.vertexBlock.empty()); // the device's pass-through
    EXPECT_EQ(1u, overlay.FindState(FxRenderState::AlphaBlendEnable)->value);
    EXPECT_EQ(5u, overlay.FindState(FxRenderState::SrcBlend)->value);
    EXPECT_EQ(6u, overlay.FindState(FxRenderState::DestBlend)->value);
    EXPECT_EQ(2u, overlay.FindState(FxRenderState::FillMode)->value);
    EXPECT_EQ(1u, overlay.FindState(FxRenderState::CullMode)->value);
    EXPECT_EQ(10, overlay.FindState(FxRenderState::CullMode)->line);
}

TEST(FxParserTest, FilesGoThroughThePathHelper)
{
    // Another case and the other separator, as data written for the original layout names it.
    std::string path = kWater2.substr(0, kWater2.size() - std::string("tests/data/fx/Water2.fx").size()) +
                       "tests\\DATA\\fx\\water2.FX";
    FxEffectDesc effect;
    std::string error;
    ASSERT_TRUE(ParseFxFile(path, effect, error)) << error;
    EXPECT_EQ(path, effect.file);
    EXPECT_NE(nullptr, effect.FindTechnique("RenderPlanarWaveWater"));

    EXPECT_FALSE(ParseFxFile("tests/data/fx/Missing.fx", effect, error));
    EXPECT_EQ("tests/data/fx/Missing.fx: cannot be read", error);
}

TEST(FxParserTest, TheDocumentedExampleParses)
{
    const std::string example = DocumentExample();
    ASSERT_FALSE(example.empty()) << "docs/fx-format.md lost its ```fx example";
    const FxEffectDesc effect = Parse(example, "Example.fx");
    ASSERT_EQ(2u, effect.techniques.size());
    EXPECT_EQ(2u, effect.techniques[0].passes.size());
    EXPECT_TRUE(effect.techniques[1].passes[0].vertexBlock.empty());
    EXPECT_EQ(3u, effect.blocks.size());
    EXPECT_EQ(2, effect.FindParameter("g_Ripples")->elements);
}

// What GLSL compilers report for each line of an assembled source, following its #line
// directives (in GLSL 3.30 the line after "#line N" is line N).
std::vector<long> CompilerLineNumbers(const std::string& source)
{
    std::vector<long> numbers;
    std::istringstream lines(source);
    std::string line;
    long next = 1;
    while (std::getline(lines, line))
    {
        numbers.push_back(next++);
        if (line.compare(0, 6, "#line ") == 0)
            next = std::stol(line.substr(6));
    }
    return numbers;
}

TEST(FxParserTest, GlslSourcesKeepTheFilesLineNumbers)
{
    // Windows line ends, and a block opening on a line that holds other text.
    std::string text = DocumentExample();
    std::string crlf;
    for (char c : text)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    crlf += "glsl vertex VS_Late /* after a comment */ { void main()\r\n{\r\n    plat_Position = "
            "in_Position;\r\n}\r\n}\r\n"
            "technique Late { pass { VertexShader = VS_Late; FragmentShader = PS_Tint; } }\r\n";
    const FxEffectDesc effect = Parse(crlf, "Example.fx");

    std::vector<std::string> fileLines;
    {
        std::istringstream in(crlf);
        for (std::string line; std::getline(in, line);)
            fileLines.push_back(line);
    }
    for (const FxTechniqueDesc& technique : effect.techniques)
        for (const FxPassDesc& pass : technique.passes)
            for (FxStage stage : {FxStage::Vertex, FxStage::Fragment})
            {
                const std::string source =
                    BuildGlslSource(effect, pass, stage, "void main() { plat_VertexMain(); }");
                if (stage == FxStage::Vertex && pass.vertexBlock.empty())
                {
                    EXPECT_TRUE(source.empty());
                    continue;
                }
                SCOPED_TRACE(technique.name + " " +
                             (stage == FxStage::Vertex ? pass.vertexBlock : pass.fragmentBlock));
                const FxGlslBlock* block =
                    effect.FindBlock(stage == FxStage::Vertex ? pass.vertexBlock : pass.fragmentBlock);
                ASSERT_NE(nullptr, block);
                const std::size_t codeStart = source.find(block->code);
                ASSERT_NE(std::string::npos, codeStart);
                std::istringstream in(source);
                const std::vector<long> numbers = CompilerLineNumbers(source);
                std::size_t index = 0;
                std::size_t offset = 0;
                for (std::string line; std::getline(in, line); ++index)
                {
                    const std::size_t begin = offset;
                    offset += line.size() + 1;
                    if (begin <= codeStart || offset > codeStart + block->code.size())
                        continue; // the partial lines beside the braces
                    // Every whole line of the block is numbered as the line of the file it came from.
                    ASSERT_GE(numbers[index], 1);
                    ASSERT_LE(static_cast<std::size_t>(numbers[index]), fileLines.size());
                    EXPECT_EQ(fileLines[numbers[index] - 1], line);
                }
                if (stage == FxStage::Vertex)
                {
                    const std::size_t epilogue = source.find("void main() { plat_VertexMain(); }");
                    ASSERT_NE(std::string::npos, epilogue);
                    const long epilogueLine = numbers[static_cast<std::size_t>(
                        std::count(source.begin(), source.begin() + epilogue, '\n'))];
                    EXPECT_EQ(kGlslEpilogueLine + 1, epilogueLine);
                    EXPECT_NE(std::string::npos, source.find("#undef main\n"));
                }
            }
}

TEST(FxParserTest, GlslPreludeDeclaresParametersInputsAndOutputs)
{
    const FxEffectDesc effect = Parse(ReadFile(kWater2), "Water2.fx");
    const FxPassDesc& pass = effect.FindTechnique("RenderPlanarWaveWater")->passes[0];
    const std::string vertex = BuildGlslPrelude(effect, pass, FxStage::Vertex);
    const std::string fragment = BuildGlslPrelude(effect, pass, FxStage::Fragment);

    EXPECT_EQ(0u, vertex.find("#version 330 core\n"));
    for (const std::string& prelude : {vertex, fragment})
    {
        for (const char* expected :
             {"#define mul(a, b) ((a) * (b))\n", "#define tex2D texture\n", "#define texCUBE texture\n",
              "struct Wave\n{\n    float m_freq;\n    float m_amp;\n    float m_phase;\n    vec2 "
              "m_dir;\n};\n",
              "uniform Wave g_Waves[2];\n", "uniform mat4 g_ViewInverse;\n", "uniform float g_time;\n",
              "uniform vec2 g_BumpSpeed;\n", "uniform vec4 g_DeepWaterColor;\n",
              "uniform sampler2D s_NormalMap;\n", "uniform samplerCube s_CubeMap;\n"})
            EXPECT_NE(std::string::npos, prelude.find(expected)) << expected;
        EXPECT_EQ(std::string::npos, prelude.find("g_NormalMap;")); // textures reach GLSL through samplers
        // The struct type comes before the uniform that uses it.
        EXPECT_LT(prelude.find("struct Wave"), prelude.find("uniform Wave"));
    }
    for (const char* input :
         {"layout(location = 0) in vec4 in_Position;", "layout(location = 1) in vec3 in_Normal;",
          "layout(location = 2) in vec3 in_TexCoord0Full;", "#define in_TexCoord0 (in_TexCoord0Full.xy)",
          "layout(location = 3) in vec3 in_Tangent;", "layout(location = 4) in vec3 in_Binormal;",
          "layout(location = 5) in vec4 in_Color;", "layout(location = 6) in vec2 in_TexCoord1;",
          "vec4 plat_Position;", "#define main plat_VertexMain"})
    {
        EXPECT_NE(std::string::npos, vertex.find(input)) << input;
        EXPECT_EQ(std::string::npos, fragment.find(input)) << input;
    }
    EXPECT_NE(std::string::npos, fragment.find("layout(location = 0) out vec4 plat_Color;\n"));
    EXPECT_EQ(std::string::npos, fragment.find("plat_TexCoord0")); // the pass has its own vertex block

    const std::string blockLine = "#line " + std::to_string(effect.FindBlock("VS_Water")->firstLine) + "\n";
    EXPECT_EQ(vertex.size() - blockLine.size(), vertex.rfind(blockLine));

    // Without a vertex block the fragment stage reads the pass-through's outputs.
    const FxEffectDesc quad = Parse(kBlocks + "technique Q { pass { FragmentShader = PS; } }\n");
    const FxPassDesc& quadPass = quad.techniques[0].passes[0];
    EXPECT_TRUE(BuildGlslPrelude(quad, quadPass, FxStage::Vertex).empty());
    const std::string quadFragment = BuildGlslPrelude(quad, quadPass, FxStage::Fragment);
    for (const char* input :
         {"in vec4 plat_VertexColor;\n", "in vec2 plat_TexCoord0;\n", "in vec2 plat_TexCoord1;\n"})
        EXPECT_NE(std::string::npos, quadFragment.find(input)) << input;
}

TEST(FxParserTest, CompilerLogsMapBackToTheFile)
{
    struct Case
    {
        const char* log;
        const char* mapped;
    };
    const Case cases[] = {
        {"0:51(8): error: `g_Lot' undeclared", "Water2.fx:51: error: `g_Lot' undeclared"},
        {"ERROR: 0:12: 'x' : undeclared identifier", "Water2.fx:12: ERROR: 'x' : undeclared identifier"},
        {"0(7) : error C1008: undefined variable", "Water2.fx:7: error C1008: undefined variable"},
        {"0:1000005(3): error: bad prelude",
         "Water2.fx: in the generated prelude, line 5: error: bad prelude"},
        {"0:2000002(1): warning: odd", "Water2.fx: in the device's epilogue, line 2: warning: odd"},
        {"error: linking failed", "error: linking failed"},
        {"0:x(1): not a position", "0:x(1): not a position"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.log);
        EXPECT_EQ(std::string(c.mapped) + "\n", MapGlslLog(c.log, "Water2.fx"));
    }
}

TEST(FxParserTest, SharedParametersAgreeAcrossThePool)
{
    const FxEffectDesc dummy = Parse("shared float4x4 g_ViewInverse : ViewInverse;\n"
                                     "shared float4 g_LightPos = {0, 10, 0, 1};\n"
                                     "shared float g_time;\n"
                                     "struct Fog { float start; float end; };\n"
                                     "shared Fog g_Fog;\n"
                                     "float4 g_Local;\n",
                                     "fx\\Dummy.fx");
    const FxEffectDesc agreeing = Parse("float g_Other;\n"
                                        "shared float4 g_LightPos = {1, 1, 1, 1};\n"
                                        "shared float g_ElapsedTime;\n"
                                        "float3 g_Local;\n", // not shared: no clash
                                        "fx\\Glow.fx");
    FxSharedPool pool;
    std::string error;
    ASSERT_TRUE(pool.Merge(dummy, error)) << error;
    ASSERT_TRUE(pool.Merge(agreeing, error)) << error;
    ASSERT_EQ(5u, pool.Parameters().size());
    const FxSharedParameter* light = pool.Find("g_LightPos");
    ASSERT_NE(nullptr, light);
    EXPECT_EQ("fx\\Dummy.fx", light->file); // the first declaration and its default hold
    EXPECT_EQ(10.0f, light->parameter.value.at(1).AsFloat());
    EXPECT_EQ("fx\\Glow.fx", pool.Find("g_ElapsedTime")->file);
    EXPECT_EQ(nullptr, pool.Find("g_Local"));

    struct Case
    {
        const char* what;
        std::string text;
        const char* error;
    };
    const std::vector<Case> clashes = {
        {"another vector size", "shared float g_New;\n\nshared float3 g_LightPos;\n",
         "fx\\Broken.fx:3: shared parameter \"g_LightPos\" is float3 here but float4 in fx\\Dummy.fx:2"},
        {"an array of it", "shared float g_time[2];\n",
         "fx\\Broken.fx:1: shared parameter \"g_time\" is float[2] here but float in fx\\Dummy.fx:3"},
        {"an int for a float", "shared int g_time;\n",
         "fx\\Broken.fx:1: shared parameter \"g_time\" is int here but float in fx\\Dummy.fx:3"},
        {"a struct with other members",
         "shared float g_New;\nstruct Fog { float start; float density; };\nshared Fog g_Fog;\n",
         "fx\\Broken.fx:3: shared parameter \"g_Fog\" is Fog here but a Fog with other members in "
         "fx\\Dummy.fx:5"},
        {"a clash with a parameter a later file added", "shared float g_ElapsedTime[4];\n",
         "fx\\Broken.fx:1: shared parameter \"g_ElapsedTime\" is float[4] here but float in fx\\Glow.fx:3"},
    };
    for (const Case& c : clashes)
    {
        SCOPED_TRACE(c.what);
        const FxEffectDesc broken = Parse(c.text, "fx\\Broken.fx");
        EXPECT_FALSE(pool.Merge(broken, error));
        EXPECT_EQ(c.error, error);
        EXPECT_EQ(5u, pool.Parameters().size()); // the failed file added nothing, not even "g_New"
        EXPECT_EQ(nullptr, pool.Find("g_New"));
    }
}
} // namespace

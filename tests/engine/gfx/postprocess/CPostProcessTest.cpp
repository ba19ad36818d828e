// A post-processing effect file and its annotations: what a hand-written file declares (and
// leaves out) lands in the right fields, pixel offsets become texels, files that cannot run
// say so; and what each committed post-processing file tells the post-processor.
#include "PostProcessTestWorld.h"

#include "engine/gfx/postprocess/CPostProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

using dorvo::gfx::CPostProcess;

namespace
{
class PostProcessFileTest : public pptest::HeadlessPostProcessing
{
protected:
    void SetUp() override
    {
        pptest::HeadlessPostProcessing::SetUp();
        Start(); // 800 x 600
    }

    // The file loaded from the effects folder; false when Init refuses it.
    bool Load(CPostProcess& post, const std::string& name, std::string* why = nullptr)
    {
        return post.Init(std::string(fxtest::kFxFolder) + name, why);
    }
};

TEST_F(PostProcessFileTest, AnnotationsFillTheirFieldsAndMissingOnesKeepTheirInitialValues)
{
    fxtest::WriteFx("Full.fx", R"(
float4 g_Tint = {1, 1, 1, 1};
float g_Unused;
float g_Offsets[5] = {1, 2, 3, 4, 5};
float g_TexelOffsets[5] <string ConvertPixelsToTexels = "g_Offsets";>;
float2 g_One = {1, 1};
float2 g_OneTexel <string ConvertPixelsToTexels = "g_One";>;
float2 g_Stays = {7, 7};
float2 g_Orphan <string ConvertPixelsToTexels = "g_Nowhere";> = {9, 9};
texture g_SrcTex0;
texture g_SrcTex1;
texture g_SrcSceneTex2;
texture g_SrcSavedTex1;
sampler2D s0 = sampler_state { Texture = <g_SrcTex0>; };
glsl fragment PS { void main() { plat_Color = tex2D(s0, plat_TexCoord0) * g_Tint; } }
technique PostProcess <
    int SrcTex0Usage = 1; int SrcTex1Usage = 2; int SrcSceneTex2Usage = 1; string SrcSceneTex3Usage = "1";
    int SrcSavedTex1Usage = 1;
    string Param0Name = "g_Tint"; string Param0Desc = "Tint"; int Param0Size = 4; float4 Param0DefaultVal = {0.5, 0.25, 1, 1};
    string Param3Name = "g_Missing"; int Param3Size = 99;
    float ScrQuadScaleY = 0.5;>
{ pass { FragmentShader = PS; } }
)");
    CPostProcess post;
    ASSERT_TRUE(Load(post, "Full.fx"));
    ASSERT_NE(post.GetTechnique(), nullptr);
    EXPECT_NE(post.GetSourceHandle(0), nullptr);
    EXPECT_NE(post.GetSourceHandle(1), nullptr);
    EXPECT_EQ(post.GetSourceHandle(2), nullptr);
    EXPECT_EQ((std::array<int, 4>{post.GetSourceUsage(0), post.GetSourceUsage(1), post.GetSourceUsage(2),
                                  post.GetSourceUsage(3)}),
              (std::array<int, 4>{1, 2, 0, 0}));
    EXPECT_NE(post.GetSceneHandle(2), nullptr);
    EXPECT_EQ(post.GetSceneUsage(2), 1);
    EXPECT_EQ(post.GetSceneUsage(3), 0) << "a string is not an integer";
    EXPECT_EQ(post.GetSavedUsage(0), 0);
    EXPECT_EQ(post.GetSavedUsage(1), 1);

    EXPECT_EQ(post.GetParameterName(0), "g_Tint");
    EXPECT_EQ(post.GetParameterDesc(0), "Tint");
    EXPECT_NE(post.GetParameterHandle(0), nullptr);
    EXPECT_EQ(post.GetParameterSize(0), 4);
    EXPECT_EQ(post.GetParameterDefault(0), (std::array<float, 4>{0.5f, 0.25f, 1.0f, 1.0f}));
    EXPECT_EQ(post.GetParameterName(3), "g_Missing") << "the name is kept";
    EXPECT_EQ(post.GetParameterHandle(3), nullptr);
    EXPECT_EQ(post.GetParameterSize(3), 4) << "never more floats than a value holds";
    EXPECT_EQ(post.GetParameterName(1), "");
    EXPECT_EQ(post.GetParameterSize(1), 0);

    EXPECT_TRUE(post.IsQuadScaled()) << "one scale annotation is enough";
    EXPECT_FLOAT_EQ(post.GetQuadScaleX(), 1.0f);
    EXPECT_FLOAT_EQ(post.GetQuadScaleY(), 0.5f);
    EXPECT_EQ(post.GetSaveOutputIndex(), -1);

    // Pixels to texels for 800 x 600: whole pairs only, the fifth float as it was.
    plat::ID3DXEffect* effect = post.GetEffect();
    const std::vector<float> five = fxtest::Floats(effect, "g_TexelOffsets", 5);
    EXPECT_FLOAT_EQ(five[0], 1.0f / 800);
    EXPECT_FLOAT_EQ(five[1], 2.0f / 600);
    EXPECT_FLOAT_EQ(five[2], 3.0f / 800);
    EXPECT_FLOAT_EQ(five[3], 4.0f / 600);
    EXPECT_FLOAT_EQ(five[4], 5.0f);
    const std::vector<float> one = fxtest::Floats(effect, "g_OneTexel", 2);
    EXPECT_FLOAT_EQ(one[0], 0.00125f);
    EXPECT_NEAR(one[1], 0.0016667f, 1e-7f);
    EXPECT_EQ(fxtest::Floats(effect, "g_Orphan", 2), (std::vector<float>{9, 9}))
        << "no such source: unchanged";
}

TEST_F(PostProcessFileTest, AFileWithoutScalesIsNotScaledAndFilesThatCannotRunAreRefused)
{
    fxtest::WriteFx("Plain.fx", R"(
glsl fragment PS { void main() { plat_Color = vec4(1.0); } }
technique PostProcess <int SaveOutputBackToTextureIndex = 1;> { pass { FragmentShader = PS; } }
)");
    fxtest::WriteFx("Other.fx", R"(
glsl fragment PS { void main() { plat_Color = vec4(1.0); } }
technique Other { pass { FragmentShader = PS; } }
)");
    fxtest::WriteFx("Broken.fx", "technique PostProcess { pass { FragmentShader = Nothing; }");
    CPostProcess plain;
    ASSERT_TRUE(Load(plain, "Plain.fx"));
    EXPECT_FALSE(plain.IsQuadScaled());
    EXPECT_FLOAT_EQ(plain.GetQuadScaleX(), 1.0f);
    EXPECT_FLOAT_EQ(plain.GetQuadScaleY(), 1.0f);
    EXPECT_EQ(plain.GetSaveOutputIndex(), 1);

    struct Case
    {
        const char* file;
        const char* says;
    };
    for (const Case& c : {Case{"Other.fx", "has no technique \"PostProcess\""},
                          Case{"Broken.fx", "did not load"}, Case{"Absent.fx", "did not load"}})
    {
        SCOPED_TRACE(c.file);
        CPostProcess post;
        std::string why;
        EXPECT_FALSE(Load(post, c.file, &why));
        EXPECT_NE(why.find(c.file), std::string::npos) << why;
        EXPECT_NE(why.find(c.says), std::string::npos) << why;
        EXPECT_EQ(why.find('\n'), std::string::npos) << "one line";
    }
}

// What each committed file tells the post-processor: what it reads, its scale and its saving;
// every pixel offset it declares is converted. Every file of the id table is here.
TEST_F(PostProcessFileTest, TheCommittedFilesDeclareWhatTheirPlaceInTheChainNeeds)
{
    constexpr float k64Of800 = 0.08f, k64Of600 = 64.0f / 600.0f;
    struct Case
    {
        const char* file;
        int previous;
        unsigned scenes, saved; // bit i: scene or saved target i is read
        float scaleX, scaleY;   // 1, 1: not scaled
        int save;
    };
    const Case cases[] = {
        {"DownFilter4x.fx", 1, 0, 0, 0.25f, 0.25f, -1},
        {"UpFilter4x.fx", 1, 0, 0, 4, 4, -1},
        {"HBloom.fx", 1, 0, 0, 1, 1, -1},
        {"VBloom.fx", 1, 0, 0, 1, 1, -1},
        {"BrightFilter.fx", 1, 0, 0, 1, 1, -1},
        {"ToneMap.fx", 1, 0b1, 0, 1, 1, -1},
        {"Combine.fx", 1, 0b1, 0, 1, 1, -1},
        {"Combine4x.fx", 1, 0b1, 0, 4, 4, -1},
        {"DownFilter2x.fx", 1, 0, 0, 0.5f, 0.5f, -1},
        {"UpFilter2x.fx", 1, 0, 0, 2, 2, -1},
        {"UpFilter2xSaveTo0.fx", 1, 0, 0, 2, 2, 0},
        {"UpFilter2xSaveTo1.fx", 1, 0, 0, 2, 2, 1},
        {"UpFilter4xSaveTo0.fx", 1, 0, 0, 4, 4, 0},
        {"UpFilter4xSaveTo1.fx", 1, 0, 0, 4, 4, 1},
        {"SaveTo0.fx", 1, 0, 0, 1, 1, 0},
        {"SaveTo1.fx", 1, 0, 0, 1, 1, 1},
        {"GetSaved0.fx", 0, 0, 0b01, 1, 1, -1},
        {"GetSaved1.fx", 0, 0, 0b10, 1, 1, -1},
        {"Saved0CombineSaveTo0.fx", 1, 0, 0b01, 1, 1, 0},
        {"Saved1CombineSaveTo1.fx", 1, 0, 0b10, 1, 1, 1},
        {"HBloom5.fx", 1, 0, 0, 1, 1, -1},
        {"VBloom5.fx", 1, 0, 0, 1, 1, -1},
        {"HBloom3.fx", 1, 0, 0, 1, 1, -1},
        {"VBloom3.fx", 1, 0, 0, 1, 1, -1},
        {"DownFilterTo64x64.fx", 1, 0, 0, k64Of800, k64Of600, -1},
        {"InitialLum.fx", 1, 0, 0, 0.25f, 0.25f, -1},
        {"FinalLum.fx", 1, 0, 0, 0.25f, 0.25f, -1},
        {"LumFilter.fx", 1, 0, 0b10, 1, 1, 1},
        {"ScaleToCurScreenSize.fx", 1, 0, 0, 800, 600, -1},
        {"ToneMap2.fx", 1, 0b1, 0, 800, 600, -1},
        {"LumDownFilter2x.fx", 1, 0, 0, 0.5f, 0.5f, -1},
        {"LumDownFilter4x.fx", 1, 0, 0, 0.25f, 0.25f, -1},
        {"Saved0Combine.fx", 1, 0, 0b01, 1, 1, -1},
        {"Saved0Combine4x.fx", 1, 0, 0b01, 4, 4, -1},
        {"Wavy.fx", 1, 0, 0, 1, 1, -1},
        {"EdgeDetection.fx", 0, 0b1, 0, 1, 1, -1},
        {"RT1.fx", 0, 0b10, 0, 1, 1, -1},
        {"RT2.fx", 0, 0b100, 0, 1, 1, -1},
        {"Dilation.fx", 1, 0, 0, 1, 1, -1},
        {"EdgeCombine.fx", 1, 0b1, 0, 1, 1, -1},
        {"RT3.fx", 1, 0, 0, 1, 1, -1},
        {"HGaussian.fx", 1, 0, 0, 1, 1, -1},
        {"VGaussian.fx", 1, 0, 0, 1, 1, -1},
        {"AA2x2.fx", 1, 0, 0, 1, 1, -1},
    };
    std::vector<std::string> covered;
    for (const Case& c : cases)
        covered.emplace_back(c.file);
    std::vector<std::string> table = pptest::CommittedPostProcessFiles();
    table.erase(table.begin()); // PPScene.fx
    std::sort(covered.begin(), covered.end());
    std::sort(table.begin(), table.end());
    EXPECT_EQ(covered, table) << "every file of the id table, once";

    // The luminance chain's shares bring it to one pixel of 800 x 600 and back to the whole.
    EXPECT_FLOAT_EQ(k64Of800 * 0.25f * 0.25f * 0.25f * 800.0f, 1.0f);
    EXPECT_FLOAT_EQ(k64Of600 * 0.25f * 0.25f * 0.25f * 600.0f, 1.0f);

    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.file);
        CPostProcess post;
        ASSERT_TRUE(Load(post, c.file));
        EXPECT_EQ(post.GetSourceUsage(0), c.previous);
        for (unsigned i = 0; i < CPostProcess::kSceneCount; ++i)
        {
            EXPECT_EQ(post.GetSceneUsage(i), (c.scenes >> i) & 1u ? 1 : 0) << "scene target " << i;
            if ((c.scenes >> i) & 1u)
            {
                EXPECT_NE(post.GetSceneHandle(i), nullptr) << "scene target " << i;
            }
        }
        for (unsigned i = 0; i < CPostProcess::kSavedCount; ++i)
        {
            EXPECT_EQ(post.GetSavedUsage(i), (c.saved >> i) & 1u ? 1 : 0) << "saved target " << i;
            if ((c.saved >> i) & 1u)
            {
                EXPECT_NE(post.GetSavedHandle(i), nullptr) << "saved target " << i;
            }
        }
        if (c.previous)
        {
            EXPECT_NE(post.GetSourceHandle(0), nullptr);
        }
        EXPECT_EQ(post.IsQuadScaled(), c.scaleX != 1.0f || c.scaleY != 1.0f);
        EXPECT_FLOAT_EQ(post.GetQuadScaleX(), c.scaleX);
        EXPECT_FLOAT_EQ(post.GetQuadScaleY(), c.scaleY);
        EXPECT_EQ(post.GetSaveOutputIndex(), c.save);
        for (unsigned i = 0; i < CPostProcess::kParameterCount; ++i)
            if (!post.GetParameterName(i).empty())
            {
                EXPECT_NE(post.GetParameterHandle(i), nullptr) << post.GetParameterName(i);
                EXPECT_GT(post.GetParameterSize(i), 0);
            }
        // Every converted offset is a texel offset now: below one texel of the 800-pixel side
        // times the largest pixel offset (8), and not left at its default.
        plat::ID3DXEffect* effect = post.GetEffect();
        for (unsigned index = 0;; ++index)
        {
            const plat::D3DXHANDLE p = effect->GetParameter(nullptr, index);
            if (!p)
                break;
            if (!effect->GetAnnotationByName(p, "ConvertPixelsToTexels"))
                continue;
            plat::D3DXPARAMETER_DESC desc;
            ASSERT_TRUE(plat::SUCCEEDED(effect->GetParameterDesc(p, &desc)));
            std::vector<float> values(desc.Bytes / 4);
            effect->GetFloatArray(p, values.data(), static_cast<plat::UINT>(values.size()));
            float largest = 0;
            for (float v : values)
                largest = std::max(largest, std::abs(v));
            EXPECT_GT(largest, 0.0f) << desc.Name;
            EXPECT_LT(largest, 8.0f / 600.0f + 1e-6f) << desc.Name;
        }
    }
    CPostProcess final;
    EXPECT_FALSE(Load(final, "PPScene.fx")) << "the final pass is not a post-processing step";
}
} // namespace

// The post-processor on the headless device: the ids and "qpp" names, the queue's life from
// frame to frame, the ping-pong order, saved targets, effects loaded on first use (and files
// that cannot run), the screen quad's scales and its exactness over many frames, targets and
// texel offsets after a reset, the final pass without "PPScene.fx", and the frame's scene
// targets and chain read from the call log.
#include "GfxTestWorld.h"
#include "PostProcessTestWorld.h"

#include "LogCapture.h"
#include "common/ConsoleInterface.h"
#include "engine/gfx/postprocess/CPostProcess.h"
#include "platform/headless.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

using dorvo::gfx::CDorvoGfx;
using dorvo::gfx::CPostProcess;
using dorvo::gfx::CPostProcessor;
using dorvo::gfx::CPPInstance;
using dorvo::gfx::SScreenQuad;
using plat::devicedebug::CallKind;
using plat::devicedebug::LoggedCall;

namespace
{
using Files = std::vector<std::string>;

const Files kBloom = {"DownFilter4x.fx", "BrightFilter.fx", "DownFilter4x.fx", "HBloom.fx",   "VBloom.fx",
                      "HBloom.fx",       "VBloom.fx",       "UpFilter4x.fx",   "Combine4x.fx"};

class PostProcessorTest : public pptest::HeadlessPostProcessing
{
protected:
    CPostProcessor& post() { return CPostProcessor::Instance(); }

    Files Queued()
    {
        Files files;
        for (const CPPInstance& instance : post().GetQueue())
            files.push_back(instance.GetEffectFile());
        return files;
    }

    static void Run(const std::string& line)
    {
        common::ConsoleInterface::Instance().WriteToConsole(line, common::FF_Execute, true);
    }

    void PostProcessingOn() { gfx.SetRenderFlags(gfx.GetRenderFlags() | CDorvoGfx::RF_POST_PROCESSING); }

    // The lines of the text that name the file.
    static unsigned LinesNaming(const std::string& text, const std::string& file)
    {
        unsigned lines = 0;
        std::size_t start = 0;
        while (start < text.size())
        {
            std::size_t end = text.find('\n', start);
            if (end == std::string::npos)
                end = text.size();
            if (text.substr(start, end - start).find(file) != std::string::npos)
                ++lines;
            start = end + 1;
        }
        return lines;
    }
};

TEST_F(PostProcessorTest, IdsQueueTheirFileOrTheirChainAndTheRestNothing)
{
    Start();
    const Files bloom2 = {"BrightFilter.fx", "DownFilter4x.fx", "HBloom.fx",   "VBloom.fx",
                          "HBloom.fx",       "VBloom.fx",       "Combine4x.fx"};
    struct Case
    {
        unsigned id;
        Files files;
    };
    const Case cases[] = {
        {0, {"DownFilter4x.fx"}},
        {5, {"ToneMap.fx"}},
        {8, kBloom},
        {9, {}},
        {10, {}},
        {11, bloom2},
        {19, {"SaveTo0.fx"}},
        {32, {}},
        {35, {}},
        {41, {"Wavy.fx"}},
        {50, {"AA2x2.fx"}},
        {51, {}},
        {1000, {}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.id);
        post().ClearQueue();
        gfx.QueuePostProcess(c.id, true);
        EXPECT_EQ(Queued(), c.files);
        for (const CPPInstance& instance : post().GetQueue())
            EXPECT_TRUE(instance.GetDropAfterRun()) << "every element takes the flag";
    }
    post().ClearQueue();
    gfx.QueuePostProcess(12, false);
    const Files queued = Queued();
    ASSERT_EQ(queued.size(), 24u);
    EXPECT_EQ(queued.front(), "BrightFilter.fx");
    EXPECT_EQ(queued[1], "SaveTo0.fx");
    EXPECT_EQ(queued.back(), "Combine.fx");
    // Appended at the back.
    gfx.QueuePostProcess(41, false);
    EXPECT_EQ(Queued().back(), "Wavy.fx");
}

TEST_F(PostProcessorTest, QppKnowsTheTableNamesExactly)
{
    Start();
    struct Case
    {
        const char* line;
        Files files;
        bool drop;
    };
    const Case cases[] = {
        {"qpp bloom false", kBloom, false},
        {"qpp bloom true", kBloom, true},
        {"qpp Bloom false", {}, false},
        {"qpp BLOOM false", {}, false},
        {"qpp wavy true", {"Wavy.fx"}, true},
        {"qpp edgedetection false", {"EdgeDetection.fx"}, false},
        {"qpp saved0combine false", {"Saved0Combine.fx"}, false},
        {"qpp tonemap false", {}, false}, // id 5 has no name
        {"qpp bloom2 false",
         {"BrightFilter.fx", "DownFilter4x.fx", "HBloom.fx", "VBloom.fx", "HBloom.fx", "VBloom.fx",
          "Combine4x.fx"},
         false},
        {"qpp AA2x2 false", {}, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.line);
        post().ClearQueue();
        Run(c.line);
        EXPECT_EQ(Queued(), c.files);
        for (const CPPInstance& instance : post().GetQueue())
            EXPECT_EQ(instance.GetDropAfterRun(), c.drop);
    }
}

TEST_F(PostProcessorTest, OneFrameInstancesRunOnceAndRemoveLastLetsTheLastRunOnceMore)
{
    Start();
    PostProcessingOn();
    Run("removelastpp"); // an empty queue: nothing happens
    EXPECT_TRUE(post().GetQueue().empty());

    gfx.QueuePostProcess(19, false); // SaveTo0, kept
    gfx.QueuePostProcess(42, true);  // EdgeDetection, this frame only
    gfx.QueuePostProcess(45, false); // Dilation, kept
    LoggedFrame();
    EXPECT_EQ(EffectDraws(), (Files{"SaveTo0.fx/PostProcess/0", "EdgeDetection.fx/PostProcess/0",
                                    "Dilation.fx/PostProcess/0", "PPScene.fx/RenderScrQuad/0"}));
    EXPECT_EQ(Queued(), (Files{"SaveTo0.fx", "Dilation.fx"}));

    Run("removelastpp");
    EXPECT_EQ(Queued(), (Files{"SaveTo0.fx", "Dilation.fx"})) << "still queued until it has run";
    LoggedFrame();
    EXPECT_EQ(EffectDraws(),
              (Files{"SaveTo0.fx/PostProcess/0", "Dilation.fx/PostProcess/0", "PPScene.fx/RenderScrQuad/0"}));
    LoggedFrame();
    EXPECT_EQ(EffectDraws(), (Files{"SaveTo0.fx/PostProcess/0", "PPScene.fx/RenderScrQuad/0"}));

    Run("clearpp");
    EXPECT_TRUE(post().GetQueue().empty());
    LoggedFrame();
    EXPECT_EQ(EffectDraws(), (Files{"PPScene.fx/RenderScrQuad/0"})) << "scene target 0 through PPScene alone";
}

// The frame with post-processing on: the four scene targets cleared in order (target 0 left
// current for the scene), scene target 0 copied into A, each run written into the other
// ping-pong texture, the last result through PPScene.fx onto the back buffer. Off: none of it.
TEST_F(PostProcessorTest, EachRunReadsOnePingPongTextureAndWritesTheOther)
{
    Start();
    gfx.QueuePostProcess(42, false);
    gfx.QueuePostProcess(45, false);
    gfx.QueuePostProcess(46, false);
    LoggedFrame();
    EXPECT_TRUE(gfxtest::CallsOf(CallKind::StretchRect).empty()) << "post-processing is off";
    EXPECT_EQ(EffectDraws(), Files{});

    PostProcessingOn();
    std::vector<CPostProcessor::SChainStep> trace;
    post().SetChainTrace(&trace);
    LoggedFrame();
    post().SetChainTrace(nullptr);

    const unsigned a = Number(post().GetPingPong(0));
    const unsigned b = Number(post().GetPingPong(1));
    std::vector<unsigned> sceneClears;
    for (const LoggedCall& call : gfxtest::CallsOf(CallKind::Clear))
        for (unsigned i = 0; i < CPostProcessor::kSceneTargetCount; ++i)
            if (call.target == Number(post().GetSceneTarget(i)))
                sceneClears.push_back(i);
    EXPECT_EQ(sceneClears, (std::vector<unsigned>{0, 1, 2, 3}));

    const std::vector<LoggedCall> copies = gfxtest::CallsOf(CallKind::StretchRect);
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(copies[0].source, Number(post().GetSceneTarget(0)));
    EXPECT_EQ(copies[0].target, a);
    EXPECT_EQ(copies[0].flags, static_cast<plat::DWORD>(plat::D3DTEXF_NONE));

    ASSERT_EQ(trace.size(), 3u);
    const unsigned sources[] = {0, 1, 0};
    for (unsigned i = 0; i < 3; ++i)
    {
        SCOPED_TRACE(trace[i].file);
        EXPECT_EQ(trace[i].source, sources[i]);
        EXPECT_EQ(trace[i].destination, 1 - sources[i]);
    }
    EXPECT_EQ(post().GetSourceIndex(), 1u) << "after three runs the picture is in B";

    std::vector<unsigned> drawTargets;
    unsigned backBuffer = 0;
    for (const LoggedCall& call : gfxtest::CallsOf(CallKind::Draw))
    {
        if (call.name.find("/PostProcess/") != std::string::npos)
            drawTargets.push_back(call.target);
        if (call.name == "PPScene.fx/RenderScrQuad/0")
        {
            backBuffer = call.target;
            EXPECT_EQ(call.primitiveType, plat::D3DPT_TRIANGLESTRIP);
            EXPECT_EQ(call.primitiveCount, 2u);
        }
    }
    EXPECT_EQ(drawTargets, (std::vector<unsigned>{b, a, b}));
    EXPECT_NE(backBuffer, 0u);
    EXPECT_NE(backBuffer, a);
    EXPECT_NE(backBuffer, b);

    // An even number of runs ends in A.
    post().RemoveLastPostProcess();
    gfx.RenderFrame(2.0, 0.033f);
    gfx.RenderFrame(3.0, 0.033f);
    EXPECT_EQ(post().GetQueue().size(), 2u);
    EXPECT_EQ(post().GetSourceIndex(), 0u);
}

TEST_F(PostProcessorTest, AnOutputSavedToTargetOneIsReadBackInTheSameFrame)
{
    fxtest::WriteFx("SaveTo1.fx", R"(
texture g_SrcTex0;
sampler2D s_Src = sampler_state { Texture = <g_SrcTex0>; };
glsl fragment PS { void main() { plat_Color = tex2D(s_Src, plat_TexCoord0); } }
technique PostProcess <int SrcTex0Usage = 1; int SaveOutputBackToTextureIndex = 1;>
{ pass { FragmentShader = PS; } }
)");
    fxtest::WriteFx("GetSaved1.fx", R"(
texture g_SrcSavedTex1;
sampler2D s_Saved = sampler_state { Texture = <g_SrcSavedTex1>; };
glsl fragment PS { void main() { plat_Color = tex2D(s_Saved, plat_TexCoord1); } }
technique PostProcess <int SrcSavedTex1Usage = 1;>
{ pass { FragmentShader = PS; } }
)");
    Start();
    PostProcessingOn();
    gfx.QueuePostProcess(20, true); // SaveTo1
    gfx.QueuePostProcess(22, true); // GetSaved1
    LoggedFrame();

    const unsigned saved1 = Number(post().GetSavedTarget(1));
    ASSERT_NE(saved1, 0u);
    std::vector<std::string> order;
    for (const LoggedCall& call : plat::headless::CallLog())
    {
        if (call.kind == CallKind::StretchRect && call.target == saved1)
        {
            order.push_back("copy into saved 1");
            EXPECT_EQ(call.source, Number(post().GetPingPong(1))) << "the output just written";
            EXPECT_EQ(call.flags, static_cast<plat::DWORD>(plat::D3DTEXF_LINEAR));
        }
        if (call.kind == CallKind::Draw && call.name.find("/PostProcess/") != std::string::npos)
        {
            order.push_back(call.name);
            if (call.name == "GetSaved1.fx/PostProcess/0")
            {
                EXPECT_EQ(call.textureCount, 1u) << "saved target 1 bound";
            }
        }
    }
    EXPECT_EQ(order, (Files{"SaveTo1.fx/PostProcess/0", "copy into saved 1", "GetSaved1.fx/PostProcess/0"}));
}

// Every name "qpp" knows runs all the files of its id, in order, in one frame, and nothing is
// said: every file of the table is there and runs.
TEST_F(PostProcessorTest, EveryQppNameRunsEveryFileOfItsIdQuietly)
{
    Start();
    PostProcessingOn();
    for (const std::string& name : pptest::QppNames())
    {
        SCOPED_TRACE(name);
        unsigned id = 0;
        ASSERT_TRUE(dorvo::gfx::PostProcessIdOfName(name, id));
        post().ClearQueue();
        testsupport::LogCapture logged;
        Run("qpp " + name + " true");
        LoggedFrame();
        const std::string err = logged.Text();
        EXPECT_TRUE(err.empty()) << err;
        Files want;
        for (const std::string& file : dorvo::gfx::PostProcessFilesOfId(id))
            want.push_back(file + "/PostProcess/0");
        want.push_back("PPScene.fx/RenderScrQuad/0");
        EXPECT_EQ(EffectDraws(), want);
        EXPECT_TRUE(post().GetQueue().empty()) << "queued for one frame";
    }
    unsigned id = 0;
    ASSERT_TRUE(dorvo::gfx::PostProcessIdOfName("bloom3", id));
    EXPECT_EQ(dorvo::gfx::PostProcessFilesOfId(id).size(), 24u);
}

// Effects not preloaded load on first use; a file that is missing or has no "PostProcess"
// technique is never cached and its instances are dropped, with one line per file name.
TEST_F(PostProcessorTest, EffectsLoadOnFirstUseAndFilesThatCannotRunAreDroppedWithOneLineEach)
{
    fxtest::WriteFx("Combine.fx", R"(
glsl fragment PS { void main() { plat_Color = vec4(1.0); } }
technique Other { pass { FragmentShader = PS; } }
)");
    std::filesystem::remove(std::string(fxtest::kFxFolder) + "ToneMap.fx");
    config.postProcessFxFiles = {"EdgeDetection.fx", "EdgeDetection.fx", "ToneMap.fx"};
    testsupport::LogCapture logged;
    Start();
    std::string err = logged.Text();
    EXPECT_EQ(post().GetCachedCount(), 1u);
    EXPECT_NE(post().FindPostProcess("EdgeDetection.fx"), nullptr);
    EXPECT_NE(err.find("ToneMap.fx"), std::string::npos) << err;

    PostProcessingOn();
    gfx.QueuePostProcess(46, false); // EdgeCombine: not preloaded
    gfx.QueuePostProcess(5, false);  // ToneMap.fx: no such file
    gfx.QueuePostProcess(6, false);  // Combine.fx: no "PostProcess"
    gfx.QueuePostProcess(6, true);
    logged.Clear();
    LoggedFrame();
    gfx.QueuePostProcess(6, false);
    gfx.RenderFrame(2.0, 0.033f);
    err = logged.Text();

    EXPECT_EQ(EffectDraws(), (Files{"EdgeCombine.fx/PostProcess/0", "PPScene.fx/RenderScrQuad/0"}));
    EXPECT_EQ(Queued(), Files{"EdgeCombine.fx"});
    EXPECT_NE(post().FindPostProcess("EdgeCombine.fx"), nullptr);
    EXPECT_EQ(post().FindPostProcess("ToneMap.fx"), nullptr);
    EXPECT_EQ(post().FindPostProcess("Combine.fx"), nullptr);
    EXPECT_EQ(err.find("ToneMap.fx"), std::string::npos) << "told once, at start-up: " << err;
    EXPECT_EQ(LinesNaming(err, "\"fx/Combine.fx\""), 1u) << err;
    EXPECT_NE(err.find("PostProcess"), std::string::npos) << err;
}

// Names in the configuration that leave the effect folder are refused even where a loadable
// effect lies at the end of them: one line each, nothing cached.
TEST_F(PostProcessorTest, EffectNamesThatLeaveTheEffectFolderAreRefused)
{
    namespace fs = std::filesystem;
    fs::create_directories("outside");
    fs::copy_file(std::string(fxtest::kFxFolder) + "EdgeDetection.fx", "outside/Evil.fx");
    const std::string absolute = fs::absolute("outside/Evil.fx").string();
    config.postProcessFxFiles = {"../outside/Evil.fx", "..\\outside\\Evil.fx", absolute, "EdgeDetection.fx"};
    testsupport::LogCapture logged;
    Start();
    const std::string err = logged.Text();
    EXPECT_EQ(post().GetCachedCount(), 1u) << err;
    EXPECT_NE(post().FindPostProcess("EdgeDetection.fx"), nullptr);
    for (const std::string& name : Files{"../outside/Evil.fx", "..\\outside\\Evil.fx", absolute})
    {
        EXPECT_EQ(post().FindPostProcess(name), nullptr) << name;
        EXPECT_EQ(LinesNaming(err, name + ": the name leaves the effect folder"), 1u) << name << "\n" << err;
    }
}

// An instance's own parameter values reach its effect, and only the parameters it set: the
// others take the file's defaults. A kept instance brings its values again every frame, and a
// later instance without them runs on the defaults.
TEST_F(PostProcessorTest, AnInstancesOwnParameterValuesReachItsEffect)
{
    Start();
    PostProcessingOn();
    CPPInstance own("Wavy.fx", false);
    own.SetParameter(0, {0.5f, 9.0f, 9.0f, 9.0f}); // g_WaveAmplitude
    own.SetParameter(2, {7.0f, 0.0f, 0.0f, 0.0f}); // g_WaveSpeed
    post().Queue(own);
    LoggedFrame();
    ASSERT_EQ(EffectDraws(), (Files{"Wavy.fx/PostProcess/0", "PPScene.fx/RenderScrQuad/0"}));
    const CPostProcess* wavy = post().FindPostProcess("Wavy.fx");
    ASSERT_NE(wavy, nullptr);
    plat::ID3DXEffect* effect = wavy->GetEffect();
    const auto value = [&](const char* name)
    {
        float got = -1.0f;
        EXPECT_TRUE(plat::SUCCEEDED(effect->GetFloat(effect->GetParameterByName(nullptr, name), &got)))
            << name;
        return got;
    };
    EXPECT_FLOAT_EQ(value("g_WaveAmplitude"), 0.5f);
    EXPECT_FLOAT_EQ(value("g_WaveFrequency"), 40.0f) << "not set by the instance: the default";
    EXPECT_FLOAT_EQ(value("g_WaveSpeed"), 7.0f);

    // Kept: its values are set again on the next run.
    effect->SetFloat(effect->GetParameterByName(nullptr, "g_WaveAmplitude"), 0.25f);
    LoggedFrame(2.0);
    EXPECT_FLOAT_EQ(value("g_WaveAmplitude"), 0.5f);

    post().ClearQueue();
    post().Queue(CPPInstance("Wavy.fx", true));
    LoggedFrame(3.0);
    ASSERT_EQ(EffectDraws(), (Files{"Wavy.fx/PostProcess/0", "PPScene.fx/RenderScrQuad/0"}));
    EXPECT_FLOAT_EQ(value("g_WaveAmplitude"), 0.006f);
    EXPECT_FLOAT_EQ(value("g_WaveSpeed"), 3.0f);
}

// The quad covers the part of the target each effect's scale gives, and later effects read
// only the part written; the final quad is full size again.
TEST_F(PostProcessorTest, ScaledQuadsCoverAndReadTheirPart)
{
    Start(); // 800 x 600
    PostProcessingOn();
    gfx.QueuePostProcess(0, true);  // DownFilter4x: 0.25
    gfx.QueuePostProcess(48, true); // HGaussian
    gfx.QueuePostProcess(1, true);  // UpFilter4x: 4
    std::vector<CPostProcessor::SChainStep> trace;
    post().SetChainTrace(&trace);
    gfx.RenderFrame(1.0, 0.033f);
    post().SetChainTrace(nullptr);
    ASSERT_EQ(trace.size(), 3u);

    struct Want
    {
        float right, bottom, u, v;
    };
    const Want wants[] = {
        {199.5f, 149.5f, 1.0f, 1.0f}, {199.5f, 149.5f, 0.25f, 0.25f}, {799.5f, 599.5f, 0.25f, 0.25f}};
    for (unsigned i = 0; i < 3; ++i)
    {
        SCOPED_TRACE(trace[i].file);
        const auto& c = trace[i].quad.corners;
        EXPECT_FLOAT_EQ(c[0].x, -0.5f);
        EXPECT_FLOAT_EQ(c[0].y, -0.5f);
        EXPECT_FLOAT_EQ(c[3].x, wants[i].right);
        EXPECT_FLOAT_EQ(c[3].y, wants[i].bottom);
        EXPECT_FLOAT_EQ(c[1].x, wants[i].right);
        EXPECT_FLOAT_EQ(c[2].y, wants[i].bottom);
        EXPECT_FLOAT_EQ(c[3].u0, wants[i].u);
        EXPECT_FLOAT_EQ(c[3].v0, wants[i].v);
        EXPECT_FLOAT_EQ(c[3].u1, 1.0f) << "pair 1 always spans the full-size targets";
        EXPECT_FLOAT_EQ(c[3].v1, 1.0f);
    }
    SScreenQuad full;
    full.Build(800, 600);
    EXPECT_EQ(std::memcmp(&post().GetScreenQuad(), &full, sizeof full), 0);
    EXPECT_FLOAT_EQ(post().GetQuadScaleX(), 1.0f);
}

TEST_F(PostProcessorTest, TheFinalQuadIsExactAfterAThousandFrames)
{
    fxtest::WriteFx("Odd.fx", R"(
texture g_SrcTex0;
sampler2D s_Src = sampler_state { Texture = <g_SrcTex0>; };
glsl fragment PS { void main() { plat_Color = tex2D(s_Src, plat_TexCoord0); } }
technique PostProcess <int SrcTex0Usage = 1; float ScrQuadScaleX = 0.3; float ScrQuadScaleY = 0.7;>
{ pass { FragmentShader = PS; } }
)");
    // A small back buffer keeps a thousand chains quick.
    config.useDefaults = false;
    config.screenWidth = 64;
    config.screenHeight = 48;
    Start();
    PostProcessingOn();
    gfx.QueuePostProcess(8, false);
    post().Queue(CPPInstance("Odd.fx", false));
    SScreenQuad full;
    full.Build(64, 48);
    for (int frame = 0; frame < 1000; ++frame)
        post().RunChain();
    EXPECT_EQ(post().GetQueue().size(), 10u);
    EXPECT_EQ(std::memcmp(&post().GetScreenQuad(), &full, sizeof full), 0);
}

// A reset at a new size: every target made again at that size, the quad and every cached
// effect's pixel offsets following it; nothing of the old size survives.
TEST_F(PostProcessorTest, TargetsQuadAndTexelOffsetsFollowAResetTo1024By768)
{
    Start();
    PostProcessingOn();
    gfx.QueuePostProcess(42, false); // EdgeDetection, cached at its first run
    gfx.RenderFrame(1.0, 0.033f);
    CPostProcess* edges = post().FindPostProcess("EdgeDetection.fx");
    ASSERT_NE(edges, nullptr);
    EXPECT_EQ(fxtest::Floats(edges->GetEffect(), "g_TexelOffset", 2),
              (std::vector<float>{1.0f / 800, 1.0f / 600}));

    plat::DXUTSetCallbackDeviceLost([](void*) { CDorvoGfx::Instance().OnLostDevice(); });
    plat::DXUTSetCallbackDeviceReset(
        [](plat::IDirect3DDevice9*, const plat::D3DSURFACE_DESC*, void*)
        {
            CDorvoGfx::Instance().OnResetDevice();
            return plat::S_OK;
        });
    plat::headless::InjectMessage(plat::WM_SIZE, 0, plat::MAKELPARAM(1024, 768));
    plat::MSG msg;
    while (plat::PeekMessageW(&msg, nullptr, 0, 0, plat::PM_REMOVE))
        plat::DispatchMessageW(&msg);
    plat::DXUTRender3DEnvironment();
    ASSERT_EQ(plat::headless::BackBufferWidth(), 1024u);

    std::vector<plat::IDirect3DResource9*> targets;
    for (unsigned i = 0; i < 4; ++i)
        targets.insert(targets.end(), {post().GetSceneTarget(i), post().GetSceneDepth(i)});
    for (unsigned i = 0; i < 2; ++i)
        targets.insert(targets.end(),
                       {post().GetPingPong(i), post().GetPingPongDepth(i), post().GetSavedTarget(i)});
    const std::vector<plat::devicedebug::ResourceInfo> resources = plat::headless::Resources();
    for (plat::IDirect3DResource9* target : targets)
    {
        ASSERT_NE(target, nullptr);
        const plat::devicedebug::ResourceInfo& info = resources.at(Number(target) - 1);
        EXPECT_TRUE(info.live);
        EXPECT_EQ(info.width, 1024u);
        EXPECT_EQ(info.height, 768u);
    }
    for (const plat::devicedebug::ResourceInfo& info : resources)
        if (info.live && !info.implicit && info.pool == plat::D3DPOOL_DEFAULT &&
            (info.kind == plat::devicedebug::ResourceKind::Texture ||
             info.kind == plat::devicedebug::ResourceKind::DepthStencilSurface))
        {
            EXPECT_FALSE(info.width == 800 && info.height == 600)
                << "a target of the old size survived (creation " << info.creation << ")";
        }

    EXPECT_EQ(fxtest::Floats(edges->GetEffect(), "g_TexelOffset", 2),
              (std::vector<float>{1.0f / 1024, 1.0f / 768}));
    EXPECT_FLOAT_EQ(post().GetScreenQuad().corners[3].x, 1023.5f);
    EXPECT_FLOAT_EQ(post().GetScreenQuad().corners[3].y, 767.5f);
    LoggedFrame();
    EXPECT_EQ(EffectDraws(), (Files{"EdgeDetection.fx/PostProcess/0", "PPScene.fx/RenderScrQuad/0"}));
}

TEST_F(PostProcessorTest, WithoutPPSceneTheLastResultIsCopiedToTheBackBufferWithOneLine)
{
    std::filesystem::remove(std::string(fxtest::kFxFolder) + "PPScene.fx");
    testsupport::LogCapture logged;
    Start();
    PostProcessingOn();
    gfx.QueuePostProcess(42, false);
    LoggedFrame();
    gfx.RenderFrame(2.0, 0.033f);
    const std::string err = logged.Text();
    EXPECT_EQ(post().GetFinalEffect(), nullptr);
    EXPECT_EQ(LinesNaming(err, "PPScene.fx"), 1u) << err;

    const std::vector<LoggedCall> copies = gfxtest::CallsOf(CallKind::StretchRect);
    ASSERT_EQ(copies.size(), 2u); // scene target 0 into A, then the result out
    EXPECT_EQ(copies[1].source, Number(post().GetPingPong(1)));
    EXPECT_EQ(copies[1].flags, static_cast<plat::DWORD>(plat::D3DTEXF_LINEAR));
    plat::IDirect3DSurface9* backBuffer = nullptr;
    ASSERT_TRUE(plat::SUCCEEDED(dorvo::gfx::CGFXCore::Instance().GetBackBuffer(0, 0, &backBuffer)));
    EXPECT_EQ(copies[1].target, Number(backBuffer));
    backBuffer->Release();
    EXPECT_EQ(EffectDraws(), Files{"EdgeDetection.fx/PostProcess/0"});
}

// While the scene is drawn in lines no effect runs: the final pass alone draws, filled, and the
// queue keeps what a run would have kept (the one-frame waves leave). Back in solid, the
// preset's effects run again.
TEST_F(PostProcessorTest, WhileTheSceneIsInLinesTheEffectsWait)
{
    Start();
    pptest::ApplyPreset("Medium");
    Run("setwireframe true");
    gfx.QueuePostProcess(41, true); // the underwater waves, this frame only
    LoggedFrame();
    EXPECT_EQ(EffectDraws(), Files{"PPScene.fx/RenderScrQuad/0"});
    EXPECT_EQ(Queued(), (Files{"EdgeDetection.fx", "EdgeCombine.fx"}));
    for (const LoggedCall& call : plat::headless::CallLog())
        if (call.kind == CallKind::Draw && call.name == "PPScene.fx/RenderScrQuad/0")
        {
            EXPECT_EQ(call.flags, static_cast<plat::DWORD>(plat::D3DFILL_SOLID));
        }
    Run("setwireframe false");
    LoggedFrame();
    EXPECT_EQ(EffectDraws(), (Files{"EdgeDetection.fx/PostProcess/0", "EdgeCombine.fx/PostProcess/0",
                                    "PPScene.fx/RenderScrQuad/0"}));
}

// The game's presets, as their draws: Low none, Medium edges and outlines, High the glow too.
TEST_F(PostProcessorTest, ThePresetsRunTheirEffects)
{
    Start();
    const std::string final = "PPScene.fx/RenderScrQuad/0";
    struct Case
    {
        const char* quality;
        Files draws;
    };
    const Case cases[] = {
        {"Low", {}},
        {"Medium", {"EdgeDetection.fx", "EdgeCombine.fx", final}},
        {"High",
         {"EdgeDetection.fx", "Dilation.fx", "EdgeCombine.fx", "SaveTo0.fx", "RT3.fx", "DownFilter4x.fx",
          "HGaussian.fx", "VGaussian.fx", "UpFilter4x.fx", "Saved0Combine.fx", final}},
        {"Medium", {"EdgeDetection.fx", "EdgeCombine.fx", final}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.quality);
        pptest::ApplyPreset(c.quality);
        LoggedFrame();
        Files want;
        for (const std::string& name : c.draws)
            want.push_back(name == final ? name : name + "/PostProcess/0");
        EXPECT_EQ(EffectDraws(), want);
        EXPECT_NE(gfx.GetRenderFlags() & CDorvoGfx::RF_LINES, 0u);
    }
}
} // namespace

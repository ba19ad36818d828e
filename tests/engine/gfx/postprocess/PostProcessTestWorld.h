// The post-processing tests' world: the facade on the headless device in a fresh working folder
// whose "fx/" is the effects folder, holding Dummy.fx and the committed post-processing effects,
// plus the game's three quality presets as the game's settings apply them.
#pragma once

#include "EffectTestWorld.h"
#include "engine/gfx/core/CDorvoGfx.h"
#include "engine/gfx/postprocess/CPostProcessor.h"
#include "engine/gfx/postprocess/PostProcessIds.h"

#include <filesystem>
#include <string>
#include <vector>

namespace pptest
{
// The committed post-processing files: PPScene.fx first, then the file of every id of the
// table that has one, in id order.
inline std::vector<std::string> CommittedPostProcessFiles()
{
    std::vector<std::string> files = {"PPScene.fx"};
    for (unsigned id = 0; id < dorvo::gfx::kPostProcessIdCount; ++id)
    {
        const std::vector<std::string> ofId = dorvo::gfx::PostProcessFilesOfId(id);
        if (ofId.size() == 1)
            files.push_back(ofId.front());
    }
    return files;
}

// Every name "qpp" knows, in id order.
inline std::vector<std::string> QppNames()
{
    return {"downfilter4x",
            "upfilter4x",
            "hbloom",
            "vbloom",
            "brightfilter",
            "combine",
            "combine4x",
            "bloom",
            "bloom2",
            "bloom3",
            "downfilter2x",
            "upfilter2x",
            "upfilter2xsaveto0",
            "upfilter2xsaveto1",
            "upfilter4xsaveto0",
            "upfilter4xsaveto1",
            "saveto0",
            "saveto1",
            "getsaved0",
            "getsaved1",
            "saved0combinesaveto0",
            "saved1combinesaveto1",
            "hbloom5",
            "vbloom5",
            "hbloom3",
            "vbloom3",
            "saved0combine",
            "wavy",
            "edgedetection",
            "rt1",
            "rt2",
            "dilation",
            "edgecombine",
            "rt3",
            "hgaussian",
            "vgaussian",
            "aa2x2"};
}

// What the game's graphics-quality setting does: models, lines and post-processing on, the
// queue emptied, then by the quality: "Low" post-processing off again, "Medium" edges and
// outlines, "High" outlines with a glow.
inline void ApplyPreset(const std::string& quality)
{
    using dorvo::gfx::CDorvoGfx;
    CDorvoGfx& gfx = CDorvoGfx::Instance();
    gfx.SetRenderFlags(gfx.GetRenderFlags() | CDorvoGfx::RF_MODELS | CDorvoGfx::RF_LINES |
                       CDorvoGfx::RF_POST_PROCESSING);
    dorvo::gfx::CPostProcessor::Instance().ClearQueue();
    if (quality == "Low")
        gfx.SetRenderFlags(gfx.GetRenderFlags() & ~static_cast<std::uint32_t>(CDorvoGfx::RF_POST_PROCESSING));
    else if (quality == "Medium")
    {
        gfx.QueuePostProcess(42, false);
        gfx.QueuePostProcess(46, false);
    }
    else if (quality == "High")
    {
        dorvo::gfx::CPostProcessor::Instance().ClearQueue();
        for (unsigned id : {42u, 45u, 46u, 19u, 47u, 0u, 48u, 49u, 1u, 39u})
            gfx.QueuePostProcess(id, false);
    }
}

// The headless facade with every committed post-processing file in its effects folder.
class HeadlessPostProcessing : public fxtest::HeadlessEffects
{
protected:
    void SetUp() override
    {
        plat::headless::Reset();
        plat::DXUTInit(false, false, false, true);
        m_ppDir = std::make_unique<testsupport::TempWorkDir>();
        std::filesystem::create_directories(fxtest::kFxFolder);
        fxtest::CopyAuthored("Dummy.fx");
        for (const std::string& file : CommittedPostProcessFiles())
            fxtest::CopyAuthored(file);
        config.fxPath = fxtest::kFxFolder;
    }

    // Init with the configuration as the test set it.
    void Start()
    {
        ASSERT_TRUE(gfx.Init(config));
        device = plat::DXUTGetD3D9Device();
    }

    void TearDown() override
    {
        gfx.SetRenderFlags(dorvo::gfx::CDorvoGfx::kDefaultRenderFlags);
        gfx.Release();
        plat::headless::Reset();
        m_ppDir.reset();
    }

    // One frame with the call log on (the log cleared first).
    void LoggedFrame(double time = 1.0)
    {
        plat::headless::ClearCallLog();
        plat::headless::SetCallLogging(true);
        gfx.RenderFrame(time, 0.033f);
        plat::headless::SetCallLogging(false);
    }

    // The names of the effect draws of the last logged frame, in order.
    static std::vector<std::string> EffectDraws()
    {
        std::vector<std::string> names;
        for (const std::string& name : fxtest::LoggedNames(plat::devicedebug::CallKind::Draw))
            if (!name.empty() && name != "batch")
                names.push_back(name);
        return names;
    }

    static unsigned Number(plat::IDirect3DResource9* resource)
    {
        return plat::devicedebug::CreationNumber(resource);
    }

private:
    std::unique_ptr<testsupport::TempWorkDir> m_ppDir;
};
} // namespace pptest

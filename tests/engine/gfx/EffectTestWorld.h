// The effect tests' world: the facade on the headless device in a fresh working folder whose
// "fx/" is the effects folder, holding our Dummy.fx, with helpers that put authored effects,
// test fixtures and small hand-written files beside it.
#pragma once

#include "TestSupport.h"
#include "engine/SEngineConfigInfo.h"
#include "engine/gfx/core/CDorvoGfx.h"
#include "engine/gfx/core/CFXManager.h"
#include "engine/gfx/core/CGFXCore.h"
#include "platform/d3dx9.h"
#include "platform/device_debug.h"
#include "platform/frame_driver.h"
#include "platform/headless.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace fxtest
{
constexpr char kFxFolder[] = "fx/";

// The eleven parameters every scene effect's table starts with, for hand-written files.
constexpr char kCommonParameters[] = R"(
float4x4 g_World : World;
float4x4 g_WorldView : WorldView;
float4x4 g_WorldViewProjection : WorldViewProjection;
float4x4 g_WorldInverseTranspose : WorldInverseTranspose;
float4 g_MaterialAmbient;
float4 g_MaterialDiffuse;
float4 g_MaterialSpecular;
float g_specular_power;
float g_TileFactor;
float4 g_ModelLightPos;
float4 g_ModelLightDir;
)";

inline void CopyInto(const std::string& from, const std::string& name)
{
    std::filesystem::copy_file(from, std::string(kFxFolder) + name,
                               std::filesystem::copy_options::overwrite_existing);
}

// One of the committed effects under data/fx.
inline void CopyAuthored(const std::string& name)
{
    CopyInto(testsupport::RepoPath("data/fx/" + name), name);
}

// One of the test effects under tests/data/fx.
inline void CopyFixture(const std::string& name)
{
    CopyInto(testsupport::RepoPath("tests/data/fx/" + name), name);
}

inline void WriteFx(const std::string& name, const std::string& text)
{
    std::ofstream(std::string(kFxFolder) + name, std::ios::binary) << text;
}

// A parameter's name as the effect describes it; "" for a null or foreign handle.
inline std::string NameOf(plat::ID3DXEffect* effect, plat::D3DXHANDLE handle)
{
    plat::D3DXPARAMETER_DESC desc;
    if (!handle || plat::FAILED(effect->GetParameterDesc(handle, &desc)) || !desc.Name)
        return "";
    return desc.Name;
}

// The names of the logged calls of one kind, in order.
inline std::vector<std::string> LoggedNames(plat::devicedebug::CallKind kind)
{
    std::vector<std::string> names;
    for (const plat::devicedebug::LoggedCall& call : plat::headless::CallLog())
        if (call.kind == kind)
            names.push_back(call.name);
    return names;
}

// Reads n floats of a parameter.
inline std::vector<float> Floats(plat::ID3DXEffect* effect, const char* name, unsigned n)
{
    std::vector<float> values(n, -999.0f);
    effect->GetFloatArray(name, values.data(), n);
    return values;
}

class HeadlessEffects : public ::testing::Test
{
protected:
    void SetUp() override
    {
        plat::headless::Reset();
        plat::DXUTInit(false, false, false, true);
        m_dir = std::make_unique<testsupport::TempWorkDir>();
        std::filesystem::create_directories(kFxFolder);
        CopyAuthored("Dummy.fx");
        config.fxPath = kFxFolder;
        ASSERT_TRUE(gfx.Init(config));
        device = plat::DXUTGetD3D9Device();
    }

    void TearDown() override
    {
        gfx.Release();
        plat::headless::Reset();
        m_dir.reset();
    }

    dorvo::SEngineConfigInfo config;
    dorvo::gfx::CDorvoGfx& gfx = dorvo::gfx::CDorvoGfx::Instance();
    dorvo::gfx::CFXManager& fx = dorvo::gfx::CFXManager::Instance();
    dorvo::gfx::CGFXCore& core = dorvo::gfx::CGFXCore::Instance();
    plat::IDirect3DDevice9* device = nullptr;

private:
    std::unique_ptr<testsupport::TempWorkDir> m_dir;
};
} // namespace fxtest

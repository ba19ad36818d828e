// The scene-graph tests' world: the facade on the headless device with "TextureMappingNoLight.fx"
// and a test effect of one, three and five passes loaded, viewport 0 looking from (0, 0, -10)
// at the origin, one shared quad on the device, small PNG textures, and test units made to
// order. The renderer and the core's visibility flags are put back after each test.
#pragma once

#include "EffectScene.h"
#include "EffectTestWorld.h"
#include "GfxTestWorld.h"
#include "TestGfxUnit.h"
#include "common/math/MathUtil.h"
#include "engine/gfx/core/CRenderer.h"
#include "engine/gfx/scene/CSceneGraphMgr.h"

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace gfxtest
{
constexpr char kNoLight[] = "TextureMappingNoLight.fx";
constexpr char kNoLightTechnique[] = "TextureMappingNoLight";
constexpr char kPasses[] = "Passes.fx"; // techniques "One", "Three", "Five"

class SceneGraphWorld : public fxtest::HeadlessEffects
{
protected:
    void SetUp() override
    {
        HeadlessEffects::SetUp();
        fxtest::CopyAuthored(kNoLight);
        std::string passes = fxtest::kCommonParameters;
        passes += R"(
glsl vertex VS_Place { void main() { plat_Position = mul(in_Position, g_WorldViewProjection); } }
glsl fragment PS_Flat { void main() { plat_Color = g_MaterialDiffuse; } }
)";
        const char* names[] = {"One", "Three", "Five"};
        const int counts[] = {1, 3, 5};
        for (int t = 0; t < 3; ++t)
        {
            passes += std::string("technique ") + names[t] + "\n{\n";
            for (int p = 0; p < counts[t]; ++p)
                passes += "    pass P" + std::to_string(p) +
                          " { VertexShader = VS_Place; FragmentShader = PS_Flat; }\n";
            passes += "}\n";
        }
        fxtest::WriteFx(kPasses, passes);
        fx.LoadEffects({kNoLight, kPasses});
        ASSERT_NE(fx.GetEffect(kNoLight), nullptr);
        ASSERT_NE(fx.GetEffect(kPasses), nullptr);
        LookFrom(math::Vector3(0, 0, -10), 0);
        ASSERT_TRUE(fxscene::MakeUnitQuad(quad));
        for (const char* name : {"a", "b", "c", "d"})
            ASSERT_TRUE(
                WritePng(std::string(name) + ".png", 4, 4, [](unsigned, unsigned) { return 0xFF808080u; }));
    }

    void TearDown() override
    {
        units.clear();
        quad.Release();
        dorvo::gfx::CRenderer& renderer = dorvo::gfx::CRenderer::Instance();
        renderer.SetSortMode(dorvo::gfx::CRenderer::SORT_FrontToBack);
        renderer.SetSinglePass(false);
        core.SetVisibilityValid(false);
        core.SetSecondViewport(false);
        gfx.SetRenderFlags(dorvo::gfx::CDorvoGfx::kDefaultRenderFlags);
        HeadlessEffects::TearDown();
    }

    // Viewport record index looks from the eye at the origin (y up, 45 degrees, 4:3, 0.1 to
    // 100) and becomes current.
    void LookFrom(const math::Vector3& eye, unsigned index)
    {
        dorvo::gfx::SViewportRecord& record = core.GetViewportRecord(index);
        const math::Vector3 at(0, 0, 0), up(0, 1, 0);
        const float fov = math::kPi / 4.0f, aspect = 4.0f / 3.0f;
        record.eye = eye;
        record.lookAt = at;
        record.view = math::Matrix4::LookAtLH(eye, at, up);
        record.projection = math::Matrix4::PerspectiveFovLH(fov, aspect, 0.1f, 100.0f);
        record.frustum.SetView(eye, at, up, 100.0f, 0.1f);
        record.frustum.SetSpread(std::tan(fov / 2.0f) * aspect, std::tan(fov / 2.0f));
        record.fieldOfView = fov;
        record.aspect = aspect;
        core.SetViewport(index);
    }

    // A unit of the quad at x (visible from the eye for |x| up to about 3), drawn with the
    // effect file and technique given, with textures T0 and T3 when named.
    TestGfxUnit& Unit(const std::string& mesh, float x = 0.0f, const std::string& fxFile = kNoLight,
                      const std::string& technique = kNoLightTechnique, const char* t0 = nullptr,
                      const char* t3 = nullptr)
    {
        units.push_back(std::make_unique<TestGfxUnit>(mesh, fxFile, technique));
        TestGfxUnit& unit = *units.back();
        unit.world[3][0] = x;
        unit.sphere = math::Sphere(math::Vector3(x, 0, 0), 1.0f);
        unit.box = math::AABB(math::Vector3(x - 1, -1, -1), math::Vector3(x + 1, 1, 1));
        unit.record.buffers = &quad;
        if (t0)
            unit.LoadTexture(std::string(t0) + ".png", 0);
        if (t3)
            unit.LoadTexture(std::string(t3) + ".png", 3);
        return unit;
    }

    std::vector<dorvo::gfx::IGfxUnit*> List() const
    {
        std::vector<dorvo::gfx::IGfxUnit*> list;
        for (const auto& unit : units)
            list.push_back(unit.get());
        return list;
    }

    // The graph built from every unit made so far, then walked with the call log on.
    void BuildAndDraw(dorvo::gfx::CSceneGraphMgr& graph)
    {
        graph.Build(List());
        Draw(graph);
    }

    void Draw(dorvo::gfx::CSceneGraphMgr& graph)
    {
        plat::headless::ClearCallLog();
        plat::headless::SetCallLogging(true);
        core.BeginFrame();
        graph.Traverse();
        core.EndScene();
        plat::headless::SetCallLogging(false);
    }

    dorvo::gfx::D3DRenderBuffers quad;
    std::vector<std::unique_ptr<TestGfxUnit>> units;
};
} // namespace gfxtest

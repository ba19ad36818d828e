// The model tests' world: the facade on the headless device with the repository's meshes,
// textures and scene effects, the test room's templates (tests/data/gfx), an empty oct tree and
// mesh cache, a camera handed to viewport 0, and objects made from the room's archetypes.
#pragma once

#include "TestSupport.h"
#include "worldscene/WorldScene.h"

#include "common/CBSPTreeMgr.h"
#include "common/COctTree.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/POVComp.h"
#include "engine/gfx/core/CDorvoGfx.h"
#include "engine/gfx/core/CGFXCore.h"
#include "engine/gfx/core/CGfxUnit.h"
#include "engine/gfx/mesh/CMeshManager.h"
#include "engine/gfx/mesh/GfxModelComp.h"
#include "platform/frame_driver.h"
#include "platform/headless.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>

namespace gfxtest
{
class ModelWorld : public ::testing::Test
{
protected:
    void SetUp() override
    {
        plat::headless::Reset();
        plat::DXUTInit(false, false, false, true);
        m_dir = std::make_unique<testsupport::TempWorkDir>();
        ASSERT_TRUE(gfx.Init(worldscene::SceneConfig()));
        device = plat::DXUTGetD3D9Device();
        GobManager::Instance().DestroyAllGobs();
        common::COctTree::Global().Rebuild();
        dorvo::gfx::CMeshManager::Instance().Release();
        // The test room's templates and the camera, through a scene of no objects.
        UseScene("");
    }

    void TearDown() override
    {
        scene.Destroy();
        GobManager::Instance().DestroyAllGobs();
        dorvo::gfx::CMeshManager::Instance().Release();
        gfx.Release();
        plat::headless::Reset();
        m_dir.reset();
    }

    // A scene of the test room's templates with these lines inside, built; camera included
    // unless the lines hold one.
    void UseScene(const std::string& lines)
    {
        std::string text = "<Scene><Template file=\"" + testsupport::RepoPath("tests/data/gfx/TestRoom.xml") +
                           "\"/>" + lines;
        if (lines.find("<Camera") == std::string::npos)
            text += "<Camera eye=\"0 1 -12\" lookAt=\"0 1 24\" fov=\"45\"/>";
        text += "</Scene>";
        std::ofstream("scene.xml") << text;
        ASSERT_TRUE(scene.Load("scene.xml")) << scene.Error();
        ASSERT_TRUE(scene.Build()) << scene.Error();
    }

    // A new object of the archetype at the position, placed and filed.
    Gob* Make(const std::string& archetype, const math::Vector3& position = math::Vector3(0.0f, 0.0f, 10.0f))
    {
        Gob* gob = GobManager::Instance().CreateGob(archetype);
        EXPECT_NE(gob, nullptr) << archetype;
        if (gob)
            GetPOVComp(gob)->SetPosition(position, true);
        return gob;
    }

    static dorvo::gfx::GfxModelComp* Model(Gob* gob)
    {
        return gob ? static_cast<dorvo::gfx::GfxModelComp*>(
                         gob->GetComponent(dorvo::gfx::GfxModelComp::StaticTypeID()))
                   : nullptr;
    }
    static dorvo::gfx::CGfxUnit* Unit(Gob* gob)
    {
        dorvo::gfx::GfxModelComp* model = Model(gob);
        return model ? model->GetUnit() : nullptr;
    }

    dorvo::gfx::CDorvoGfx& gfx = dorvo::gfx::CDorvoGfx::Instance();
    plat::IDirect3DDevice9* device = nullptr;
    worldscene::WorldScene scene;

private:
    std::unique_ptr<testsupport::TempWorkDir> m_dir;
};
} // namespace gfxtest

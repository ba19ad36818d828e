// A small world for picking tests: a headless application whose game hands out a test camera
// (eye (0, 0, -10) looking at the origin, 90 degree view, 800 x 600) and cursor, the global
// oct tree over the game's world box, and objects of a template holding only a POVComp.
#pragma once

#include "TestSupport.h"
#include "common/COctTree.h"
#include "common/math/AABB.h"
#include "common/math/Matrix4.h"
#include "common/math/Sphere.h"
#include "common/math/Vector3.h"
#include "engine/ACLoader.h"
#include "engine/CDorvoApp.h"
#include "engine/CDorvoCamera.h"
#include "engine/CDorvoGame.h"
#include "engine/DefaultCompCreator.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/POVComp.h"
#include "platform/frame_driver.h"
#include "platform/headless.h"
#include "platform/input_feed.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace pickertest
{
constexpr float kScreenWidth = 800.0f; // pixels
constexpr float kScreenHeight = 600.0f;

class PickGame : public dorvo::CDorvoGame
{
public:
    std::wstring GetWindowTitle() override { return L"Picker Test"; }
    void OnResetDevice() override {}
    void OnLostDevice() override {}
    void Update(double, float) override {}
    void Render(double, float) override {}
    void Init() override {}
    plat::LRESULT MsgProc(plat::UINT, plat::WPARAM, plat::LPARAM) override { return 0; }
    dorvo::CDorvoCamera* GetCamera() override { return camera; }
    dorvo::gfx::CCursor* GetCursor() override { return cursor; }

    dorvo::CDorvoCamera* camera = nullptr;
    dorvo::gfx::CCursor* cursor = nullptr;
};

// Only the device; graphics and physics themselves are not needed to pick.
class PickApp : public dorvo::CDorvoApp
{
public:
    dorvo::CDorvoGame* CreateGame() override { return new PickGame(); }
    PickGame* Game() const { return static_cast<PickGame*>(GetGame()); }

protected:
    dorvo::gfx::CDorvoGfx* GraphicsInstance() override { return nullptr; }
    bool InitGraphics(const SEngineConfigInfo&) override
    {
        return plat::SUCCEEDED(plat::DXUTCreateDevice(plat::D3DADAPTER_DEFAULT, true, 800, 600));
    }
    void LoseGraphicsDevice() override {}
    void ResetGraphicsDevice() override {}
    void TakeGraphicsScreenShot(const std::string&) override {}
    dorvo::phy::DynamicsEngine* DynamicsInstance() override { return nullptr; }
    void InitDynamics() override {}
};

class NullLoader : public dorvo::ACLoader<dorvo::SEngineConfigInfo>
{
public:
    void Load(const std::string&) override {}
};

class PickerWorld : public ::testing::Test
{
protected:
    void SetUp() override
    {
        plat::headless::Reset();
        plat::inputfeed::Reset();

        RegisterComponentType<POVComp>("POVComp");
        std::ofstream("Pickable.xml") << "<File><Template><string>Pickable</string><string>Pickable</string>"
                                         "<list size=\"1\"><string>POVComp</string></list><list size=\"0\"/>"
                                         "</Template></File>";
        GobManager::Instance().LoadTemplate("Pickable.xml");
        common::COctTree& tree = common::COctTree::Global();
        tree.SetDepth(4);
        tree.SetWorldBox(math::AABB(math::Vector3(-90, -90, -90), math::Vector3(150, 630, 150)));
        tree.Rebuild();

        camera.SetPosition(0.0f, 0.0f, -10.0f);
        camera.SetLookAt(0.0f, 0.0f, 0.0f);
        camera.UpdateSphericalCoords();
        camera.SetProjection(1.5707964f, kScreenWidth / kScreenHeight, 1.0f, 1000.0f);

        app = new PickApp();
        g_pApp = app;
        ASSERT_TRUE(app->Init(loader, "config.xml"));
        app->Game()->camera = &camera;
    }

    void TearDown() override
    {
        GobManager::Instance().DestroyAllGobs();
        if (g_pApp)
        {
            g_pApp->Shutdown();
            delete g_pApp;
            g_pApp = nullptr;
        }
        plat::headless::Reset();
    }

    Gob* AddSphere(const math::Vector3& centre, float radius)
    {
        Gob* gob = GobManager::Instance().CreateGob("Pickable");
        POVComp* pov = GetPOVComp(gob);
        pov->SetBVType(POVComp::BV_Sphere);
        pov->SetBoundingSphere(math::Sphere(math::Vector3(0, 0, 0), radius));
        pov->SetBoundingBox(
            math::AABB(math::Vector3(-radius, -radius, -radius), math::Vector3(radius, radius, radius)));
        pov->SetPosition(centre, true);
        return gob;
    }

    Gob* AddBox(const math::Vector3& centre, const math::Vector3& half,
                std::uint32_t bvType = POVComp::BV_Box)
    {
        Gob* gob = GobManager::Instance().CreateGob("Pickable");
        POVComp* pov = GetPOVComp(gob);
        pov->SetBVType(bvType);
        pov->SetBoundingBox(math::AABB(-half, half));
        pov->SetPosition(centre, true);
        return gob;
    }

    // The back-buffer pixel a world point is drawn at by the test camera (y down).
    math::Vector3 ScreenPointOf(const math::Vector3& world) const
    {
        math::Matrix4 view;
        math::Matrix4 projection;
        camera.ComputeViewMatrix(view);
        camera.ComputeProjectionMatrix(projection);
        const math::Vector4 clip = (projection * view).Transform(math::Vector4(world));
        return math::Vector3((clip.x / clip.w + 1.0f) * kScreenWidth / 2.0f,
                             (1.0f - clip.y / clip.w) * kScreenHeight / 2.0f, 0.0f);
    }

    testsupport::TempWorkDir dir;
    NullLoader loader;
    PickApp* app = nullptr;
    dorvo::CDorvoCamera camera{nullptr};
};
} // namespace pickertest

// End to end, headless: objects of every kind (widgets with their data, star objects, nodes,
// scene objects and objectives) built in a game world are written as an environment file; a
// fresh world reads the file and has the same objects with the same data, and writes the same
// file again. The file written must equal the committed one, tests/data/game/EndToEndEnv.xml
// (set DORVO_UPDATE_EXPECTED=1 to write it anew after a deliberate change of the format).
#include "GameTestWorld.h"

#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/gfx/core/CGfxUnit.h"
#include "engine/gfx/core/CTextureHandle.h"
#include "engine/gfx/mesh/GfxModelComp.h"
#include "engine/phy/CollisionComp.h"
#include "engine/phy/PhysicsComp.h"
#include "game/app/CQUORB.h"
#include "game/files/GameDataFiles.h"
#include "game/objectives/CGetToLocation.h"
#include "game/objectives/CTimeLimit.h"
#include "game/objectives/CWaterControl.h"
#include "game/objectives/IObjective.h"
#include "game/objectives/ObjectiveComp.h"
#include "game/room/FindComp.h"
#include "game/room/GobDescription.h"
#include "game/widgets/CAcceleratorData.h"
#include "game/widgets/CBarData.h"
#include "game/widgets/CGravitySwitchData.h"
#include "game/widgets/CMagnetData.h"
#include "game/widgets/CPlatformData.h"
#include "game/widgets/CQUORBData.h"
#include "game/widgets/WidgetDataComp.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using QUORB::GobDescription;

namespace
{
const std::string kExpectedFile = std::string(DORVO_SOURCE_DIR) + "/tests/data/game/EndToEndEnv.xml";

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

GobDescription Describe(const char* archetype, const math::Vector3& position)
{
    GobDescription description;
    description.archetypeName = archetype;
    description.position = position;
    return description;
}

// One description of every kind of object an environment can hold, each record's fields away
// from the template's.
std::vector<GobDescription> EveryKind()
{
    std::vector<GobDescription> all;

    GobDescription platform = Describe("Platform", math::Vector3(-6.0f, 2.0f, 19.0f));
    platform.scale = math::Vector3(4.0f, 1.0f, 1.0f);
    auto platformData = std::make_unique<QUORB::CPlatformData>(nullptr);
    platformData->SetDensity(0.5f);
    platformData->SetStaticFriction(0.1f);
    platformData->SetKineticFriction(0.05f);
    platformData->SetModifiable(false);
    platform.widgetData = std::move(platformData);
    all.push_back(platform);

    GobDescription bar = Describe("Bar", math::Vector3(0.0f, -3.0f, 19.0f));
    bar.orientation.SetFromAxisAngle(math::Vector3(0.0f, 0.0f, 1.0f), 0.25f);
    bar.scale = math::Vector3(3.0f, 1.0f, 1.0f);
    auto barData = std::make_unique<QUORB::CBarData>(nullptr);
    barData->SetDensity(1.2f);
    barData->SetMagnetism(1);
    barData->SetCollideWithQUORB(false);
    bar.widgetData = std::move(barData);
    all.push_back(bar);

    GobDescription accelerator = Describe("Accelerator", math::Vector3(5.0f, 0.0f, 19.0f));
    auto acceleratorData = std::make_unique<QUORB::CAcceleratorData>(nullptr);
    acceleratorData->direction = math::Vector3(-1.0f, 0.0f, 0.0f);
    acceleratorData->SetSpeedSetting(24.0f);
    accelerator.widgetData = std::move(acceleratorData);
    all.push_back(accelerator);

    GobDescription gravity = Describe("GravitySwitch", math::Vector3(8.0f, 6.0f, 19.0f));
    auto gravityData = std::make_unique<QUORB::CGravitySwitchData>(nullptr);
    gravityData->direction = math::Vector3(0.0f, 1.0f, 0.0f);
    gravity.widgetData = std::move(gravityData);
    all.push_back(gravity);

    GobDescription magnet = Describe("Magnet", math::Vector3(-8.0f, 6.0f, 19.0f));
    auto magnetData = std::make_unique<QUORB::CMagnetData>(nullptr);
    magnetData->strength = 2.0f;
    magnetData->SetMagnetism(2);
    magnet.widgetData = std::move(magnetData);
    all.push_back(magnet);

    GobDescription ball = Describe("QUORBBall", math::Vector3(0.0f, 8.0f, 19.0f));
    auto ballData = std::make_unique<QUORB::CQUORBData>(nullptr);
    ballData->SetStaticFriction(0.9f);
    ballData->SetKineticFriction(0.85f);
    ballData->SetDensity(0.5f);
    ball.widgetData = std::move(ballData);
    all.push_back(ball);

    // A star object that keeps its template's data, nodes and scene objects without any.
    all.push_back(Describe("QUORBBox", math::Vector3(3.0f, 8.0f, 19.0f)));
    all.push_back(Describe("SoftNode", math::Vector3(-8.0f, 2.0f, 19.0f)));
    all.push_back(Describe("HardNode", math::Vector3(-4.0f, 2.0f, 19.0f)));
    GobDescription box = Describe("EnvBox", math::Vector3(10.0f, -8.0f, 10.0f));
    box.orientation.SetFromAxisAngle(math::Vector3(0.0f, 1.0f, 0.0f), 0.5f);
    box.scale = math::Vector3(2.0f, 0.5f, 3.0f);
    all.push_back(box);

    // One objective of each kind on its own archetype, the values away from the defaults.
    struct ObjectiveKind
    {
        const char* archetype;
        std::uint32_t flag;
    };
    const ObjectiveKind objectives[] = {{"LocationObjective", 1}, {"DestructionObjective", 2},
                                        {"SquashObjective", 4},   {"TimerObjective", 8},
                                        {"WaterObjective", 16},   {"TargetObjective", 32}};
    float x = -10.0f;
    for (const ObjectiveKind& kind : objectives)
    {
        GobDescription objective = Describe(kind.archetype, math::Vector3(x, 10.0f, 18.0f));
        x += 4.0f;
        objective.scale = math::Vector3(2.0f, 2.0f, 2.0f);
        objective.objective.reset(QUORB::IObjective::Create(kind.flag));
        if (QUORB::CGetToLocation* location = objective.objective->AsGetToLocation())
            location->SetQuorbCheckType(1);
        if (QUORB::CTimeLimit* limit = objective.objective->AsTimeLimit())
            limit->SetTimeInterval(45.0f);
        if (QUORB::CWaterControl* water = objective.objective->AsWaterControl())
        {
            water->SetBeginWaterLevel(-2.0f);
            water->SetEndWaterLevel(3.5f);
            water->SetTimeInterval(8.0f);
        }
        all.push_back(objective);
    }
    return all;
}

// What a fresh world must rebuild: every description printed as the file holds it.
std::vector<std::string> Printed(const std::vector<std::uint32_t>& ids)
{
    std::vector<std::string> out;
    for (std::uint32_t id : ids)
    {
        GobDescription description;
        GobDescription::FromGob(GobManager::Instance().GetGob(id), description);
        TiXmlElement parent("Parent");
        GobDescription::Write(&parent, "EnvDescription", description);
        TiXmlPrinter printer;
        parent.Accept(&printer);
        out.push_back(printer.Str());
    }
    return out;
}

std::string Texture(Gob* gob)
{
    auto* model = QUORB::FindComp<dorvo::gfx::GfxModelComp>(gob);
    dorvo::gfx::CGfxUnit* unit = model ? model->GetUnit() : nullptr;
    dorvo::gfx::CTextureHandle* texture = unit ? unit->GetTexture(0) : nullptr;
    return texture ? texture->GetFileName() : std::string();
}
} // namespace

TEST(EnvironmentEndToEnd, ObjectsOfEveryKindSurviveAnEnvironmentFile)
{
    std::string written;
    std::vector<std::string> described;
    {
        gametest::GameTestWorld world;
        ASSERT_TRUE(world.Booted());
        world.Frames(2);
        world.Game().SetFocusedFace(0);
        std::vector<std::uint32_t> ids;
        for (const GobDescription& description : EveryKind())
        {
            SCOPED_TRACE(description.archetypeName);
            Gob* gob = GobDescription::CreateGob(description);
            ASSERT_NE(gob, nullptr);
            ids.push_back(gob->GetID());
        }
        const std::string path = world.Folder() + "EndToEndEnv.xml";
        ASSERT_TRUE(QUORB::SaveEnvironmentFile(ids, path));
        written = ReadFile(path);
        described = Printed(ids);
    }
    if (std::getenv("DORVO_UPDATE_EXPECTED") != nullptr)
        std::ofstream(kExpectedFile, std::ios::binary) << written;
    EXPECT_EQ(written, ReadFile(kExpectedFile)) << "the environment file differs from " << kExpectedFile;

    gametest::GameTestSetup setup;
    setup.files["EndToEndEnv.xml"] = written;
    gametest::GameTestWorld fresh(setup);
    ASSERT_TRUE(fresh.Booted());
    fresh.Frames(2);
    fresh.Game().SetFocusedFace(0);
    const std::uint32_t before = GobManager::Instance().GetCount();
    std::vector<std::uint32_t> ids;
    ASSERT_TRUE(QUORB::LoadEnvironmentFile(ids, fresh.Folder() + "EndToEndEnv.xml"));
    ASSERT_EQ(ids.size(), described.size());
    EXPECT_EQ(GobManager::Instance().GetCount(), before + ids.size());
    EXPECT_EQ(Printed(ids), described);

    // The records reached their objects, not only the descriptions.
    Gob* platform = GobManager::Instance().GetGob(ids[0]);
    ASSERT_NE(platform, nullptr);
    EXPECT_EQ(Texture(platform), "common/wood_diffuse.png");
    EXPECT_FLOAT_EQ(QUORB::FindComp<dorvo::phy::CollisionComp>(platform)->staticFriction, 0.1f);
    EXPECT_FALSE(QUORB::WidgetDataComp::Of(platform)->GetData()->IsModifiable());
    Gob* bar = GobManager::Instance().GetGob(ids[1]);
    EXPECT_EQ(Texture(bar), "common/metal1_diffuse.png");
    EXPECT_FLOAT_EQ(QUORB::FindComp<dorvo::phy::PhysicsComp>(bar)->GetDensity(), 1.2f);
    Gob* accelerator = GobManager::Instance().GetGob(ids[2]);
    EXPECT_FLOAT_EQ(
        QUORB::FindComp<dorvo::gfx::GfxModelComp>(accelerator)->GetUnit()->GetRenderRecord()->uvAnimation[0],
        -4.0f);

    // And the objectives theirs.
    int objectives = 0;
    for (std::size_t i = 0; i < ids.size(); ++i)
    {
        Gob* gob = GobManager::Instance().GetGob(ids[i]);
        QUORB::ObjectiveComp* objective = QUORB::ObjectiveComp::Of(gob);
        if (objective == nullptr || objective->GetObjective() == nullptr)
            continue;
        SCOPED_TRACE(gob->GetArchetypeName());
        ++objectives;
        EXPECT_EQ(objective->GetObjective()->GetOwner(), objective);
        if (const QUORB::CTimeLimit* limit = objective->GetObjective()->AsTimeLimit())
        {
            EXPECT_FLOAT_EQ(limit->GetTimeInterval(), 45.0f);
        }
        if (const QUORB::CWaterControl* water = objective->GetObjective()->AsWaterControl())
        {
            EXPECT_FLOAT_EQ(water->GetEndWaterLevel(), 3.5f);
        }
    }
    EXPECT_EQ(objectives, 6);

    const std::string again = fresh.Folder() + "Again.xml";
    ASSERT_TRUE(QUORB::SaveEnvironmentFile(ids, again));
    EXPECT_EQ(ReadFile(again), written);
}

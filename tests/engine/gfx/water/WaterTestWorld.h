// The water tests' world on the headless device: the model tests' world with the water
// templates of tests/data/gfx/WaterRoom.xml filed too ("StillWater", "WavyWater" and the
// "BlueBox" prop), and helpers that make water objects and reach their components.
#pragma once

#include "ModelTestWorld.h"

#include "engine/gfx/water/ACGfxWater.h"
#include "engine/gfx/water/CWaterManager.h"
#include "engine/gfx/water/GfxWaterComp.h"

namespace gfxtest
{
class WaterWorld : public ModelWorld
{
protected:
    void SetUp() override
    {
        ModelWorld::SetUp();
        UseScene("<Template file=\"" + testsupport::RepoPath("tests/data/gfx/WaterRoom.xml") + "\"/>");
    }

    // Water of the archetype at height y, stretched across the scale.
    Gob* MakeWater(const std::string& archetype, float y,
                   const math::Vector3& scale = math::Vector3(40.0f, 1.0f, 40.0f))
    {
        Gob* gob = GobManager::Instance().CreateGob(archetype);
        EXPECT_NE(gob, nullptr) << archetype;
        if (!gob)
            return nullptr;
        POVComp* pov = GetPOVComp(gob);
        pov->SetScale(scale, true);
        pov->SetPosition(math::Vector3(0.0f, y, 10.0f), true);
        return gob;
    }

    static dorvo::gfx::GfxWaterComp* Water(Gob* gob)
    {
        return gob ? static_cast<dorvo::gfx::GfxWaterComp*>(
                         gob->GetComponent(dorvo::gfx::GfxWaterComp::StaticTypeID()))
                   : nullptr;
    }

    static dorvo::gfx::CWaterManager& Manager() { return dorvo::gfx::CWaterManager::Instance(); }
};
} // namespace gfxtest

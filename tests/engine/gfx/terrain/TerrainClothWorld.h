// The terrain and cloth tests' world: the model tests' world (the facade on the headless device,
// the repository's art and effects, the test room's templates) with the terrain and cloth
// templates of tests/data/gfx and the physics cloth's component registered.
#pragma once

#include "ModelTestWorld.h"

#include "engine/DefaultCompCreator.h"
#include "engine/GridComp.h"
#include "engine/gfx/terrain/CGfxCloth.h"
#include "engine/gfx/terrain/CGfxTerrain.h"
#include "engine/gfx/terrain/GfxClothComp.h"
#include "engine/gfx/terrain/GfxTerrainComp.h"
#include "engine/phy/ClothComp.h"

#include <string>

namespace gfxtest
{
class TerrainClothWorld : public ModelWorld
{
protected:
    void SetUp() override
    {
        RegisterComponentType<dorvo::phy::ClothComp>(dorvo::phy::ClothComp::kTypeName);
        ModelWorld::SetUp();
        UseScene(Templates());
    }

    // The scene lines that load the terrain and cloth templates.
    static std::string Templates()
    {
        std::string lines;
        for (const char* file : {"TerrainTemplate.xml", "ClothTemplate.xml", "ClothDrawnFirstTemplate.xml"})
            lines +=
                "<Template file=\"" + testsupport::RepoPath(std::string("tests/data/gfx/") + file) + "\"/>";
        return lines;
    }

    static dorvo::gfx::GfxTerrainComp* Terrain(Gob* gob)
    {
        return gob ? static_cast<dorvo::gfx::GfxTerrainComp*>(
                         gob->GetComponent(dorvo::gfx::GfxTerrainComp::StaticTypeID()))
                   : nullptr;
    }
    static dorvo::gfx::GfxClothComp* Cloth(Gob* gob)
    {
        return gob ? static_cast<dorvo::gfx::GfxClothComp*>(
                         gob->GetComponent(dorvo::gfx::GfxClothComp::StaticTypeID()))
                   : nullptr;
    }
    static GridComp* Grid(Gob* gob)
    {
        return gob ? static_cast<GridComp*>(gob->GetComponent(GridComp::StaticTypeID())) : nullptr;
    }

    static void Destroy(Gob* gob)
    {
        GobManager::Instance().KillGob(gob);
        GobManager::Instance().ProcessKillList();
    }
};
} // namespace gfxtest

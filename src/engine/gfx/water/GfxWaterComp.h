// A sheet of water on a game object: its effect ("Water2.fx" unless the XML says otherwise),
// textures, flags, water type and the values of waving or still water, read from the object's
// XML. On initialisation a planar type (0 with waves, 1 without) makes the object's water unit
// (owned), enters it in the facade's water list and becomes the water manager's active water,
// whose plane the game asks for; type 3 is no water. The unit leaves the list, and the manager
// forgets the component, when the component goes.
#pragma once

#include "engine/ComponentBase.h"
#include "engine/gfx/core/GfxUnitFields.h"
#include "engine/gfx/core/SMaterial.h"
#include "engine/gfx/terrain/GridXml.h"
#include "engine/gfx/water/NoWaveInfo.h"
#include "engine/gfx/water/WaveInfo.h"

#include <memory>
#include <string>

namespace math
{
class Plane;
}

namespace dorvo
{
namespace gfx
{
class ACGfxWater;

class GfxWaterComp : public ComponentBase<GfxWaterComp>, public GfxUnitFields
{
public:
    static constexpr char kTypeName[] = "GfxWaterComp";

    // What the "WaterType" holds. 2 keeps its plane where it was set (no unit is made for it
    // yet); any other value is not water the engine knows.
    enum EWaterType : int
    {
        WATER_Waves = 0,      // planar water with waves
        WATER_NoWaves = 1,    // planar water without waves
        WATER_FixedPlane = 2, // the plane is not recomputed
        WATER_None = 3,       // no water
    };

    GfxWaterComp();
    // Takes the unit out of the facade's water list, deletes it and leaves the water manager
    // without active water when it was this one.
    ~GfxWaterComp() override;

    // <Component name="GfxWaterComp"> with "FXFile", "Technique", the "Textures" list of
    // "Texture" pairs ("enum" stage, "string" file), "ShadowCaster", "IsVisible",
    // "AlwaysVisible", "BuildBSPTree", the "enum" "WaterType", then for type 1 the
    // "WaterNoWaveInfo" element, for any other type the "Grid" and the "WaterWaveInfo" element.
    // Read back by position; a field whose element is missing or unreadable keeps its value.
    bool Serialize(TiXmlNode* parent) override;
    bool Deserialize(const TiXmlNode* node) override;
    // Stores the owner. Types 0 and 1 make the unit (when the owner has a position component;
    // else one line naming the template), give the owner's position component the quad's bounds
    // and the model name "PlanarNoWaveWater", load the textures, enter the unit in the facade's
    // water list and make this the active water. Type 3 makes nothing; any other type makes
    // nothing and says so in one line naming the object. Always true.
    bool Initialize(Gob* owner) override;

    // Null without a unit.
    ACGfxWater* GetUnit() const { return m_pUnit.get(); }
    // The unit's world plane; false, plane unchanged, without a unit.
    bool GetWaterPlane(math::Plane& plane) const;

    // ---- Fields (the textures, visibility flags and BuildBSPTree are GfxUnitFields') ----
    const std::string& GetFXFile() const { return m_FXFile; }
    void SetFXFile(const std::string& file) { m_FXFile = file; }
    const std::string& GetTechnique() const { return m_Technique; }
    void SetTechnique(const std::string& technique) { m_Technique = technique; }
    const WaveInfo& GetWaveInfo() const { return m_WaveInfo; }
    void SetWaveInfo(const WaveInfo& info) { m_WaveInfo = info; }
    const NoWaveInfo& GetNoWaveInfo() const { return m_NoWaveInfo; }
    void SetNoWaveInfo(const NoWaveInfo& info) { m_NoWaveInfo = info; }
    const SGrid& GetGrid() const { return m_Grid; }
    void SetGrid(const SGrid& grid) { m_Grid = grid; }
    int GetWaterType() const { return m_WaterType; }
    void SetWaterType(int type) { m_WaterType = type; }
    // Not saved: ambient, diffuse and specular 1, power 255.
    const SMaterial& GetMaterial() const { return m_Material; }

private:
    void CreateUnit();
    // Out of the facade's list and deleted, and no longer the manager's active water.
    void DestroyUnit();

    std::string m_FXFile = "Water2.fx";
    std::string m_Technique;
    std::unique_ptr<ACGfxWater> m_pUnit;
    WaveInfo m_WaveInfo;
    NoWaveInfo m_NoWaveInfo;
    SGrid m_Grid;
    int m_WaterType = WATER_None;
    SMaterial m_Material;
};
} // namespace gfx
} // namespace dorvo

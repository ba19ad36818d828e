// The terrain of a game object: a height field over a regular grid, its heights read from a
// height-map image and scaled by Amplitude, drawn with an effect ("Terrain.fx", "RenderTerrain"
// by default) that mixes three base textures by a blend texture (stage 4). On initialisation,
// when a height map is named and the grid is usable, it builds its unit (owned), gives the
// owner's position component its local bounds and model name, and enters the unit in the
// facade's terrain list, which the frame draws as the terrain scene graph.
#pragma once

#include "engine/ComponentBase.h"
#include "engine/gfx/core/GfxUnitFields.h"
#include "engine/gfx/core/SMaterial.h"
#include "engine/gfx/terrain/GridXml.h"

#include <memory>
#include <string>

namespace dorvo
{
namespace gfx
{
class CGfxTerrain;
class GfxFields;

class GfxTerrainComp : public ComponentBase<GfxTerrainComp>, public GfxUnitFields
{
public:
    static constexpr char kTypeName[] = "GfxTerrainComp";
    // What 16-bit indices reach.
    static constexpr unsigned kMaxVertices = 65536;

    GfxTerrainComp();
    // Takes the unit out of the facade's terrain list and destroys it.
    ~GfxTerrainComp() override;

    // <Component name="GfxTerrainComp"> with "FXFile", "Technique", the "Textures" list of
    // "Texture" pairs, "HeightMap", "ShadowCaster", "IsVisible", "AlwaysVisible", "TileFactor",
    // "BuildBSPTree", "Amplitude" and the "Grid" record, in this order, read back by position.
    // A field whose element is missing or unreadable keeps its value.
    bool Serialize(TiXmlNode* parent) override;
    bool Deserialize(const TiXmlNode* node) override;
    // Stores the owner and, when HeightMap is set, builds the unit and enters it in the
    // facade's terrain list. Always true. No unit, with one line naming the object, for a grid
    // of fewer than 2 rows or columns or more than kMaxVertices vertices, or an owner without a
    // position component.
    bool Initialize(Gob* owner) override;

    // Null without a unit.
    CGfxTerrain* GetUnit() const { return m_pUnit.get(); }

    // ---- Fields (the textures, visibility flags and BuildBSPTree are GfxUnitFields') ----
    const std::string& GetFXFile() const { return m_FXFile; }
    void SetFXFile(const std::string& file) { m_FXFile = file; }
    const std::string& GetTechnique() const { return m_Technique; }
    void SetTechnique(const std::string& technique) { m_Technique = technique; }
    // In the texture folder; read when the unit is built.
    const std::string& GetHeightMap() const { return m_HeightMap; }
    void SetHeightMap(const std::string& file) { m_HeightMap = file; }
    float GetTileFactor() const { return m_TileFactor; } // base-texture repeats across the terrain
    void SetTileFactor(float factor) { m_TileFactor = factor; }
    // Not saved: the render queue draws the unit in lines while set.
    bool IsWireframe() const { return m_Wireframe; }
    void SetWireframe(bool wireframe) { m_Wireframe = wireframe; }
    // World units of height for a full-bright height-map pixel.
    float GetAmplitude() const { return m_Amplitude; }
    void SetAmplitude(float amplitude) { m_Amplitude = amplitude; }
    const SGrid& GetGrid() const { return m_Grid; }
    void SetGrid(const SGrid& grid) { m_Grid = grid; }
    // Not saved.
    const SMaterial& GetMaterial() const { return m_Material; }
    void SetMaterial(const SMaterial& material) { m_Material = material; }

private:
    friend class GfxFields;
    // The saved fields in their order (Serialize, Deserialize).
    void ListFields(GfxFields& fields);
    // Whether the grid makes a unit; one line naming the object when it does not.
    bool GridIsUsable() const;
    void CreateUnit();
    void DestroyUnit();

    std::string m_FXFile = "Terrain.fx";
    std::string m_Technique = "RenderTerrain";
    float m_TileFactor = 1.0f;
    bool m_Wireframe = false;
    SGrid m_Grid;
    float m_Amplitude = 1.0f;
    std::string m_HeightMap;
    SMaterial m_Material;
    std::unique_ptr<CGfxTerrain> m_pUnit;
};
} // namespace gfx
} // namespace dorvo

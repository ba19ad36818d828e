// The look of a game object's physics cloth: the owner's grid points (which the cloth's
// integration moves) drawn as a two-sided triangle grid with an effect, up to six textures and a
// material. Its technique is "Cloth" joined to the effect's name, so "Membrane" and
// "Membrane.fx" both draw "ClothMembrane" from "Membrane.fx". The unit (owned) is made at
// initialisation when the owner's grid already has its points, else at the first update after
// it has them; every update copies the points into it and refreshes the owner's bounds.
#pragma once

#include "engine/ComponentBase.h"
#include "engine/gfx/core/GfxUnitFields.h"
#include "engine/gfx/core/SMaterial.h"

#include <memory>
#include <string>

class GridComp;

namespace dorvo
{
namespace gfx
{
class CGfxCloth;
class GfxFields;

class GfxClothComp : public ComponentBase<GfxClothComp>, public GfxUnitFields
{
public:
    static constexpr char kTypeName[] = "GfxClothComp";
    // What 16-bit indices reach.
    static constexpr unsigned kMaxParticles = 65536;

    GfxClothComp();
    // Destroys the unit.
    ~GfxClothComp() override;

    // <Component name="GfxClothComp"> with "FXFile", the "Textures" list of "Texture" pairs,
    // "ShadowCaster", "IsVisible", "AlwaysVisible", "TileFactor", "BuildBSPTree",
    // "IsTransparent" and the "Material", in this order, read back by position. The technique
    // is not saved. A field whose element is missing or unreadable keeps its value.
    bool Serialize(TiXmlNode* parent) override;
    bool Deserialize(const TiXmlNode* node) override;
    // Stores the owner, sets the technique and effect file from FXFile and makes the unit when
    // the owner's grid has its points. Always true. An owner without a ClothComp and a
    // GridComp, or without a position component, gets no unit and one line naming it; so does
    // a grid of fewer than 2 points either way or more than kMaxParticles points.
    bool Initialize(Gob* owner) override;
    // Makes the unit once the grid has its points, then copies them into it (dt: seconds).
    void Update(float dt) override;

    // Null without a unit.
    CGfxCloth* GetUnit() const { return m_pUnit.get(); }
    // The owner's grid, once initialised; null without one.
    GridComp* GetGrid() const { return m_pGrid; }

    // ---- Fields (the textures, visibility flags and BuildBSPTree are GfxUnitFields') ----
    // As read: an effect file ("Membrane.fx") or its name ("Membrane").
    const std::string& GetFXFile() const { return m_FXFile; }
    // Also sets the effect file and the technique from the name.
    void SetFXFile(const std::string& file);
    // The effect drawn with: FXFile, with ".fx" added when it has no extension.
    const std::string& GetEffectFile() const { return m_EffectFile; }
    // "Cloth" and FXFile without a trailing ".fx"; not saved.
    const std::string& GetTechnique() const { return m_Technique; }
    void SetTechnique(const std::string& technique) { m_Technique = technique; }
    // Saved and read back; the cloth is drawn with 1 whatever it holds.
    float GetTileFactor() const { return m_TileFactor; }
    void SetTileFactor(float factor) { m_TileFactor = factor; }
    // Not saved: the render queue draws the unit in lines while set.
    bool IsWireframe() const { return m_Wireframe; }
    void SetWireframe(bool wireframe) { m_Wireframe = wireframe; }
    const SMaterial& GetMaterial() const { return m_Material; }
    void SetMaterial(const SMaterial& material) { m_Material = material; }
    bool IsTransparent() const { return m_IsTransparent; }
    void SetTransparent(bool transparent) { m_IsTransparent = transparent; }

    // The technique and the effect file for an FXFile value (see above).
    static std::string TechniqueFor(const std::string& fxFile);
    static std::string EffectFileFor(const std::string& fxFile);

private:
    friend class GfxFields;
    // The saved fields in their order (Serialize, Deserialize).
    void ListFields(GfxFields& fields);
    // Makes the unit when the grid has its points; false while it has none yet.
    bool TryCreateUnit();

    std::string m_FXFile;
    std::string m_EffectFile;
    std::string m_Technique;
    float m_TileFactor = 1.0f;
    bool m_Wireframe = false;
    SMaterial m_Material;
    bool m_IsTransparent = false;
    GridComp* m_pGrid = nullptr;
    bool m_waitingForPoints = false; // the unit comes at an update once the grid has points
    std::unique_ptr<CGfxCloth> m_pUnit;
};
} // namespace gfx
} // namespace dorvo

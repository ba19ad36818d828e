// The model of a game object: a mesh from a .X file drawn with an effect, a technique, up to six
// textures and a material. On initialisation it builds its graphics unit (owned) from the mesh,
// which gives the owner's position component its local bounds and model name; the facade finds
// the unit through the oct tree and draws it. The pick and glow highlights swap the effect and
// technique and restore them from the saved names, which are kept here but never saved.
#pragma once

#include "engine/ComponentBase.h"
#include "engine/gfx/core/GfxUnitFields.h"
#include "engine/gfx/core/SMaterial.h"

#include <memory>
#include <string>

class GobController;

namespace dorvo
{
namespace gfx
{
class CGfxUnit;
class GfxFields;

class GfxModelComp : public ComponentBase<GfxModelComp>, public GfxUnitFields
{
public:
    static constexpr char kTypeName[] = "GfxModelComp";

    GfxModelComp();
    // Destroys the unit.
    ~GfxModelComp() override;

    // <Component name="GfxModelComp"> with "XFile", "FXFile", "Technique", the "Textures" list of
    // "Texture" pairs, "ShadowCaster", "IsVisible", "AlwaysVisible", "TileFactor",
    // "BuildBSPTree", "IsTransparent" and the "Material", in this order, read back by position.
    // A field whose element is missing or unreadable keeps its value.
    bool Serialize(TiXmlNode* parent) override;
    bool Deserialize(const TiXmlNode* node) override;
    // Stores the owner and, when XFile is set and the owner has a position component, builds
    // the unit: the mesh, the owner's local bounds and model name, the textures. Always true;
    // an owner without a position component gets no unit and one line naming its template.
    bool Initialize(Gob* owner) override;
    // The unit's animation, when it has one. dt: seconds, usually 1/30.
    void Update(float dt) override;

    // Null without a unit (no XFile, no position component, not yet initialised).
    CGfxUnit* GetUnit() const { return m_pUnit.get(); }

    // ---- Fields (the textures, visibility flags and BuildBSPTree are GfxUnitFields') ----
    // Changing the mesh file after the unit is built does not reload it.
    const std::string& GetXFile() const { return m_XFile; }
    void SetXFile(const std::string& file) { m_XFile = file; }
    const std::string& GetFXFile() const { return m_FXFile; }
    void SetFXFile(const std::string& file) { m_FXFile = file; }
    const std::string& GetTechnique() const { return m_Technique; }
    void SetTechnique(const std::string& technique) { m_Technique = technique; }
    float GetTileFactor() const { return m_TileFactor; } // texture repeats, usually 1
    void SetTileFactor(float factor) { m_TileFactor = factor; }
    // Not saved: the render queue draws the unit in lines while set.
    bool IsWireframe() const { return m_Wireframe; }
    void SetWireframe(bool wireframe) { m_Wireframe = wireframe; }
    const SMaterial& GetMaterial() const { return m_Material; }
    void SetMaterial(const SMaterial& material) { m_Material = material; }
    bool IsTransparent() const { return m_IsTransparent; }
    void SetTransparent(bool transparent) { m_IsTransparent = transparent; }

    // ---- What the highlights save and restore (not in the XML) ----
    const std::string& GetSavedFXFile() const { return m_SavedFXFile; }
    void SetSavedFXFile(const std::string& file) { m_SavedFXFile = file; }
    const std::string& GetSavedTechnique() const { return m_SavedTechnique; }
    void SetSavedTechnique(const std::string& technique) { m_SavedTechnique = technique; }
    bool GetSavedIsTransparent() const { return m_SavedIsTransparent; }
    void SetSavedIsTransparent(bool transparent) { m_SavedIsTransparent = transparent; }
    // A non-empty saved name becomes the current one; the saved names stay.
    void RestoreSavedEffect();
    void RestoreSavedTechnique();

private:
    friend class GfxFields;
    // The saved fields in their order (Serialize, Deserialize).
    void ListFields(GfxFields& fields);
    void CreateUnit();

    std::string m_XFile;
    std::string m_FXFile;
    std::string m_Technique;
    float m_TileFactor = 1.0f;
    bool m_Wireframe = false;
    SMaterial m_Material;
    bool m_IsTransparent = false;
    std::string m_SavedFXFile;
    std::string m_SavedTechnique;
    bool m_SavedIsTransparent = false;
    std::unique_ptr<CGfxUnit> m_pUnit;
};
} // namespace gfx
} // namespace dorvo

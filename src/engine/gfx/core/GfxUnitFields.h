// What the model, terrain, cloth and water components share about the unit each one owns: its
// textures by stage, the flags the scene graphs read (drawn at all, drawn without a bounds test,
// casting a shadow) and whether its triangles go into a BSP tree. Each component derives from it
// beside ComponentBase and writes these fields at its own places in its XML, whose order is the
// file format; the units read the flags through CGfxUnit::GetUnitFields.
#pragma once

#include <string>
#include <utility>
#include <vector>

class Gob;
class TiXmlNode;

namespace dorvo
{
namespace gfx
{
class IGfxUnit;

class GfxUnitFields
{
public:
    using TexturePair = std::pair<int, std::string>; // stage (0 to 5), file in the texture folder
    using TextureList = std::vector<TexturePair>;

    const TextureList& GetTextures() const { return m_Textures; }
    void SetTextures(const TextureList& textures) { m_Textures = textures; }
    bool IsVisible() const { return m_IsVisible; }
    void SetVisible(bool visible) { m_IsVisible = visible; }
    bool IsAlwaysVisible() const { return m_AlwaysVisible; }
    void SetAlwaysVisible(bool always) { m_AlwaysVisible = always; }
    bool IsShadowCaster() const { return m_ShadowCaster; }
    void SetShadowCaster(bool caster) { m_ShadowCaster = caster; }
    bool GetBuildBSPTree() const { return m_BuildBSPTree; }
    void SetBuildBSPTree(bool build) { m_BuildBSPTree = build; }

protected:
    // Writes and reads the textures and flags among a component's saved fields.
    friend class GfxFields;

    GfxUnitFields() = default;
    // Never deleted through this base: the component owns it.
    ~GfxUnitFields() = default;

    // The "Textures" list of "Texture" pairs, stage as "int", file as "string". (The water
    // writes its stages as "enum" itself.)
    void WriteTextures(TiXmlNode* parent) const;
    // "ShadowCaster", "IsVisible", "AlwaysVisible", in this order.
    void WriteVisibilityFlags(TiXmlNode* parent) const;
    // The three flags by position from `child` on, each kept when its element is missing or
    // unreadable; the element after them, or null.
    const TiXmlNode* ReadVisibilityFlags(const TiXmlNode* child);
    // Every texture into its stage of the unit. A stage outside 0 to 5 is left out with one line
    // naming the component type and the object.
    void LoadTexturesInto(IGfxUnit& unit, const char* component, const std::string& object) const;
    // What a line names the object by: its name, else its archetype's.
    static std::string ObjectName(const Gob* owner);

    TextureList m_Textures;
    bool m_IsVisible = true;
    bool m_AlwaysVisible = false;
    bool m_ShadowCaster = false;
    bool m_BuildBSPTree = false;
};
} // namespace gfx
} // namespace dorvo

// Stand-ins for the graphics components that do not exist yet: one small class per type name
// that templates may list ("GfxWaterComp", "GfxTerrainComp", "GfxClothComp"),
// so templates load and objects build. Each keeps the XML it was read from and
// writes it back unchanged, so archetype values survive until the real component reads them.
#pragma once

#include "engine/ComponentBase.h"

#include <memory>

class TiXmlElement;

namespace dorvo
{
namespace gfx
{
enum class PlaceholderKind
{
    Water,
    Terrain,
    Cloth,
};

template <PlaceholderKind Kind> class GfxPlaceholderComp : public ComponentBase<GfxPlaceholderComp<Kind>>
{
public:
    GfxPlaceholderComp();
    ~GfxPlaceholderComp() override;

    // <Component name="..."> holding a copy of the children last read (none when never read).
    bool Serialize(TiXmlNode* parent) override;
    bool Deserialize(const TiXmlNode* node) override;

    // The element last read, or null.
    const TiXmlElement* GetSavedElement() const { return m_pSaved.get(); }

private:
    std::unique_ptr<TiXmlElement> m_pSaved;
};

using GfxWaterPlaceholderComp = GfxPlaceholderComp<PlaceholderKind::Water>;
using GfxTerrainPlaceholderComp = GfxPlaceholderComp<PlaceholderKind::Terrain>;
using GfxClothPlaceholderComp = GfxPlaceholderComp<PlaceholderKind::Cloth>;

// Registers the terrain and cloth names and the real "GfxModelComp" and "GfxWaterComp" with the
// GobManager (the water stand-in is no longer registered). A name that already has a
// creator (the real component, registered earlier) keeps it, so this may run after graphics registers its
// own. The facade's RegisterComponentCreators registers these with the real Gfx2DComp in between.
void RegisterPlaceholderComponentCreators();
} // namespace gfx
} // namespace dorvo

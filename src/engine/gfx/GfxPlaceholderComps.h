// A stand-in for the graphics component that does not exist yet ("GfxWaterComp"), so templates
// that list it load and objects build. It keeps the XML it was read from and
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

} // namespace gfx
} // namespace dorvo

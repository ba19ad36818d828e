// The quadrilateral of a room face's construction quad ("CQFront", "CQRight", "CQBack",
// "CQLeft"): the room takes its four faces from these, and widgets are placed on them. The quad
// is read from the object's archetype; its normal always follows from the corners.
#pragma once

#include "common/math/Quad.h"
#include "engine/ComponentBase.h"

class ConstructionQuadComp;

namespace QUORB
{
class ConstructionQuadComp : public ComponentBase<ConstructionQuadComp>
{
public:
    static const char* const kTypeName; // "ConstructionQuadComp"

    // <Component name="ConstructionQuadComp"> holding the quad as "Quad" (corners P0 to P3).
    bool Serialize(TiXmlNode* parent) override;
    // Reads the element's first child as the quad and recomputes the normal. False, quad
    // unchanged, for a null element or one without a child element.
    bool Deserialize(const TiXmlNode* node) override;

    const math::Quad& GetQuad() const { return m_quad; }
    void SetQuad(const math::Quad& quad) { m_quad = quad; }

private:
    math::Quad m_quad; // world units; all zero until read
};
} // namespace QUORB

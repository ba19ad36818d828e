// A plane hull: a fixed half-space in world space, as loaded; it follows no body and has no
// volume. The normal is kept as written (not normalised). Saved as "PlaneHull".
#pragma once

#include "common/math/Plane.h"
#include "engine/phy/CollisionHull.h"

namespace dorvo
{
namespace phy
{
class PlaneHull : public CollisionHull
{
public:
    PlaneHull();
    ~PlaneHull() override;

    // <PlaneHull> with "Vector" N and "float" D (n.p + d = 0), read back by position.
    bool Serialize(TiXmlNode* parent) override;
    bool Deserialize(const TiXmlNode* node) override;

    int& GetClassIndex() override;
    static int& StaticClassIndex();

    math::Plane plane;
};
} // namespace phy
} // namespace dorvo

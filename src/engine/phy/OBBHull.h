// A box hull: a cube of side 1 scaled per axis by the object's scale, turned and placed with the
// body. The saved "Extent" and "Center" hold only until the first update. Saved as "OBBHull".
#pragma once

#include "common/math/OBB.h"
#include "engine/phy/CollisionHull.h"

namespace dorvo
{
namespace phy
{
class OBBHull : public CollisionHull
{
public:
    // Inertia about x is (m / 3)(Y^2 + Z^2) over the full side lengths: four times a solid
    // box's (m / 12). Kept so: the puzzles were tuned with boxes this slow to turn.
    static constexpr float kInertiaDivisor = 3.0f;

    OBBHull();
    ~OBBHull() override;

    // <OBBHull> with "Vector" Extent (half extent) and "Vector" Center, read back by position.
    bool Serialize(TiXmlNode* parent) override;
    bool Deserialize(const TiXmlNode* node) override;

    void UpdateFromBody() override;
    void SetBodyInertia() override;
    float GetVolume() override; // 8 ex ey ez
    bool GetBoundingSphere(math::Vector3& centre, float& radius, bool& exact) const override;
    int& GetClassIndex() override;
    static int& StaticClassIndex();

    math::OBB& GetOBB() { return obb; }
    const math::OBB& GetOBB() const { return obb; }

    math::OBB obb; // world; orientation rows are the box axes
};
} // namespace phy
} // namespace dorvo

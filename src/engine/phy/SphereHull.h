// A sphere hull: a sphere of diameter 1 scaled by the object's x scale, centred on the body.
// The saved "Center" and "Radius" hold only until the first update. Saved as "SphereHull".
#pragma once

#include "common/math/Sphere.h"
#include "engine/phy/CollisionHull.h"

namespace dorvo
{
namespace phy
{
class SphereHull : public CollisionHull
{
public:
    // Inertia 0.4 m r^2, the solid sphere's. The volume is that of the bounding cube, 8 r^3,
    // not the sphere's: the puzzles' masses were tuned with it.
    static constexpr float kInertiaFactor = 0.4f;
    static constexpr float kVolumeFactor = 8.0f;

    SphereHull();
    ~SphereHull() override;

    // <SphereHull> with "Vector" Center and "float" Radius, read back by position.
    bool Serialize(TiXmlNode* parent) override;
    bool Deserialize(const TiXmlNode* node) override;

    void UpdateFromBody() override;
    void SetBodyInertia() override;
    float GetVolume() override;
    bool GetBoundingSphere(math::Vector3& centre, float& radius, bool& exact) const override;
    int& GetClassIndex() override;
    static int& StaticClassIndex();

    math::Sphere sphere; // world
};
} // namespace phy
} // namespace dorvo

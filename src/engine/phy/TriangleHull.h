// A triangle hull: one triangle in the body's frame, scaled per axis, turned and placed with the
// body every update. Saved as "TriangleHull" with its three body-frame vertices.
#pragma once

#include "common/math/Triangle.h"
#include "engine/phy/CollisionHull.h"

namespace dorvo
{
namespace phy
{
class TriangleHull : public CollisionHull
{
public:
    TriangleHull();
    ~TriangleHull() override;

    // <TriangleHull> with "Vector" BodyVert0, BodyVert1, BodyVert2, read back by position; the
    // normal is recomputed from them.
    bool Serialize(TiXmlNode* parent) override;
    bool Deserialize(const TiXmlNode* node) override;

    void UpdateFromBody() override;
    int& GetClassIndex() override;
    static int& StaticClassIndex();

    math::Triangle bodyTriangle;  // as loaded, in the body's frame
    math::Triangle worldTriangle; // rebuilt by UpdateFromBody; the pair tests use this one
};
} // namespace phy
} // namespace dorvo

#include "engine/phy/ClothSpring.h"

#include "common/math/MathUtil.h"
#include "common/math/Vector3.h"
#include "engine/phy/ClothParticle.h"

namespace dorvo
{
namespace phy
{
void ClothSpring::Apply(float)
{
    const math::Vector3 d = a->position - b->position;
    const float length = d.Length();
    // Tested before any division: the damping term divides by the length too.
    if (math::IsZero(length))
        return;
    const float springTerm = (length - restLength) * stiffness;
    const float dampingTerm = (a->velocity - b->velocity).Dot(d) * damping / length;
    const math::Vector3 f = d * (-(springTerm + dampingTerm) / length);
    a->force += f;
    b->force -= f;
}
} // namespace phy
} // namespace dorvo

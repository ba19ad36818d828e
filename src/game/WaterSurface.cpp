#include "game/WaterSurface.h"

namespace QUORB
{
bool FindWaterSurface(POVComp*&, math::Plane&)
{
    // The water manager does not yet name an active water object.
    return false;
}
} // namespace QUORB

// Where the game finds the room's water surface: the object the water manager names as the
// active water and the plane of its water component. The game's water-level machinery moves the
// object along the plane's normal.
#pragma once

class POVComp;

namespace math
{
class Plane;
}

namespace QUORB
{
// The active water object's position component and its water plane (n.p + d = 0); false, both
// untouched, when the room has no water.
bool FindWaterSurface(POVComp*& pov, math::Plane& plane);
} // namespace QUORB

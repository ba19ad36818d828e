// Where a world point shows on the screen: 2D items placed over 3D objects (the timer objective's
// countdown) and the tests that point the cursor at an object.
#pragma once

namespace math
{
class Vector3;
}

namespace QUORB
{
// The world point projected with the graphics core's current viewport, projection and view (an
// identity world): x and y in back-buffer pixels of the viewport (y down), z the depth from 0 at
// the near plane to 1 at the far plane. (0, 0, 0) while no viewport is current.
math::Vector3 WorldToScreen(const math::Vector3& world);
} // namespace QUORB

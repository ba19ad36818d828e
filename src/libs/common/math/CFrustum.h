// The camera's view volume and the quick, conservative culling tests the scene graph runs
// before queueing a unit: they may accept what is not visible, never reject what is. The
// camera sets the view every frame (SetView); the renderer sets the two spreads from its
// projection (the tangents of half the horizontal and vertical fields of view).
#pragma once

#include "common/math/AABB.h"
#include "common/math/Plane.h"
#include "common/math/Vector3.h"

#include <array>

namespace math
{
class Sphere;

class CFrustum
{
public:
    // Indices into GetPlanes.
    enum PlaneIndex
    {
        kNearPlane,
        kFarPlane,
        kLeftPlane,
        kRightPlane,
        kBottomPlane,
        kTopPlane
    };

    CFrustum(); // all zero but the unused factor, spreads 0: nothing is visible until set
    CFrustum(const CFrustum&) = default;
    CFrustum& operator=(const CFrustum&) = default;
    virtual ~CFrustum() = default;

    // Distances in world units, far before near. direction = (target - eye) normalised;
    // right = up x direction and up = direction x right, not normalised: they are unit only
    // when the given up is unit and perpendicular to the view. Eye equal to target leaves an
    // undefined (zero) direction and a volume shrunk to the eye point.
    void SetView(const Vector3& eye, const Vector3& target, const Vector3& up, float farDistance,
                 float nearDistance);
    // Half the width and half the height of the volume at distance 1 along the view, usually
    // tan(fovX / 2) and tan(fovY / 2). Rebuilds the bounds.
    void SetSpread(float horizontal, float vertical);
    // Recomputes the eight corners' bounding box; SetView and SetSpread call it.
    void Build();

    bool IntersectsSphere(const Sphere& sphere) const;
    bool IntersectsAABB(const AABB& box) const;

    // Corners 0 to 3 lie at the near distance, 4 to 7 at the far one, each four in the order
    // c + (w + h), c + (w - h), c - (w - h), c - (w + h) (w along right, h along up).
    std::array<Vector3, 8> GetCorners() const;
    // The six sides with unit normals pointing into the volume (SignedDistance >= 0 inside),
    // indexed by PlaneIndex; derived from the same view axes and spreads as the tests.
    std::array<Plane, 6> GetPlanes() const;

    const Vector3& GetEye() const { return m_eye; }
    const Vector3& GetRight() const { return m_right; }
    const Vector3& GetUp() const { return m_up; }
    const Vector3& GetDirection() const { return m_direction; }
    float GetFarDistance() const { return m_far; }
    float GetNearDistance() const { return m_near; }
    float GetHorizontalSpread() const { return m_horizontalSpread; }
    float GetVerticalSpread() const { return m_verticalSpread; }
    const AABB& GetBounds() const { return m_bounds; }

private:
    Vector3 m_eye;
    Vector3 m_right;
    Vector3 m_up;
    Vector3 m_direction;
    float m_far = 0.0f;                           // world units
    float m_near = 0.0f;                          // world units
    [[maybe_unused]] float m_unusedFactor = 1.0f; // 1 from construction; nothing reads it
    float m_horizontalSpread = 0.0f;
    float m_verticalSpread = 0.0f;
    AABB m_bounds;
};
} // namespace math

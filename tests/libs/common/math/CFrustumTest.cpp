#include "common/math/CFrustum.h"

#include "common/math/AABB.h"
#include "common/math/Sphere.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using math::AABB;
using math::CFrustum;
using math::Sphere;
using math::Vector3;

namespace
{
void ExpectNear(const Vector3& actual, const Vector3& expected, float tolerance = 1e-5f)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

bool Finite(const Vector3& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// Eye at the origin looking down +z, 90 degrees both ways, near 1, far 100.
CFrustum Standard()
{
    CFrustum frustum;
    frustum.SetSpread(1.0f, 1.0f);
    frustum.SetView(Vector3(0, 0, 0), Vector3(0, 0, 10), Vector3(0, 1, 0), 100.0f, 1.0f);
    return frustum;
}

// Exactly inside by the six planes (the reference for "visible").
bool Inside(const CFrustum& frustum, const Vector3& p)
{
    for (const math::Plane& plane : frustum.GetPlanes())
    {
        if (plane.SignedDistance(p) < 0.0f)
        {
            return false;
        }
    }
    return true;
}
} // namespace

TEST(CFrustum, StartsEmpty)
{
    const CFrustum frustum;
    EXPECT_EQ(frustum.GetHorizontalSpread(), 0.0f);
    EXPECT_EQ(frustum.GetVerticalSpread(), 0.0f);
    EXPECT_EQ(frustum.GetDirection(), Vector3(0, 0, 0));
    EXPECT_EQ(frustum.GetBounds().min, Vector3(0, 0, 0));
    EXPECT_EQ(frustum.GetBounds().max, Vector3(0, 0, 0));
    EXPECT_EQ(frustum.GetFarDistance(), 0.0f);
}

TEST(CFrustum, SetViewBuildsTheAxesAndBounds)
{
    const CFrustum frustum = Standard();
    ExpectNear(frustum.GetDirection(), Vector3(0, 0, 1));
    ExpectNear(frustum.GetRight(), Vector3(1, 0, 0));
    ExpectNear(frustum.GetUp(), Vector3(0, 1, 0));
    EXPECT_EQ(frustum.GetFarDistance(), 100.0f);
    EXPECT_EQ(frustum.GetNearDistance(), 1.0f);
    ExpectNear(frustum.GetBounds().min, Vector3(-100, -100, 1));
    ExpectNear(frustum.GetBounds().max, Vector3(100, 100, 100));
    const auto corners = frustum.GetCorners();
    ExpectNear(corners[0], Vector3(1, 1, 1));
    ExpectNear(corners[1], Vector3(1, -1, 1));
    ExpectNear(corners[2], Vector3(-1, 1, 1));
    ExpectNear(corners[3], Vector3(-1, -1, 1));
    ExpectNear(corners[7], Vector3(-100, -100, 100));

    // A tilted up vector of length 2 is neither straightened nor normalised.
    CFrustum tilted;
    tilted.SetView(Vector3(1, 2, 3), Vector3(1, 2, 13), Vector3(0, 2, 2), 50.0f, 0.5f);
    ExpectNear(tilted.GetDirection(), Vector3(0, 0, 1));
    ExpectNear(tilted.GetRight(), Vector3(2, 0, 0));
    ExpectNear(tilted.GetUp(), Vector3(0, 2, 0));
}

TEST(CFrustum, SetSpreadRebuildsTheBounds)
{
    CFrustum frustum;
    frustum.SetView(Vector3(0, 0, 0), Vector3(10, 0, 0), Vector3(0, 1, 0), 20.0f, 2.0f);
    // Without spreads the volume is the segment along the view.
    ExpectNear(frustum.GetBounds().min, Vector3(2, 0, 0));
    ExpectNear(frustum.GetBounds().max, Vector3(20, 0, 0));
    frustum.SetSpread(0.5f, 0.25f); // right = up x direction = (0, 0, -1) looking down +x
    ExpectNear(frustum.GetBounds().min, Vector3(2, -5, -10));
    ExpectNear(frustum.GetBounds().max, Vector3(20, 5, 10));
}

TEST(CFrustum, SphereCulling)
{
    const CFrustum frustum = Standard();
    struct Case
    {
        const char* name;
        Vector3 centre;
        float radius;
        bool visible;
    };
    const Case cases[] = {
        {"well inside", {0, 0, 50}, 1, true},
        {"behind the eye", {0, 0, -10}, 1, false},
        {"behind near, reaching across it", {0, 0, 0.5f}, 0.6f, true},
        {"behind near, short of it", {0, 0, 0.5f}, 0.4f, false},
        {"beyond far + r", {0, 0, 102}, 1, false},
        {"past far, reaching back", {0, 0, 100.5f}, 1, true},
        {"left of the volume", {-60, 0, 50}, 5, false},
        {"straddling the left side", {-52, 0, 50}, 5, true},
        {"above the volume", {0, 70, 50}, 5, false},
        {"straddling the top", {0, 53, 50}, 5, true},
        {"enclosing the eye", {0, 0, 0}, 500, true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(frustum.IntersectsSphere(Sphere(c.centre, c.radius)), c.visible);
    }
}

TEST(CFrustum, BoxCulling)
{
    const CFrustum frustum = Standard();
    struct Case
    {
        const char* name;
        Vector3 min;
        Vector3 max;
        bool visible;
    };
    const Case cases[] = {
        {"inside", {-1, -1, 40}, {1, 1, 60}, true},
        {"left of the volume", {-200, -1, 40}, {-150, 1, 60}, false},
        {"right of the volume", {150, -1, 40}, {200, 1, 60}, false},
        {"below the volume", {-1, -200, 40}, {1, -150, 60}, false},
        {"above the volume", {-1, 150, 40}, {1, 200, 60}, false},
        {"behind the eye", {-1, -1, -20}, {1, 1, -10}, false},
        {"beyond far", {-1, -1, 120}, {1, 1, 130}, false},
        {"straddling the right side", {45, -1, 40}, {60, 1, 60}, true},
        {"straddling near", {-0.5f, -0.5f, 0.5f}, {0.5f, 0.5f, 2}, true},
        {"straddling far", {-1, -1, 90}, {1, 1, 110}, true},
        // No corner inside and no side with all eight: kept.
        {"enclosing the whole volume", {-500, -500, -500}, {500, 500, 500}, true},
        {"a slab across the view", {-500, -500, 50}, {500, 500, 51}, true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(frustum.IntersectsAABB(AABB(c.min, c.max)), c.visible);
    }
}

TEST(CFrustum, CullingNeverRejectsWhatIsVisible)
{
    // A turned, narrow view; sample points of each shape, and whenever one lies inside the
    // volume by the exact planes, the quick tests must keep the shape.
    CFrustum frustum;
    frustum.SetSpread(0.6f, 0.45f);
    frustum.SetView(Vector3(3, 4, -2), Vector3(-5, 1, 7), Vector3(0.1f, 1, 0), 40.0f, 0.5f);
    std::mt19937 random(77u);
    std::uniform_real_distribution<float> position(-45.0f, 45.0f);
    std::uniform_real_distribution<float> size(0.1f, 6.0f);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    int visibleSpheres = 0;
    int visibleBoxes = 0;
    for (int i = 0; i < 3000; ++i)
    {
        const Vector3 centre(position(random), position(random), position(random));
        const Vector3 half(size(random), size(random), size(random));
        const AABB box(centre - half, centre + half);
        const Sphere sphere(centre, half.x);
        bool boxSeen = false;
        bool sphereSeen = false;
        for (int k = 0; k < 40; ++k)
        {
            const Vector3 offset((unit(random) * 2 - 1), (unit(random) * 2 - 1), (unit(random) * 2 - 1));
            boxSeen = boxSeen || Inside(frustum, centre + math::ComponentProduct(offset, half));
            if (offset.LengthSquared() <= 1.0f)
            {
                sphereSeen = sphereSeen || Inside(frustum, centre + offset * half.x);
            }
        }
        if (boxSeen)
        {
            ++visibleBoxes;
            EXPECT_TRUE(frustum.IntersectsAABB(box)) << "box " << box.min << " - " << box.max;
        }
        if (sphereSeen)
        {
            ++visibleSpheres;
            EXPECT_TRUE(frustum.IntersectsSphere(sphere)) << "sphere " << centre << " r " << half.x;
        }
    }
    EXPECT_GT(visibleBoxes, 30);
    EXPECT_GT(visibleSpheres, 30);
}

TEST(CFrustum, PlanesPassThroughTheCorners)
{
    const CFrustum frustum = Standard();
    const auto planes = frustum.GetPlanes();
    const auto corners = frustum.GetCorners();
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_NEAR(planes[CFrustum::kNearPlane].SignedDistance(corners[i]), 0.0f, 1e-5f);
        EXPECT_NEAR(planes[CFrustum::kFarPlane].SignedDistance(corners[4 + i]), 0.0f, 1e-4f);
    }
    // Far corners 4 and 5 (c + w +- h) lie on the right side, 6 on the top, 7 on left and bottom.
    EXPECT_NEAR(planes[CFrustum::kRightPlane].SignedDistance(corners[4]), 0.0f, 1e-4f);
    EXPECT_NEAR(planes[CFrustum::kRightPlane].SignedDistance(corners[5]), 0.0f, 1e-4f);
    EXPECT_NEAR(planes[CFrustum::kTopPlane].SignedDistance(corners[6]), 0.0f, 1e-4f);
    EXPECT_NEAR(planes[CFrustum::kLeftPlane].SignedDistance(corners[7]), 0.0f, 1e-4f);
    EXPECT_NEAR(planes[CFrustum::kBottomPlane].SignedDistance(corners[7]), 0.0f, 1e-4f);
    EXPECT_TRUE(Inside(frustum, Vector3(0, 0, 50)));
    EXPECT_FALSE(Inside(frustum, Vector3(0, 60, 50)));
    EXPECT_NEAR(planes[CFrustum::kLeftPlane].normal.Length(), 1.0f, 1e-6f);
}

TEST(CFrustum, EyeOnTheTargetGivesNoNaN)
{
    CFrustum frustum;
    frustum.SetSpread(1.0f, 0.75f);
    frustum.SetView(Vector3(2, 3, 4), Vector3(2, 3, 4), Vector3(0, 1, 0), 100.0f, 1.0f);
    EXPECT_EQ(frustum.GetDirection(), Vector3(0, 0, 0));
    EXPECT_TRUE(Finite(frustum.GetRight()));
    EXPECT_TRUE(Finite(frustum.GetUp()));
    // The volume collapses onto the eye.
    ExpectNear(frustum.GetBounds().min, Vector3(2, 3, 4));
    ExpectNear(frustum.GetBounds().max, Vector3(2, 3, 4));
    for (const math::Plane& plane : frustum.GetPlanes())
    {
        EXPECT_TRUE(Finite(plane.normal));
        EXPECT_TRUE(std::isfinite(plane.d));
    }
    // The tests answer without a NaN deciding anything: a small box away from the eye is not
    // in a volume with no depth.
    EXPECT_FALSE(frustum.IntersectsAABB(AABB(Vector3(10, 10, 10), Vector3(11, 11, 11))));
    EXPECT_FALSE(frustum.IntersectsSphere(Sphere(Vector3(10, 10, 10), 0.5f)));

    // An up vector along the view has the same effect on right and up.
    frustum.SetView(Vector3(0, 0, 0), Vector3(0, 5, 0), Vector3(0, 1, 0), 100.0f, 1.0f);
    EXPECT_TRUE(Finite(frustum.GetBounds().min));
    EXPECT_TRUE(Finite(frustum.GetBounds().max));
}

// The engine's look-at camera: an eye, a look-at point, the spherical coordinates of the one
// seen from the other, a perspective projection, and optionally a shared body whose position
// is the eye. Graphics and the picker take its view and projection matrices; the game derives
// its own camera from it. The look-at point glides to a target through the interpolation
// manager, polled once a frame by Update.
#pragma once

#include "common/math/Vector3.h"

#include <boost/shared_ptr.hpp>

#include <cstdint>

namespace math
{
class Matrix4;
}

namespace dorvo
{
namespace phy
{
class CRigidBody;
}

class CDorvoCamera
{
public:
    // Flags bit 0: a look-at glide is running.
    static constexpr std::uint32_t kInterpolatingFlag = 0x1;
    // The interpolation id before the first glide, and what InterpolateLookAt returns when
    // there is nowhere to glide to (never a real id: those start at 1).
    static constexpr std::int32_t kNoInterpolation = -1;

    // Physics lies above the engine, so the camera reads a followed body's position through a
    // hook that physics installs; without it the eye field is used.
    using BodyPositionHook = const math::Vector3& (*)(const phy::CRigidBody& body);
    static void SetBodyPositionHook(BodyPositionHook hook);

    // The body may be empty; it is shared with the creator. Eye and look-at start at the
    // origin. The projection starts at a quarter-pi vertical field of view, aspect 4:3, near
    // 1 and far 1000 world units, and the body is not followed, until the owner says otherwise.
    explicit CDorvoCamera(boost::shared_ptr<phy::CRigidBody> body);
    virtual ~CDorvoCamera();

    CDorvoCamera(const CDorvoCamera&) = delete;
    CDorvoCamera& operator=(const CDorvoCamera&) = delete;

    // Advances the look-at glide; the argument (the frame time) is not used here.
    virtual void Update(float elapsed);
    // Left-handed view from the eye (the body's position when followed) to the look-at point.
    virtual math::Matrix4& ComputeViewMatrix(math::Matrix4& out) const;
    // Left-handed perspective, depth 0 at the near plane and 1 at the far plane.
    virtual math::Matrix4& ComputeProjectionMatrix(math::Matrix4& out) const;
    // (0, 1, 0), one vector shared by every camera; the game's camera turns its own.
    virtual const math::Vector3& GetUpVector() const;

    // Neither setter recomputes the spherical coordinates.
    void SetPosition(float x, float y, float z);
    void SetLookAt(float x, float y, float z);
    void SetLookAt(const math::Vector3& lookAt);

    // Moves eye and look-at by the offset, then recomputes the spherical coordinates.
    void Translate(const math::Vector3& offset);
    // Moves eye and look-at together along the camera's own axes: x to the right, y along the
    // camera's up, z along the view (the mouse wheel passes z = +1 or -1). The spherical
    // coordinates are not recomputed.
    void MoveRelative(float x, float y, float z);
    void MoveRelative(const math::Vector3& offset);

    // Glides the look-at point to the target over the given seconds; returns the glide's id,
    // or kNoInterpolation without starting anything when the target is the current look-at.
    // A new glide replaces the one running (which runs on in the manager, unread).
    std::int32_t InterpolateLookAt(float x, float y, float z, float seconds);
    std::int32_t InterpolateLookAt(const math::Vector3& target, float seconds);

    // Distance, pitch and yaw of the look-at point seen from the eye. With the two equal, all
    // three are 0.
    void UpdateSphericalCoords();

    // Radians, world units.
    void SetProjection(float fieldOfView, float aspect, float nearDistance, float farDistance);
    void SetFollowBody(bool follow) { m_followBody = follow; }

    // The eye field.
    const math::Vector3& GetPosition() const { return m_eye; }
    // The eye the view is built from: the body's position while it is followed, else the eye.
    const math::Vector3& GetEyePosition() const;
    const math::Vector3& GetLookAt() const { return m_lookAt; }
    float GetDistance() const { return m_distance; }
    float GetPitch() const { return m_pitch; }
    float GetYaw() const { return m_yaw; }
    float GetFieldOfView() const { return m_fieldOfView; }
    float GetAspect() const { return m_aspect; }
    float GetNear() const { return m_near; }
    float GetFar() const { return m_far; }
    std::uint32_t GetFlags() const { return m_flags; }
    bool IsInterpolating() const { return (m_flags & kInterpolatingFlag) != 0; }
    std::int32_t GetInterpolationID() const { return m_interpolationId; }
    bool IsFollowingBody() const { return m_followBody; }
    const boost::shared_ptr<phy::CRigidBody>& GetBody() const { return m_pBody; }

protected:
    float m_distance = 0.0f;          // world units, |look-at - eye|
    float m_pitch = 0.0f;             // radians, asin(dy / distance)
    float m_yaw = 0.0f;               // radians, atan2(dz, dx)
    float m_fieldOfView = 0.7853982f; // radians, vertical
    float m_aspect = 4.0f / 3.0f;     // width / height
    float m_near = 1.0f;              // world units
    float m_far = 1000.0f;            // world units
    std::uint32_t m_flags = 0;
    std::int32_t m_interpolationId = kNoInterpolation;
    bool m_followBody = false;
    boost::shared_ptr<phy::CRigidBody> m_pBody;
    math::Vector3 m_eye;
    math::Vector3 m_lookAt;
};
} // namespace dorvo

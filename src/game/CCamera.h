// The game camera: it stands in the middle of the room (eye (0, 2, 0)) and looks at one of the
// four faces. The game owns it, updates it once a frame and hands it to graphics for the view;
// the picker casts its rays from its eye. Its up vector is its own, so a turned gravity can turn
// the view with it. Face tracking, the idle orbit, the up turn and the debug controls come with
// the camera's own behaviour; for now it glides its look-at as the base camera does.
#pragma once

#include "common/math/Quaternion.h"
#include "common/math/Vector3.h"
#include "engine/CDorvoCamera.h"

#include <cstdint>

namespace dorvo
{
namespace input
{
struct InputEvent;
}
} // namespace dorvo

namespace QUORB
{
class CCamera : public dorvo::CDorvoCamera
{
public:
    // Flag bits beside the base's look-at glide (bit 1).
    static constexpr std::uint32_t kUpTurnFlag = 0x2; // an up turn runs
    static constexpr std::uint32_t kOrbitFlag = 0x4;  // a menu covers the room: circle slowly

    // Eye (0, 2, 0) looking at (0, 0, 20); near 0.1, far 250 world units; a quarter-pi field of
    // view at aspect 1.33; a rigid body of its own that may supply the eye.
    CCamera();
    ~CCamera() override;

    void Update(float elapsed) override;
    // Left-handed look-at view from the eye to the look-at point with the camera's up vector.
    math::Matrix4& ComputeViewMatrix(math::Matrix4& out) const override;
    const math::Vector3& GetUpVector() const override { return m_upVector; }

    // The debug camera's input; takes nothing yet.
    bool OnInput(const dorvo::input::InputEvent& event, bool debug);

    void SetFlags(std::uint32_t bits) { m_flags |= bits; }
    void ClearFlags(std::uint32_t bits) { m_flags &= ~bits; }
    // Unit length, or (0, 0, 0) for a zero vector.
    void SetUpVector(const math::Vector3& up);
    // Starts an up turn towards `up` over the seconds about the reference axis, optionally
    // carrying a water level. For now the request is only kept (GetTurnTargetUp, GetTurnSeconds).
    void InterpolateUp(const math::Vector3& up, float seconds, const math::Vector3& referenceAxis,
                       float* waterLevel);
    const math::Vector3& GetTurnTargetUp() const { return m_turnTargetUp; }
    float GetTurnSeconds() const { return m_turnSeconds; }

    const math::Vector3& GetOrbitLookAt() const { return m_orbitLookAt; }

private:
    math::Vector3 m_orbitLookAt;
    int m_turnInterpolation = -1;
    math::Vector3 m_upVector;
    math::Vector3 m_turnStartUp;
    math::Vector3 m_turnAxis;
    math::Vector3 m_turnTargetUp;
    float m_turnSeconds = 0.0f;
    bool m_upTurnRunning = false;
    int m_waterInterpolation = -1;
    math::Quaternion m_waterBaseOrientation;
    float m_turnWaterLevel = 0.0f;
    float m_pendingWaterLevel = 0.0f;
    bool m_hasPendingWaterLevel = false;
    bool m_menusShown = false;
    int m_facesInView = 0;
};
} // namespace QUORB

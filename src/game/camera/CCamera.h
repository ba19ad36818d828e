// The game camera: it stands in the middle of the room (eye (0, 2, 0)) and looks at one of the
// four faces. It tracks the face the player looks at (the room's face position, the focused
// face) and opens and closes the puzzle menus with it, circles slowly while a menu covers the
// room, turns its up vector (and the room's water) when gravity turns, and offers a free debug
// camera driven by the mouse. The game owns it, updates it once a frame after the widget
// manipulator and hands it to graphics for the view; the picker casts its rays from its eye.
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

    static constexpr float kOrbitDegreesPerSecond = 7.0f;
    // Cosines of the angle between the view and a face's direction: within 25 degrees the face
    // is focused; within 45 degrees it drives the room's face position, which is a whole face
    // index within about 5.7 degrees.
    static constexpr float kFocusCosine = 0.9063f;
    static constexpr float kFacePositionCosine = 0.7071f;
    static constexpr float kOnFaceCosine = 0.995f;
    // The debug camera's drags: radians and world units per pixel.
    static constexpr float kDragRotationFactor = 0.01f;
    static constexpr float kDragPanFactor = 0.0125f;

    // Eye (0, 2, 0) looking at (0, 0, 20); near 0.1, far 250 world units; a quarter-pi field of
    // view at aspect 1.33; a rigid body of its own that may supply the eye.
    CCamera();
    ~CCamera() override;

    // The look-at glide (its second half started when the first ends), then the orbit (flag 4)
    // or the up turn and the menus closed during a glide, then face tracking. Seconds.
    void Update(float elapsed) override;
    // Left-handed look-at view from the eye to the look-at point with the camera's up vector.
    math::Matrix4& ComputeViewMatrix(math::Matrix4& out) const override;
    const math::Vector3& GetUpVector() const override { return m_upVector; }

    // Glides the look-at point to the target over the seconds, the way the base's glide does
    // for a turn of up to kStraightGlideDegrees about the vertical. A wider turn goes through the
    // point halfway round the eye, half the seconds to it and half on: a straight glide between
    // two sides of the room would pass by the eye and swing the view through the floor.
    void GlideLookAt(const math::Vector3& target, float seconds);
    static constexpr float kStraightGlideDegrees = 100.0f;

    // Turns the up vector to `up` (need not be unit) over the seconds. `referenceAxis` is the
    // axis of the turn when the new up is the current one's opposite (the cross product then
    // gives none). While the game's puzzle-has-water flag is set the water surface turns with the
    // view, and `waterLevel`, when given, is the level the water takes once the turn ends. A turn
    // to the up already targeted starts nothing.
    void InterpolateUp(const math::Vector3& up, float seconds, const math::Vector3& referenceAxis,
                       const float* waterLevel);

    // The debug camera: the wheel moves the camera along its view, a left drag turns the view
    // and a right drag pans, while `debug` (the game's debug-camera switch) is on. Takes the
    // mouse buttons and the wheel; everything else goes on down the chain.
    bool OnInput(const dorvo::input::InputEvent& event, bool debug);
    // The debug-camera switch ("cam"): on, the mouse drives the camera; off, the eye goes back to
    // the middle of the room at (0, 2, 0).
    void SetDebugCamera(bool on);
    bool IsDebugCamera() const { return m_debugCamera; }

    void SetFlags(std::uint32_t bits) { m_flags |= bits; }
    void ClearFlags(std::uint32_t bits) { m_flags &= ~bits; }
    // Unit length, or (0, 0, 0) for a zero vector.
    void SetUpVector(const math::Vector3& up);

    const math::Vector3& GetOrbitLookAt() const { return m_orbitLookAt; }
    const math::Vector3& GetTurnTargetUp() const { return m_turnTargetUp; }
    // The seconds of the last up turn asked for (also when it started nothing).
    float GetTurnSeconds() const { return m_turnSeconds; }
    const math::Vector3& GetTurnAxis() const { return m_turnAxis; }
    bool IsUpTurnRunning() const { return (m_flags & kUpTurnFlag) != 0; }
    bool IsWaterTurnRunning() const { return m_waterTurnRunning; }
    bool HasPendingWaterLevel() const { return m_hasPendingWaterLevel; }
    float GetPendingWaterLevel() const { return m_pendingWaterLevel; }
    bool AreMenusShown() const { return m_menusShown; }
    int GetFacesInView() const { return m_facesInView; }

    // The idle orbit's angle in degrees (0 to 360), one for all cameras.
    static float GetOrbitAngle() { return s_orbitAngle; }
    static void SetOrbitAngle(float degrees) { s_orbitAngle = degrees; }

private:
    void Orbit(float elapsed);
    void CloseMenusWhileGliding();
    void TrackFaces();
    void StepUpTurn();
    // Starts the water's share of an up turn: the water moves to `up` times the level it had and
    // turns with the view. Nothing without a water object.
    void StartWaterTurn(const math::Vector3& up, float seconds);
    // One frame of the water's turn with the view's rotation of this frame.
    void StepWaterTurn(const math::Quaternion& rotation);
    void ApplyPendingWaterLevel();

    static float s_orbitAngle;

    math::Vector3 m_orbitLookAt;
    // The second half of a wide glide, started when the first half ends.
    math::Vector3 m_glideTarget;
    float m_glideSeconds = 0.0f;
    bool m_glidePending = false;
    int m_turnInterpolation = -1;
    math::Vector3 m_upVector;
    math::Vector3 m_turnStartUp;
    math::Vector3 m_turnAxis;
    math::Vector3 m_turnTargetUp;
    float m_turnSeconds = 0.0f;
    bool m_upTurnRunning = false;
    math::Quaternion m_lastTurnRotation; // the up turn's rotation at its last frame
    int m_waterInterpolation = -1;
    bool m_waterTurnRunning = false;
    std::uint32_t m_waterGobID = 0; // the water object the running water turn moves
    math::Quaternion m_waterBaseOrientation;
    float m_turnWaterLevel = 0.0f;
    float m_pendingWaterLevel = 0.0f;
    bool m_hasPendingWaterLevel = false;
    bool m_menusShown = false;
    int m_facesInView = 0;
    bool m_debugCamera = false;
};
} // namespace QUORB

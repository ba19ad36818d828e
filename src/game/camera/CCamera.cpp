#include "game/camera/CCamera.h"

#include "common/InputEvent.h"
#include "common/InterpolationMgr.h"
#include "common/math/MathUtil.h"
#include "common/math/Matrix4.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/POVComp.h"
#include "engine/gfx/gui/CCursor.h"
#include "engine/gfx/water/CWaterManager.h"
#include "engine/phy/CRigidBody.h"
#include "game/app/CQUORB.h"
#include "game/app/MenuSend.h"
#include "game/camera/CCameraDrag.h"
#include "game/room/CRoom.h"
#include "platform/log.h"
#include "statemachine/MessageName.h"

#include <boost/make_shared.hpp>

#include <algorithm>
#include <cmath>

namespace QUORB
{
namespace
{
constexpr float kPi = 3.14159265358979f;
constexpr float kDegreesToRadians = kPi / 180.0f;

// The direction each face lies in from the middle of the room: front, right, back, left.
const math::Vector3 kFaceDirections[CRoom::kFaceCount] = {
    math::Vector3(0.0f, 0.0f, 1.0f), math::Vector3(1.0f, 0.0f, 0.0f), math::Vector3(0.0f, 0.0f, -1.0f),
    math::Vector3(-1.0f, 0.0f, 0.0f)};

// The debug camera's drags: one pair of press points and drag marks for the program, as there is
// one mouse.
struct DebugDrag
{
    math::Vector3 leftPress;
    math::Vector3 rightPress;
    bool leftDragging = false;
    bool rightDragging = false;
};
DebugDrag s_drag;

POVComp* WaterPOV(std::uint32_t id)
{
    Gob* gob = id != 0 ? GobManager::Instance().GetGob(id) : nullptr;
    return gob != nullptr ? GetPOVComp(gob) : nullptr;
}

bool CursorPoint(math::Vector3& out)
{
    CQUORB* game = CQUORB::Get();
    const dorvo::gfx::CCursor* cursor = game != nullptr ? game->GetCursor() : nullptr;
    if (cursor == nullptr)
        return false;
    const math::Vector3 point = cursor->GetScreenPoint();
    out = math::Vector3(point.x, point.y, 0.0f);
    return true;
}
} // namespace

float CCamera::s_orbitAngle = 0.0f;

CCamera::CCamera()
    : dorvo::CDorvoCamera(boost::make_shared<dorvo::phy::CRigidBody>()), m_orbitLookAt(0.0f, 0.0f, 20.0f),
      m_upVector(0.0f, 1.0f, 0.0f), m_turnTargetUp(0.0f, 1.0f, 0.0f)
{
    m_lastTurnRotation.SetIdentity();
    m_waterBaseOrientation.SetIdentity();
    SetLookAt(0.0f, 0.0f, 20.0f);
    SetPosition(0.0f, 2.0f, 0.0f);
    SetProjection(0.7853982f, 1.33f, 0.1f, 250.0f);
}

CCamera::~CCamera() = default;

void CCamera::Update(float elapsed)
{
    dorvo::CDorvoCamera::Update(elapsed);
    if (m_glidePending && !IsInterpolating())
    {
        m_glidePending = false;
        InterpolateLookAt(m_glideTarget, m_glideSeconds);
    }
    if ((m_flags & kOrbitFlag) != 0)
    {
        Orbit(elapsed);
    }
    else
    {
        StepUpTurn();
        if (IsInterpolating())
            CloseMenusWhileGliding();
    }
    TrackFaces();
}

void CCamera::GlideLookAt(const math::Vector3& target, float seconds)
{
    m_glidePending = false;
    const math::Vector3& eye = GetEyePosition();
    const math::Vector3 from = GetLookAt() - eye;
    const math::Vector3 to = target - eye;
    const float fromAngle = std::atan2(from.x, from.z);
    const float turn = std::remainder(std::atan2(to.x, to.z) - fromAngle, 2.0f * kPi); // -pi to pi
    if (std::fabs(turn) <= kStraightGlideDegrees * kDegreesToRadians)
    {
        InterpolateLookAt(target, seconds);
        return;
    }
    const float halfway = fromAngle + 0.5f * turn;
    const float reach = std::sqrt(to.x * to.x + to.z * to.z);
    m_glideTarget = target;
    m_glideSeconds = 0.5f * seconds;
    m_glidePending = true;
    InterpolateLookAt(
        math::Vector3(eye.x + reach * std::sin(halfway), target.y, eye.z + reach * std::cos(halfway)),
        m_glideSeconds);
}

void CCamera::Orbit(float elapsed)
{
    s_orbitAngle += elapsed * kOrbitDegreesPerSecond;
    if (s_orbitAngle > 360.0f)
        s_orbitAngle -= 360.0f;
    const float a = s_orbitAngle * kDegreesToRadians;
    const float c = std::cos(a);
    const float s = std::sin(a);
    const math::Vector3& p = m_orbitLookAt;
    SetLookAt(p.x * c + p.z * s, p.y, p.z * c - p.x * s);
}

void CCamera::CloseMenusWhileGliding()
{
    // Every frame of the glide: a menu opened meanwhile by anyone else closes again.
    CQUORB* game = CQUORB::Get();
    SendToMenu(MenuTable::kPuzzleLookAtMenu, MSG_CloseMenu);
    m_menusShown = false;
    if (game == nullptr || !game->IsCreatePuzzleMode())
        SendToMenu(MenuTable::kPuzzleInfoMenu, MSG_CloseMenu);
}

void CCamera::TrackFaces()
{
    CQUORB* game = CQUORB::Get();
    if ((game != nullptr && game->IsEditorMode()) || IsInterpolating())
    {
        m_menusShown = false;
        return;
    }
    const bool createMode = game != nullptr && game->IsCreatePuzzleMode();
    const bool orbiting = (m_flags & kOrbitFlag) != 0;
    CRoom* room = game != nullptr ? game->GetRoom() : nullptr;
    const math::Vector3 d = (GetLookAt() - GetEyePosition()).GetNormalized();
    m_facesInView = 0;
    for (unsigned i = 0; i < CRoom::kFaceCount && room != nullptr; ++i)
    {
        const float c = kFaceDirections[i].Dot(d);
        if (c > kFacePositionCosine)
        {
            float position = static_cast<float>(i);
            if (c <= kOnFaceCosine)
            {
                const bool towardNext = kFaceDirections[(i + 1) % CRoom::kFaceCount].Dot(d) > 0.0f;
                position += towardNext ? 0.5f : -0.5f;
                if (position < 0.0f)
                    position = 3.5f;
            }
            room->SetFacePosition(position);
        }
        if (!orbiting && c > kFocusCosine)
        {
            game->SetFocusedFace(static_cast<int>(i));
            if (!m_menusShown)
            {
                SendToMenu(MenuTable::kPuzzleLookAtMenu, MSG_OpenMenu);
                if (!createMode)
                {
                    SendToMenu(MenuTable::kPuzzleInfoMenu, MSG_OpenMenu);
                    SendToMenu(MenuTable::kPuzzleInfoMenu, MSG_ResetMenu);
                }
                m_menusShown = true;
            }
            ++m_facesInView;
        }
    }
    if (m_menusShown && m_facesInView == 0)
    {
        SendToMenu(MenuTable::kPuzzleLookAtMenu, MSG_CloseMenu);
        m_menusShown = false;
        if (!createMode)
            SendToMenu(MenuTable::kPuzzleInfoMenu, MSG_CloseMenu);
    }
}

math::Matrix4& CCamera::ComputeViewMatrix(math::Matrix4& out) const
{
    out = math::Matrix4::LookAtLH(GetEyePosition(), GetLookAt(), m_upVector);
    return out;
}

void CCamera::InterpolateUp(const math::Vector3& up, float seconds, const math::Vector3& referenceAxis,
                            const float* waterLevel)
{
    m_turnSeconds = seconds;
    CQUORB* game = CQUORB::Get();
    const bool withWater = game != nullptr && game->GetPuzzleHasWater();
    if (withWater)
    {
        m_hasPendingWaterLevel = waterLevel != nullptr;
        if (waterLevel != nullptr)
            m_pendingWaterLevel = *waterLevel;
    }
    const math::Vector3 n = up.GetNormalized();
    if (math::IsZero(n.Length()))
    {
        DORVO_LOG(
            "CCamera::InterpolateUp: the up vector (0, 0, 0) has no direction; the camera keeps its up");
        return;
    }
    if (math::FloatEqual(n.Dot(m_turnTargetUp), 1.0f))
    {
        // Nothing to turn. With no turn running there is no end to wait for either, so a level
        // asked for the end of the turn applies now rather than at some later turn's end.
        if (!IsUpTurnRunning() && !m_waterTurnRunning)
            ApplyPendingWaterLevel();
        return;
    }
    m_flags |= kUpTurnFlag;
    m_turnStartUp = m_upVector;
    m_turnTargetUp = n;
    const float cosine = m_turnStartUp.Dot(n);
    if (std::fabs(1.0f - std::fabs(cosine)) < 1e-5f)
        m_turnAxis = referenceAxis;
    else
        m_turnAxis = math::Cross(m_turnStartUp, n);
    const float angle = std::acos(std::clamp(cosine, -1.0f, 1.0f));
    m_turnInterpolation =
        common::CInterpolationMgr::Instance().AddFloat(0.0f, angle, seconds, common::INTERP_REMOVE);
    if (withWater)
        StartWaterTurn(up, seconds);
}

void CCamera::StepUpTurn()
{
    if (!IsUpTurnRunning())
    {
        // The water's glide was started after the view's; should it end a frame later, it still
        // gets its last step (and the pending level) with the turn's final rotation.
        if (m_waterTurnRunning)
            StepWaterTurn(m_lastTurnRotation);
        return;
    }
    m_upTurnRunning = true;
    bool done = false;
    float value = 0.0f;
    if (common::CInterpolationMgr::Instance().GetFloat(m_turnInterpolation, done, value))
    {
        math::Quaternion q;
        q.SetFromAxisAngle(m_turnAxis, value);
        m_lastTurnRotation = q;
        m_upVector = q.Rotate(m_turnStartUp).GetNormalized();
        CQUORB* game = CQUORB::Get();
        if (m_waterTurnRunning && game != nullptr && game->GetPuzzleHasWater())
            StepWaterTurn(q);
    }
    else
    {
        // The glide is gone from the manager: the turn cannot go on.
        done = true;
    }
    if (done)
    {
        m_flags &= ~kUpTurnFlag;
        m_upTurnRunning = false;
        // Without a water turn (no water object) the level asked for the end goes now, so it is
        // not left over for a later turn.
        if (!m_waterTurnRunning)
            ApplyPendingWaterLevel();
    }
}

void CCamera::StartWaterTurn(const math::Vector3& up, float seconds)
{
    const std::uint32_t id = dorvo::gfx::CWaterManager::Instance().GetWaterGobID();
    POVComp* pov = WaterPOV(id);
    if (pov == nullptr)
        return;
    CQUORB* game = CQUORB::Get();
    // The turn starts from where the water is turned now: mid-turn, or a water object that
    // another room brought in.
    m_waterBaseOrientation = pov->GetOrientation();
    if (!m_upTurnRunning && !m_waterTurnRunning)
        m_turnWaterLevel = game != nullptr ? game->GetWaterLevel() : 0.0f;
    m_waterGobID = id;
    m_waterTurnRunning = true;
    m_waterInterpolation = common::CInterpolationMgr::Instance().AddVector3(
        pov->GetPosition(), up * m_turnWaterLevel, seconds, common::INTERP_REMOVE);
}

void CCamera::StepWaterTurn(const math::Quaternion& rotation)
{
    bool done = false;
    math::Vector3 value;
    POVComp* pov = WaterPOV(m_waterGobID);
    if (!common::CInterpolationMgr::Instance().GetVector3(m_waterInterpolation, done, value))
        done = true;
    else if (pov != nullptr)
    {
        pov->SetPosition(value, false);
        pov->SetOrientation((rotation * m_waterBaseOrientation).GetNormalized(), true);
    }
    if (!done)
        return;
    m_waterTurnRunning = false;
    if (pov != nullptr)
        m_waterBaseOrientation = pov->GetOrientation();
    ApplyPendingWaterLevel();
}

void CCamera::ApplyPendingWaterLevel()
{
    if (!m_hasPendingWaterLevel)
        return;
    m_hasPendingWaterLevel = false;
    if (CQUORB* game = CQUORB::Get())
        game->SetWaterLevel(m_pendingWaterLevel);
}

bool CCamera::OnInput(const dorvo::input::InputEvent& event, bool debug)
{
    using namespace dorvo::input;
    const bool pressed = event.value != 0;
    switch (event.code)
    {
    case MOUSE_BUTTON_0:
        if (!pressed)
            s_drag.leftDragging = false;
        else if (!s_drag.leftDragging && CursorPoint(s_drag.leftPress))
            s_drag.leftDragging = true;
        return true;
    case MOUSE_BUTTON_1:
        if (!debug)
            return true;
        if (!pressed)
            s_drag.rightDragging = false;
        else if (!s_drag.rightDragging && CursorPoint(s_drag.rightPress))
            s_drag.rightDragging = true;
        return true;
    case MOUSE_WHEEL:
        if (!debug)
            break;
        MoveRelative(0.0f, 0.0f, event.value < 1 ? -1.0f : 1.0f);
        return true;
    default:
        break;
    }
    if (IsInterpolating() || !debug)
        return false;
    CQUORB* game = CQUORB::Get();
    if (s_drag.leftDragging)
    {
        math::Vector3 axis;
        float angle = 0.0f;
        GetDragRotation(s_drag.leftPress, kDragRotationFactor, axis, angle,
                        game != nullptr && game->GetInvertHorizontalDrag(),
                        game != nullptr && game->GetInvertVerticalDrag());
        if (!math::IsZero(angle))
        {
            math::Matrix4 rotation;
            rotation.SetRotationAxis(axis.x, axis.y, axis.z, angle);
            const math::Vector3 eye = GetPosition();
            SetLookAt(eye + rotation.TransformDirection(GetLookAt() - eye));
        }
        CursorPoint(s_drag.leftPress);
    }
    else if (s_drag.rightDragging)
    {
        math::Vector3 pan;
        GetDragPan(s_drag.rightPress, kDragPanFactor, pan);
        Translate(pan);
        CursorPoint(s_drag.rightPress);
    }
    return false;
}

void CCamera::SetDebugCamera(bool on)
{
    m_debugCamera = on;
    if (!on)
        SetPosition(0.0f, 2.0f, 0.0f);
}

void CCamera::SetUpVector(const math::Vector3& up)
{
    const float length = std::sqrt(up.x * up.x + up.y * up.y + up.z * up.z);
    if (length > 0.0f)
        m_upVector = math::Vector3(up.x / length, up.y / length, up.z / length);
    else
        m_upVector = math::Vector3(0.0f, 0.0f, 0.0f);
}
} // namespace QUORB

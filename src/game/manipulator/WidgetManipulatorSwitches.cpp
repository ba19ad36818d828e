// Gravity switches, magnets and hard nodes: their create operations, the turning of a switch or
// magnet while it is created or adjusted, and the collision callbacks with which switches,
// magnets and accelerators act on the star object while a puzzle runs. A switch touched by the
// star turns the world's gravity (and the camera's up with it) and glows for a second; a magnet's
// field pulls unlike and pushes like magnetism, and the magnet holds an unlike body against
// gravity; an accelerator pushes the star along its length.
#include "game/manipulator/WidgetManipulator.h"

#include "common/ParamStack.h"
#include "common/Scheduler.h"
#include "common/math/MathUtil.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/POVComp.h"
#include "engine/gfx/mesh/GfxModelComp.h"
#include "engine/phy/CollisionComp.h"
#include "engine/phy/CollisionFunctorData.h"
#include "engine/phy/DynamicsEngine.h"
#include "engine/phy/PhysicsComp.h"
#include "game/app/CQUORB.h"
#include "game/manipulator/WidgetManipulatorHelpers.h"
#include "game/nodes/GobIDComp.h"
#include "game/room/FindComp.h"
#include "game/widgets/CAcceleratorData.h"
#include "game/widgets/CGravitySwitchData.h"
#include "game/widgets/CMagnetData.h"
#include "game/widgets/IWidgetData.h"
#include "game/widgets/WidgetDataComp.h"

#include <cmath>
#include <memory>

namespace QUORB
{
using namespace manipulator;

const char* const WidgetManipulator::kGlowEffect = "Glow.fx";
const char* const WidgetManipulator::kGlowTechnique = "Glow";
const char* const WidgetManipulator::kGlowRestoreName = "TurnOffGSEffect";

namespace
{
// Gravity's pull, world units per second squared.
constexpr float kGravity = 9.8f;
// The field's acceleration is this times the magnet's strength over the distance.
constexpr float kFieldFactor = 50.0f;
// Within 45 degrees of vertical (ties included) a gravity switch points up or down.
constexpr float kDiagonal = 0.70710677f;

// The other object of a contact: B when the owner is A, else A.
Gob* OtherOf(const dorvo::phy::CollisionFunctorData& data, unsigned int ownerID)
{
    return GobManager::Instance().GetGob(ownerID == data.gobIdA ? data.gobIdB : data.gobIdA);
}

int MagnetismOf(Gob* gob)
{
    const WidgetDataComp* comp = WidgetDataComp::Of(gob);
    const IWidgetData* data = comp != nullptr ? comp->GetData() : nullptr;
    return data != nullptr ? data->GetMagnetism() : IWidgetData::kMagnetismNone;
}

// The body a callback pushes; an object without one is named once and left alone.
dorvo::phy::PhysicsComp* BodyOf(Gob* gob, const char* step)
{
    dorvo::phy::PhysicsComp* body = dorvo::phy::GetPhysicsComp(gob);
    if (body == nullptr)
        ReportMissingOnce(gob, "PhysicsComp", step);
    return body;
}

dorvo::phy::CollisionComp* CollisionOf(Gob* gob, const char* step)
{
    auto* collision = FindComp<dorvo::phy::CollisionComp>(gob);
    if (collision == nullptr && gob != nullptr)
        ReportMissing(gob, "CollisionComp", step);
    return collision;
}

// The direction normalised, (0, 0, 0) when it has none.
math::Vector3 Unit(const math::Vector3& direction)
{
    return math::IsZero(direction.LengthSquared()) ? math::Vector3() : direction.GetNormalized();
}

CGravitySwitchData* SwitchDataOf(Gob* gob)
{
    const WidgetDataComp* comp = WidgetDataComp::Of(gob);
    return comp != nullptr ? comp->AsGravitySwitchData() : nullptr;
}
} // namespace

// ---- create operations ----

void WidgetManipulator::CreateGravitySwitch(Gob*& out, math::Vector3 position, math::Quaternion orientation,
                                            math::Vector3, const math::Vector3*)
{
    out = GobManager::Instance().CreateGobAtPos("GravitySwitch", position, false);
    POVComp* pov = GetPOVComp(out);
    if (pov == nullptr)
        return;
    pov->SetOrientation(orientation, true);
    if (dorvo::phy::CollisionComp* collision = CollisionOf(out, "the gravity switch's touch"))
        collision->AddCollisionBeginFunctor(
            "GravSwitchFunc", dorvo::phy::CollisionFunctor(&WidgetManipulator::OnGravitySwitchCollision));
}

void WidgetManipulator::CreateMagnet(Gob*& out, math::Vector3 position, math::Quaternion orientation,
                                     math::Vector3, const math::Vector3*)
{
    GobManager& gobs = GobManager::Instance();
    out = gobs.CreateGobAtPos("Magnet", position, false);
    POVComp* pov = GetPOVComp(out);
    if (pov == nullptr)
        return;
    pov->SetOrientation(orientation, true);
    Gob* field = gobs.CreateGobAtPos("MagneticField", position, false);
    if (field == nullptr)
        ReportNotBuilt("MagneticField", out, "its magnetic field");
    if (POVComp* fieldPov = GetPOVComp(field))
        fieldPov->SetOrientation(orientation, true);
    GobIDComp* magnetLink = GobIDComp::Of(out);
    GobIDComp* fieldLink = GobIDComp::Of(field);
    if (magnetLink != nullptr && fieldLink != nullptr)
    {
        magnetLink->SetLinkedID(field->GetID());
        fieldLink->SetLinkedID(out->GetID());
    }
    else if (field != nullptr)
        ReportMissing(magnetLink == nullptr ? out : field, "GobIDComp", "linking the magnet to its field");
    const WidgetDataComp* comp = WidgetDataComp::Of(out);
    if (IWidgetData* data = comp != nullptr ? comp->GetData() : nullptr)
        data->RefreshMagnetism();
    if (dorvo::phy::CollisionComp* collision = CollisionOf(field, "the magnetic field's pull"))
        collision->AddCollisionFunctor("MagneticFieldFunc",
                                       dorvo::phy::CollisionFunctor(&WidgetManipulator::OnMagneticField));
    if (dorvo::phy::CollisionComp* collision = CollisionOf(out, "the magnet's hold"))
        collision->AddCollisionFunctor("MagnetCollisionFunc",
                                       dorvo::phy::CollisionFunctor(&WidgetManipulator::OnMagnetCollision));
}

void WidgetManipulator::CreateHardNode(Gob*& out, math::Vector3 position, math::Quaternion orientation,
                                       math::Vector3, const math::Vector3*)
{
    out = GobManager::Instance().CreateGobAtPos("HardNode", position, true);
    if (POVComp* pov = GetPOVComp(out))
        pov->SetOrientation(orientation, true);
}

// ---- turning switches and magnets ----

void WidgetManipulator::SnapToFaceAxis(math::Vector3& out, const math::Vector3& direction,
                                       const math::Vector3& faceNormal)
{
    const math::Vector3 horizontal(-faceNormal.z, 0.0f, faceNormal.x);
    const float along = direction.Dot(horizontal);
    if (along >= -kDiagonal && along <= kDiagonal)
        out = direction.y > 0.0f ? math::Vector3(0.0f, 1.0f, 0.0f) : math::Vector3(0.0f, -1.0f, 0.0f);
    else
        out = along > kDiagonal ? horizontal : -horizontal;
}

void WidgetManipulator::TurnGravitySwitch(Gob* gravitySwitch, const math::Vector3& direction)
{
    POVComp* pov = GetPOVComp(gravitySwitch);
    if (pov == nullptr)
        return;
    const math::Vector3 n = FaceNormal();
    math::Vector3 s;
    SnapToFaceAxis(s, Unit(direction), n);
    math::Quaternion orientation;
    orientation.SetFromDirections(s, -n);
    pov->SetOrientation(orientation, true);
    if (CGravitySwitchData* data = SwitchDataOf(gravitySwitch))
        data->direction = s;
    else
        ReportMissing(gravitySwitch, "gravity switch data", "keeping its direction");
}

void WidgetManipulator::TurnMagnet(Gob* magnet, const math::Vector3& direction)
{
    POVComp* pov = GetPOVComp(magnet);
    if (pov == nullptr)
        return;
    math::Quaternion orientation;
    orientation.SetFromDirections(Unit(direction), -FaceNormal());
    pov->SetOrientation(orientation, true);
    const GobIDComp* link = GobIDComp::Of(magnet);
    if (POVComp* field = GetPOVComp(link != nullptr ? link->GetLinkedGob() : nullptr))
    {
        field->SetPosition(pov->GetPosition(), false);
        field->SetOrientation(orientation, true);
    }
}

void WidgetManipulator::DragGravitySwitch()
{
    TurnGravitySwitch(Live(m_selectedID), m_cursorFacePoint - m_pressFacePoint);
}

void WidgetManipulator::DragMagnet()
{
    TurnMagnet(Live(m_selectedID), m_cursorFacePoint - m_pressFacePoint);
}

void WidgetManipulator::AdjustGravitySwitch()
{
    Gob* gravitySwitch = Live(m_selectedID);
    if (const POVComp* pov = GetPOVComp(gravitySwitch))
        TurnGravitySwitch(gravitySwitch, m_manipulationPoint - pov->GetPosition());
}

void WidgetManipulator::AdjustMagnet()
{
    Gob* magnet = Live(m_selectedID);
    if (const POVComp* pov = GetPOVComp(magnet))
        TurnMagnet(magnet, m_manipulationPoint - pov->GetPosition());
}

// ---- the switch's glow ----

void WidgetManipulator::SetGravitySwitchGlow(Gob* gravitySwitch)
{
    auto* model = FindComp<dorvo::gfx::GfxModelComp>(gravitySwitch);
    if (model == nullptr)
    {
        ReportMissing(gravitySwitch, "GfxModelComp", "the gravity switch's glow");
        return;
    }
    // A switch glowing already keeps the names it had before its first touch, so the restore
    // brings back its own look rather than the glow.
    if (model->GetTechnique() != kGlowTechnique)
    {
        model->SetSavedFXFile(model->GetFXFile());
        model->SetSavedTechnique(model->GetTechnique());
    }
    model->SetFXFile(kGlowEffect);
    model->SetTechnique(kGlowTechnique);
}

void WidgetManipulator::RestoreGravitySwitchEffect(std::uint32_t id)
{
    auto* model = FindComp<dorvo::gfx::GfxModelComp>(Live(id));
    if (model == nullptr)
        return;
    if (!model->GetSavedFXFile().empty())
        model->RestoreSavedEffect();
    if (!model->GetSavedTechnique().empty())
        model->RestoreSavedTechnique();
    model->SetTransparent(model->GetSavedIsTransparent());
}

// ---- collision callbacks ----

bool WidgetManipulator::OnGravitySwitchCollision(dorvo::phy::CollisionFunctorData data, unsigned int ownerID)
{
    Gob* other = OtherOf(data, ownerID);
    if (other == nullptr || other->GetTypeName() != "QUORB")
        return false;
    Gob* gravitySwitch = GobManager::Instance().GetGob(ownerID);
    const CGravitySwitchData* switchData = SwitchDataOf(gravitySwitch);
    if (switchData == nullptr)
    {
        ReportMissing(gravitySwitch, "gravity switch data", "turning gravity");
        return false;
    }
    const math::Vector3 d = switchData->direction;
    if (CQUORB* game = Game())
        game->SetCameraUpLerp(-d, 1.0f, nullptr);
    dorvo::phy::DynamicsEngine::Instance().gravity = Unit(d) * kGravity;

    auto* model = FindComp<dorvo::gfx::GfxModelComp>(gravitySwitch);
    // One restore a glow: a touch while the switch glows schedules no second one.
    if (model != nullptr && model->GetTechnique() != kGlowTechnique)
    {
        auto arguments = std::make_unique<ParamStack>();
        arguments->Push(static_cast<unsigned>(ownerID));
        if (common::Scheduler::Instance().ScheduleFunction(
                kGlowRestoreName, kGlowSeconds,
                Loki::NewFunctor(&WidgetManipulator::RestoreGravitySwitchEffect).release(), arguments.get()))
            arguments.release();
    }
    SetGravitySwitchGlow(gravitySwitch);
    return true;
}

bool WidgetManipulator::OnMagneticField(dorvo::phy::CollisionFunctorData data, unsigned int ownerID)
{
    Gob* other = OtherOf(data, ownerID);
    if (other == nullptr || (other->GetTypeName() != "QUORB" && other->GetTemplateName() != "Widget"))
        return false;
    Gob* field = GobManager::Instance().GetGob(ownerID);
    const GobIDComp* link = GobIDComp::Of(field);
    Gob* magnet = link != nullptr ? link->GetLinkedGob() : nullptr;
    const WidgetDataComp* magnetComp = WidgetDataComp::Of(magnet);
    const CMagnetData* magnetData = magnetComp != nullptr ? magnetComp->AsMagnetData() : nullptr;
    if (magnetData == nullptr)
    {
        ReportMissingOnce(field, "magnet with magnet data", "the magnetic field's pull");
        return false;
    }
    const int otherMagnetism = MagnetismOf(other);
    if (otherMagnetism == IWidgetData::kMagnetismNone)
        return true;
    dorvo::phy::PhysicsComp* body = BodyOf(other, "the magnetic field's pull");
    const POVComp* fieldPov = GetPOVComp(field);
    if (body == nullptr || fieldPov == nullptr)
        return false;
    const float sign = magnetData->GetMagnetism() == otherMagnetism ? 1.0f : -1.0f;
    const math::Vector3 offset = body->position - fieldPov->GetPosition();
    // A body on the field's very centre has no direction to go: no force, and nothing
    // non-finite reaches the body.
    if (math::IsZero(offset.LengthSquared()))
        return true;
    const float distance = offset.Length();
    const math::Vector3 away = offset * (1.0f / distance);
    body->AddForce(away * (magnetData->strength * (1.0f / distance) * kFieldFactor * body->GetMass() * sign));
    return true;
}

bool WidgetManipulator::OnMagnetCollision(dorvo::phy::CollisionFunctorData data, unsigned int ownerID)
{
    Gob* other = OtherOf(data, ownerID);
    if (other == nullptr || (other->GetTemplateName() != "QUORB" && other->GetTemplateName() != "Widget"))
        return false;
    const int magnetism = MagnetismOf(GobManager::Instance().GetGob(ownerID));
    const int otherMagnetism = MagnetismOf(other);
    if (otherMagnetism == IWidgetData::kMagnetismNone || otherMagnetism == magnetism)
        return true;
    dorvo::phy::PhysicsComp* body = BodyOf(other, "the magnet's hold");
    if (body == nullptr)
        return false;
    // Unlike magnetism holds the body: it weighs nothing while it touches the magnet.
    body->AddForce(dorvo::phy::DynamicsEngine::Instance().gravity * -body->GetMass());
    return true;
}

bool WidgetManipulator::OnAcceleratorCollision(dorvo::phy::CollisionFunctorData data, unsigned int ownerID)
{
    Gob* other = OtherOf(data, ownerID);
    if (other == nullptr || other->GetTypeName() != "QUORB")
        return false;
    Gob* accelerator = GobManager::Instance().GetGob(ownerID);
    const WidgetDataComp* comp = WidgetDataComp::Of(accelerator);
    CAcceleratorData* acceleratorData = comp != nullptr ? comp->AsAcceleratorData() : nullptr;
    const POVComp* pov = GetPOVComp(accelerator);
    if (acceleratorData == nullptr || pov == nullptr)
    {
        ReportMissingOnce(accelerator, "accelerator data", "the accelerator's push");
        return false;
    }
    dorvo::phy::PhysicsComp* body = BodyOf(other, "the accelerator's push");
    if (body == nullptr)
        return false;
    // The push runs along the accelerator's length as the focused face has it now.
    const int face = FocusedFace();
    math::Vector3 axis;
    if (LongAxisIsX(face))
        axis = pov->GetOrientation().GetXAxis();
    else if (LongAxisIsZ(face))
        axis = pov->GetOrientation().GetZAxis();
    acceleratorData->direction = axis;
    body->AddForce(axis * (acceleratorData->GetDirectionSign() *
                           (acceleratorData->GetSpeedSetting() * body->GetMass())));
    return true;
}
} // namespace QUORB

// The create operations of widgets built from nodes (platforms, bars, accelerators), star objects
// and objectives, and the two collision callbacks they register: the node break of a widget and
// the wood or metal sound of a star object. They place new objects only: the editor's creating
// state files them into the puzzle, and a puzzle built from its file files them itself.
#include "game/manipulator/WidgetManipulator.h"

#include "common/math/MathUtil.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/POVComp.h"
#include "engine/phy/CollisionComp.h"
#include "engine/phy/CollisionFunctorData.h"
#include "game/app/CQUORB.h"
#include "game/app/MenuSend.h"
#include "game/app/MenuState.h"
#include "game/manipulator/WidgetManipulatorHelpers.h"
#include "game/nodes/ConnectionComp.h"
#include "game/nodes/GobIDComp.h"
#include "game/nodes/NodeDataComp.h"
#include "game/objectives/CWaterControl.h"
#include "game/objectives/IObjective.h"
#include "game/objectives/ObjectiveComp.h"
#include "game/room/CPuzzle.h"
#include "game/room/CRoom.h"
#include "game/room/FindComp.h"
#include "game/widgets/IWidgetData.h"
#include "game/widgets/WidgetDataComp.h"

#include <memory>

namespace QUORB
{
using namespace manipulator;

namespace
{
dorvo::phy::CollisionComp* CollisionOf(Gob* gob)
{
    return FindComp<dorvo::phy::CollisionComp>(gob);
}

// The turned axis of an orientation; a zero orientation (a damaged file) counts as none.
math::Vector3 AxisOf(const math::Quaternion& orientation, bool xAxis)
{
    if (math::IsZero(orientation.LengthSquared()))
        return xAxis ? math::Vector3(1.0f, 0.0f, 0.0f) : math::Vector3(0.0f, 0.0f, 1.0f);
    return xAxis ? orientation.GetXAxis() : orientation.GetZAxis();
}

// Each object's GobIDComp names the other.
void CrossLink(Gob* a, Gob* b)
{
    GobIDComp* linkA = GobIDComp::Of(a);
    GobIDComp* linkB = GobIDComp::Of(b);
    if (linkA == nullptr || linkB == nullptr)
    {
        ReportMissing(linkA == nullptr ? a : b, "GobIDComp", "linking it to its field");
        return;
    }
    linkA->SetLinkedID(b->GetID());
    linkB->SetLinkedID(a->GetID());
}

void RefreshMagnetismOf(Gob* gob)
{
    const WidgetDataComp* comp = WidgetDataComp::Of(gob);
    if (IWidgetData* data = comp != nullptr ? comp->GetData() : nullptr)
        data->RefreshMagnetism();
}

Gob* CreateAt(const std::string& archetype, const math::Vector3& position)
{
    return GobManager::Instance().CreateGobAtPos(archetype, position, true);
}

void Orient(Gob* gob, const math::Quaternion& orientation)
{
    if (POVComp* pov = GetPOVComp(gob))
        pov->SetOrientation(orientation, true);
}

bool IsStarCollisionPartner(const std::string& archetype)
{
    return archetype == "Platform" || archetype == "Bar" || archetype == "BarAlt" ||
           archetype == "Accelerator" || archetype == "Magnet";
}
} // namespace

// ---- widgets built from nodes ----

void WidgetManipulator::CreatePlatform(Gob*& out, math::Vector3 position, math::Quaternion orientation,
                                       math::Vector3 scale, const math::Vector3* direction)
{
    CreateSoftNodeChain("Platform", out, position, orientation, scale, direction);
}

void WidgetManipulator::CreateBar(Gob*& out, math::Vector3 position, math::Quaternion orientation,
                                  math::Vector3 scale, const math::Vector3* direction)
{
    const int face = FocusedFace();
    if (LongAxisIsX(face))
        CreateSoftNodeChain("Bar", out, position, orientation, scale, direction);
    else if (LongAxisIsZ(face))
        CreateSoftNodeChain("BarAlt", out, position, orientation, scale, direction);
}

void WidgetManipulator::CreateAccelerator(Gob*& out, math::Vector3 position, math::Quaternion orientation,
                                          math::Vector3 scale, const math::Vector3* direction)
{
    CreateSoftNodeChain("Accelerator", out, position, orientation, scale, direction);
    if (out == nullptr)
        return;
    if (dorvo::phy::CollisionComp* collision = CollisionOf(out))
        collision->AddCollisionFunctor(
            "AcceleratorFunc", dorvo::phy::CollisionFunctor(&WidgetManipulator::OnAcceleratorCollision));
    else
        ReportMissing(out, "CollisionComp", "the accelerator's push");
}

void WidgetManipulator::CreateNothing(Gob*&, math::Vector3, math::Quaternion, math::Vector3,
                                      const math::Vector3*)
{
}

void WidgetManipulator::CreateSoftNodeChain(const std::string& type, Gob*& out, const math::Vector3& position,
                                            const math::Quaternion& orientation, const math::Vector3& scale,
                                            const math::Vector3* direction)
{
    Gob* widget = CreateAt(type, position);
    out = widget;
    POVComp* pov = GetPOVComp(widget);
    if (pov == nullptr)
    {
        if (widget != nullptr)
            ReportMissing(widget, "POVComp", "placing the widget");
        return;
    }
    const int face = FocusedFace();
    const bool alongX = LongAxisIsX(face);
    const bool alongZ = LongAxisIsZ(face);
    pov->SetOrientation(orientation, true);
    // Only the long axis takes the given length; the widget keeps its template's thickness.
    math::Vector3 widgetScale = pov->GetScale();
    if (alongX)
        widgetScale.x = scale.x;
    else if (alongZ)
        widgetScale.z = scale.z;
    pov->SetScale(widgetScale, true);
    const float half = 0.5f * (alongX ? scale.x : alongZ ? scale.z : 0.0f);
    math::Vector3 d;
    if (direction != nullptr)
        d = direction->GetNormalized();
    else if (alongX || alongZ)
        d = AxisOf(orientation, alongX).GetNormalized();

    const math::Vector3 n = FaceNormal();
    // Both nodes or none: a widget with one end would be joined and dragged by half its rules.
    Gob* nodeA = CreateAt("SoftNode", position - d * half);
    Gob* nodeB = nodeA != nullptr ? CreateAt("SoftNode", position + d * half) : nullptr;
    if (nodeB == nullptr)
    {
        if (nodeA != nullptr)
            GobManager::Instance().KillGob(nodeA);
        ReportNotBuilt("SoftNode", widget, "its nodes");
    }
    else
    {
        math::Quaternion nodeTurn;
        nodeTurn.SetFromDirection(n);
        Orient(nodeA, nodeTurn);
        Orient(nodeB, nodeTurn);
        if (ConnectionComp* connection = ConnectionComp::Of(widget))
            connection->SetNodes(nodeA->GetID(), nodeB->GetID());
        else
            ReportMissing(widget, "ConnectionComp", "joining it to its nodes");
        for (Gob* node : {nodeA, nodeB})
        {
            if (NodeDataComp* data = NodeDataComp::Of(node))
                data->SetConnectionID(widget->GetID());
            else
                ReportMissing(node, "NodeDataComp", "naming the node's widget");
        }
    }

    if (Gob* field = CreateAt("ChargeField", position))
    {
        math::Quaternion fieldTurn;
        fieldTurn.SetFromDirections(d, -n);
        Orient(field, fieldTurn);
        math::Vector3 fieldScale = scale;
        if (alongZ)
            fieldScale.Set(scale.z, scale.y, scale.x);
        if (POVComp* fieldPov = GetPOVComp(field))
            fieldPov->SetScale(fieldScale, true);
        CrossLink(widget, field);
    }
    else
        ReportNotBuilt("ChargeField", widget, "its charge field");
    RefreshMagnetismOf(widget);

    if (dorvo::phy::CollisionComp* collision = CollisionOf(widget))
        collision->AddCollisionBeginFunctor("NodeCollisionFunc",
                                            dorvo::phy::CollisionFunctor(&WidgetManipulator::BreakNode));
    else
        ReportMissing(widget, "CollisionComp", "the node break");
}

bool WidgetManipulator::BreakNode(dorvo::phy::CollisionFunctorData data, unsigned int ownerID)
{
    return BreakNodeOnHit(data, ownerID);
}

// ---- star objects ----

void WidgetManipulator::CreateQuorbBall(Gob*& out, math::Vector3 position, math::Quaternion orientation,
                                        math::Vector3 scale, const math::Vector3*)
{
    CreateQuorb("QUORBBall", out, position, orientation, scale);
}

void WidgetManipulator::CreateQuorbBox(Gob*& out, math::Vector3 position, math::Quaternion orientation,
                                       math::Vector3 scale, const math::Vector3*)
{
    CreateQuorb("QUORBBox", out, position, orientation, scale);
}

void WidgetManipulator::CreateQuorb(const std::string& type, Gob*& out, const math::Vector3& position,
                                    const math::Quaternion& orientation, const math::Vector3&)
{
    const CPuzzle* puzzle = FocusedPuzzle();
    if (IsEditorCreation() && puzzle != nullptr && (puzzle->GetObjectiveMask() & CPuzzle::OT_Target) != 0 &&
        !puzzle->GetQuorbIDs().empty())
    {
        SendTextToMenu(MenuTable::kMessageWindowMenu, MSG_SendTextMessage,
                       "There is a Target Objective in play");
        ShowEditorMessage("You can only place at most 1 QUORB.");
        return;
    }
    Gob* star = CreateAt(type, position);
    out = star;
    POVComp* pov = GetPOVComp(star);
    if (pov == nullptr)
    {
        if (star != nullptr)
            ReportMissing(star, "POVComp", "placing the star object");
        return;
    }
    pov->SetOrientation(orientation, true);
    if (Gob* field = CreateAt("QUORBChargeField", position))
    {
        math::Quaternion fieldTurn;
        fieldTurn.SetFromDirection(FaceNormal());
        Orient(field, fieldTurn);
        if (POVComp* fieldPov = GetPOVComp(field))
            fieldPov->SetScale(pov->GetScale(), true);
        CrossLink(star, field);
    }
    else
        ReportNotBuilt("QUORBChargeField", star, "its charge field");
    RefreshMagnetismOf(star);
    if (dorvo::phy::CollisionComp* collision = CollisionOf(star))
        collision->AddCollisionBeginFunctor(
            "QUORBFunc", dorvo::phy::CollisionFunctor(&WidgetManipulator::PlayCollisionSound));
    else
        ReportMissing(star, "CollisionComp", "the collision sound");
}

bool WidgetManipulator::PlayCollisionSound(dorvo::phy::CollisionFunctorData data, unsigned int ownerID)
{
    Gob* star = Live(ownerID);
    Gob* other = Live(ownerID == data.gobIdA ? data.gobIdB : data.gobIdA);
    if (star == nullptr || other == nullptr || !IsStarCollisionPartner(other->GetArchetypeName()))
        return false;
    const WidgetDataComp* comp = WidgetDataComp::Of(star);
    const IWidgetData* widgetData = comp != nullptr ? comp->GetData() : nullptr;
    if (widgetData == nullptr)
    {
        ReportMissing(star, "widget data", "the collision sound");
        return false;
    }
    if (math::FloatEqual(widgetData->GetDensity(), IWidgetData::kWoodDensity))
        PlaySound("QUORBSound/Collision/WoodHit");
    else if (math::FloatEqual(widgetData->GetDensity(), IWidgetData::kMetalDensity))
        PlaySound("QUORBSound/Collision/MetalHit");
    return true;
}

// ---- objectives ----

namespace
{
// The common steps of every objective: the puzzle's limit asked first (a refusal shown with the
// kind's text), then the object at the place with its objective's defaults installed.
Gob* CreateObjective(WidgetManipulator& manipulator, bool forEditor, const char* archetype,
                     std::uint32_t type, const char* refusal, const math::Vector3& position,
                     const math::Quaternion& orientation)
{
    const CPuzzle* puzzle = FocusedPuzzle();
    if (forEditor && puzzle != nullptr && !puzzle->CanAddObjective(type))
    {
        manipulator.ShowEditorMessage(refusal);
        return nullptr;
    }
    Gob* gob = CreateAt(archetype, position);
    if (gob == nullptr)
        return nullptr;
    Orient(gob, orientation);
    ObjectiveComp* comp = ObjectiveComp::Of(gob);
    if (comp == nullptr)
    {
        ReportMissing(gob, "ObjectiveComp", "installing its objective");
        return gob;
    }
    comp->SetObjective(std::unique_ptr<IObjective>(IObjective::Create(type)));
    comp->ApplyObjectiveToGob();
    return gob;
}
} // namespace

void WidgetManipulator::CreateLocationObjective(Gob*& out, math::Vector3 position,
                                                math::Quaternion orientation, math::Vector3,
                                                const math::Vector3*)
{
    out = CreateObjective(*this, IsEditorCreation(), "LocationObjective", CPuzzle::OT_GetToLocation,
                          "Only 1 Get To Location Objective allowed.", position, orientation);
}

void WidgetManipulator::CreateTargetObjective(Gob*& out, math::Vector3 position, math::Quaternion orientation,
                                              math::Vector3, const math::Vector3*)
{
    const CPuzzle* puzzle = FocusedPuzzle();
    if (IsEditorCreation() && puzzle != nullptr && puzzle->GetQuorbIDs().size() > 1)
    {
        SendTextToMenu(MenuTable::kMessageWindowMenu, MSG_SendTextMessage, "There are more than 1 QUORB");
        ShowEditorMessage("Target Objective is not allowed.");
        return;
    }
    out = CreateObjective(*this, IsEditorCreation(), "TargetObjective", CPuzzle::OT_Target,
                          "You cannot create a Target Objective for some reason.", position, orientation);
}

void WidgetManipulator::CreateWaterObjective(Gob*& out, math::Vector3 position, math::Quaternion orientation,
                                             math::Vector3, const math::Vector3*)
{
    out = CreateObjective(*this, IsEditorCreation(), "WaterObjective", CPuzzle::OT_WaterControl,
                          "Only 1 Water Control objective allowed.", position, orientation);
    if (out == nullptr)
        return;
    ObjectiveComp* comp = ObjectiveComp::Of(out);
    if (CWaterControl* water = comp != nullptr ? comp->AsWaterControl() : nullptr)
    {
        water->SetBeginWaterLevel(position.y);
        water->SetEndWaterLevel(position.y);
    }
    if (Gob* marker = CreateAt("WaterEndObjective", position))
    {
        Orient(marker, orientation);
        CrossLink(out, marker);
    }
    else
        ReportNotBuilt("WaterEndObjective", out, "its end marker");
    if (!IsEditorCreation())
        return;
    CQUORB* game = Game();
    if (game != nullptr && game->IsCreatePuzzleMode() && GetMenuState(MenuTable::kRoomSelectionMenu) <= 1)
        game->LerpWaterLevel(position.y, 0.0f);
    if (CPuzzle* puzzle = FocusedPuzzle())
    {
        puzzle->SetWaterLevel(position.y);
        puzzle->SetHasWater(true);
    }
}

void WidgetManipulator::CreateTimerObjective(Gob*& out, math::Vector3 position, math::Quaternion orientation,
                                             math::Vector3, const math::Vector3*)
{
    out = CreateObjective(*this, IsEditorCreation(), "TimerObjective", CPuzzle::OT_TimeLimit,
                          "Only 1 Timer Objective allowed.", position, orientation);
    if (out != nullptr && IsEditorCreation())
        SendToMenu(MenuTable::kTimerObjMenu, MSG_OpenMenu);
}

void WidgetManipulator::CreateSquashObjective(Gob*& out, math::Vector3 position, math::Quaternion orientation,
                                              math::Vector3, const math::Vector3*)
{
    out = CreateObjective(*this, IsEditorCreation(), "SquashObjective", CPuzzle::OT_SquashQuorbi,
                          "You can't create a Squash Objective for some reason.", position, orientation);
}

void WidgetManipulator::CreateDestructionObjective(Gob*& out, math::Vector3 position,
                                                   math::Quaternion orientation, math::Vector3,
                                                   const math::Vector3*)
{
    out = CreateObjective(*this, IsEditorCreation(), "DestructionObjective", CPuzzle::OT_CauseDestruction,
                          "Only 1 Cause Destruction Objective allowed.", position, orientation);
}
} // namespace QUORB

#include "game/WidgetManipulator.h"

#include "common/Singleton.h"
#include "common/math/CRay.h"
#include "common/math/Quad.h"
#include "common/math/Vector3.h"
#include "engine/CDorvoApp.h"
#include "engine/CPicker.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/StateMachineComponent.h"
#include "game/CQUORB.h"
#include "game/ManipulatorLogic.h"
#include "statemachine/Database.h"

#include <iostream>

namespace QUORB
{
const char* const WidgetManipulator::kArchetypeName = "Manipulator";

WidgetManipulator::WidgetManipulator() = default;

WidgetManipulator::~WidgetManipulator() = default;

void WidgetManipulator::Init()
{
    if (m_manipulatorGob)
        return;
    GobManager& manager = GobManager::Instance();
    Gob* gob = manager.FindController(kArchetypeName) ? manager.CreateGob(kArchetypeName) : nullptr;
    auto* machines =
        gob ? dynamic_cast<StateMachineComponent*>(gob->GetComponent(StateMachineComponent::StaticTypeID()))
            : nullptr;
    if (!machines)
    {
        std::cerr << "WidgetManipulator::Init - no \"" << kArchetypeName
                  << "\" object with a state-machine component could be made; the editor cannot "
                     "manipulate widgets.\n";
        if (gob)
            manager.KillGob(gob);
        return;
    }
    m_manipulatorGob = gob;
    machines->AddStateMachine(new ManipulatorLogic(machines, this));
}

void WidgetManipulator::Update(float) {}

bool WidgetManipulator::OnInput(const dorvo::input::InputEvent&)
{
    return false;
}

bool WidgetManipulator::ScreenToFacePlane(const math::Vector3& screenPoint, math::Vector3& out)
{
    CQUORB* game = CQUORB::Get();
    math::Quad face;
    if (!game || !game->GetFocusedFaceQuad(face))
        return false;
    dorvo::CPicker* picker = g_pApp->GetPicker();
    if (!picker || !picker->BuildRay(screenPoint))
        return false;
    const math::CRay& ray = picker->GetRay();
    float t = 0.0f;
    if (!ray.IntersectQuad(face, t))
        return false;
    out = ray.origin + ray.direction * t;
    return true;
}

namespace
{
void SendToMenu(const char* menu, MessageName message)
{
    Database* database = common::Singleton<Database>::Instance();
    if (const std::uint32_t id = database->FindIdByName(menu))
        database->SendMsg(id, message);
}
} // namespace

void WidgetManipulator::SetCurrentWidgetType(const std::string& type)
{
    m_currentWidgetType = type;
    SendToMenu("MouseWidgetSelMenu", type.empty() ? MSG_CloseMenu : MSG_OpenMenu);
}

void WidgetManipulator::ClearCurrentWidgetType()
{
    m_currentWidgetType.clear();
    SendToMenu("WidgetChoiceBarMenu", MSG_ResetMenu);
    for (const char* menu : {"MouseWidgetSelMenu", "WidgetPropertyBarMenu", "PropValueMenu"})
        SendToMenu(menu, MSG_CloseMenu);
}

void WidgetManipulator::Reset()
{
    m_currentWidgetType.clear();
    SendToMenu("WidgetPropertyBarMenu", MSG_CloseMenu);
}

void WidgetManipulator::ClearSelection()
{
    m_currentWidgetType.clear();
}

ManipulatorLogic* WidgetManipulator::GetLogic() const
{
    if (!m_manipulatorGob)
        return nullptr;
    auto* machines = dynamic_cast<StateMachineComponent*>(
        m_manipulatorGob->GetComponent(StateMachineComponent::StaticTypeID()));
    return machines ? dynamic_cast<ManipulatorLogic*>(machines->GetActiveStateMachine()) : nullptr;
}
} // namespace QUORB

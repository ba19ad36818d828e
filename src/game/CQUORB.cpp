#include "game/CQUORB.h"

#include "common/COctTree.h"
#include "common/ConsoleInterface.h"
#include "common/InputEvent.h"
#include "common/ParamStack.h"
#include "common/Scheduler.h"
#include "common/Singleton.h"
#include "common/math/AABB.h"
#include "engine/CDorvoApp.h"
#include "engine/GobManager.h"
#include "engine/IEventManager.h"
#include "engine/RegisterCoreComponentTypes.h"
#include "engine/RunApplication.h"
#include "engine/SoundSystem.h"
#include "engine/StateMachineComponent.h"
#include "engine/gfx/CDorvoGfx.h"
#include "engine/input/InputSystem.h"
#include "engine/phy/DynamicsEngine.h"
#include "game/GameStates.h"
#include "game/WinMain.h"
#include "statemachine/Database.h"
#include "statemachine/MsgClock.h"
#include "statemachine/MsgRouter.h"

#include <iterator>

namespace QUORB
{
namespace
{
// The object templates, loaded in this order before any game object exists.
const char* const kTemplateFiles[] = {
    "RoomTemplate.xml",
    "WaterTemplate.xml",
    "QUORBTemplate.xml",
    "CollisionPlaneTemplate.xml",
    "2DObjectTemplate.xml",
    "ConstructionQuadTemplate.xml",
    "GravitySwitchTemplate.xml",
    "MagnetTemplate.xml",
    "NodeTemplate.xml",
    "WidgetTemplate.xml",
    "ClothTemplate.xml",
    "InvisibleWidgetTemplate.xml",
    "NonCollideWidgetTemplate.xml",
    "ObjectiveTemplate.xml",
    "LocationTemplate.xml",
    "CachedObjectsTemplate.xml",
    "WidgetManipulatorTemplate.xml",
};
} // namespace

CQUORB::CQUORB() = default;

CQUORB::~CQUORB()
{
    GobManager::Instance().DestroyAllGobs();
    ParamStack::FreePool();
}

std::wstring CQUORB::GetWindowTitle()
{
    return L"Dorvo Engine QUORB";
}

void CQUORB::OnResetDevice() {}

void CQUORB::OnLostDevice() {}

void CQUORB::Init()
{
    ParamStack::InitPool();
    RegisterGameStates(m_states, *this);

    GobManager::Instance().RegisterConsoleCommands();
    common::ConsoleInterface::Instance().RegisterConsoleCommands();
    common::Scheduler::Instance().RegisterConsoleCommands();
    RegisterCoreComponentTypes();
    StateMachineComponent::RegisterType();

    // The world the oct tree files objects in, set before the first object exists.
    common::COctTree& octTree = common::COctTree::Global();
    octTree.SetDepth(4);
    octTree.SetWorldBox(
        math::AABB(math::Vector3(-90.0f, -90.0f, -90.0f), math::Vector3(150.0f, 630.0f, 150.0f)));
    octTree.Rebuild();

    for (const char* file : kTemplateFiles)
        GobManager::Instance().LoadTemplate(std::string(kXmlDataPath) + file);
    // Nothing moves until the player presses "play", and the game's bodies never sleep.
    dorvo::phy::DynamicsEngine& dynamics = dorvo::phy::DynamicsEngine::Instance();
    dynamics.paused = true;
    dynamics.SetAllowFreeze(false);
}

void CQUORB::Update(double, float elapsed)
{
    GobManager::Instance().ProcessKillList();

    if (dorvo::input::InputSystem* input = g_pApp ? g_pApp->GetInput() : nullptr)
    {
        input->Update();
        dorvo::input::InputEvent event;
        while (input->PopEvent(event))
            OnInput(event);
    }

    if (g_pEventManager)
        g_pEventManager->Tick(dorvo::IEventManager::kInfinite);

    common::Singleton<MsgClock>::Instance()->Update();
    common::Singleton<MsgRouter>::Instance()->DeliverDelayedMessages();

    m_states.Update();

    // A fixed step whatever the frame took, so a puzzle plays the same on every machine.
    dorvo::phy::DynamicsEngine::Instance().Update(dorvo::kFrameSeconds);

    GobManager::Instance().Update(elapsed);

    common::Scheduler::Instance().Update(elapsed);

    if (dorvo::SoundSystem* sound = g_pApp ? g_pApp->GetSound() : nullptr)
        sound->Update();
}

void CQUORB::Render(double, float)
{
    dorvo::gfx::CDorvoGfx::Instance().Render();
}

plat::LRESULT CQUORB::MsgProc(plat::UINT, plat::WPARAM, plat::LPARAM)
{
    return 0;
}

bool CQUORB::OnInput(const dorvo::input::InputEvent& event)
{
    // Keys and buttons go first to the message-taking objects, nearest 2D depth first; the
    // later takers (2D items, widget manipulation, picking, camera, global keys) follow.
    if (dorvo::input::IsValidInputCode(event.code) &&
        common::Singleton<Database>::Instance()->BroadcastInputMsg(
            event.value != 0 ? MSG_Pressed : MSG_UnPressed, event))
        return true;
    return false;
}
} // namespace QUORB

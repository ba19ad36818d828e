#include "game/CQUORB.h"

#include "common/COctTree.h"
#include "common/ConsoleInterface.h"
#include "common/InputEvent.h"
#include "common/LuaUtil.h"
#include "common/ParamStack.h"
#include "common/Scheduler.h"
#include "common/Singleton.h"
#include "common/math/AABB.h"
#include "engine/CDorvoApp.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/IEventManager.h"
#include "engine/RegisterCoreComponentTypes.h"
#include "engine/RunApplication.h"
#include "engine/SoundSystem.h"
#include "engine/StateMachineComponent.h"
#include "engine/gfx/CDorvoGfx.h"
#include "engine/gfx/CGuiManager.h"
#include "engine/gfx/Gfx2DComp.h"
#include "engine/gfx/SMConsoleGraphics.h"
#include "engine/input/InputSystem.h"
#include "engine/phy/DynamicsEngine.h"
#include "game/GameStates.h"
#include "game/WinMain.h"
#include "statemachine/Database.h"
#include "statemachine/MsgClock.h"
#include "statemachine/MsgRouter.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <iterator>
#include <vector>

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

// The game whose start-up scripts are running: the scripts' functions reach it here.
CQUORB* s_pScriptGame = nullptr;

// elapsed seconds as whole milliseconds, toward zero, a value past the int range kept out of the cast.
int WholeMilliseconds(float elapsed)
{
    const double ms = static_cast<double>(elapsed) * 1000.0;
    if (!(ms > static_cast<double>(INT_MIN)))
        return ms != ms ? 0 : INT_MIN;
    if (!(ms < static_cast<double>(INT_MAX)))
        return INT_MAX;
    return static_cast<int>(ms);
}

// Script function "CreateConsole" (history panel texture, input strip texture): the console
// window. Returns nothing to the script.
int LuaCreateConsole(lua_State* L)
{
    const std::string history = LuaUtil::ArgString(L, 1);
    const std::string input = LuaUtil::ArgString(L, 2);
    if (LuaUtil::ArgCount(L) != 2 || history.empty() || input.empty())
    {
        std::fprintf(stderr, "CreateConsole - expects the history panel's and the input strip's texture "
                             "file names; no console window is made.\n");
        return 0;
    }
    if (!s_pScriptGame)
        return 0;
    if (s_pScriptGame->GetConsoleId() != 0)
    {
        std::fprintf(stderr, "CreateConsole - the console window exists already; this call is ignored.\n");
        return 0;
    }
    s_pScriptGame->CreateMenu(history, input);
    return 0;
}
} // namespace

CQUORB::CQUORB() : m_pGuiManager(std::make_unique<dorvo::gfx::CGuiManager>()) {}

CQUORB::~CQUORB()
{
    if (s_pScriptGame == this)
        s_pScriptGame = nullptr;
    m_pGuiManager.reset();
    GobManager::Instance().DestroyAllGobs();
    ParamStack::FreePool();
}

std::wstring CQUORB::GetWindowTitle()
{
    return L"Dorvo Engine QUORB";
}

void CQUORB::OnResetDevice()
{
    m_pGuiManager->OnResetDevice();
}

void CQUORB::OnLostDevice()
{
    m_pGuiManager->OnLostDevice();
}

void CQUORB::Init()
{
    ParamStack::InitPool();
    RegisterGameStates(m_states, *this);

    // The scripts' functions, before any script runs.
    s_pScriptGame = this;
    LuaUtil::Instance().RegisterFunction("CreateConsole", &LuaCreateConsole);

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
    // Builds the console window (and the menus) from the templates just loaded.
    LuaUtil::Instance().RunScript("InitGame.lua");
    // Nothing moves until the player presses "play", and the game's bodies never sleep.
    dorvo::phy::DynamicsEngine& dynamics = dorvo::phy::DynamicsEngine::Instance();
    dynamics.paused = true;
    dynamics.SetAllowFreeze(false);
}

void CQUORB::Update(double time, float elapsed)
{
    GobManager::Instance().ProcessKillList();

    if (dorvo::input::InputSystem* input = g_pApp ? g_pApp->GetInput() : nullptr)
    {
        input->Update();
        dorvo::input::InputEvent event;
        while (input->PopEvent(event))
            OnInput(event, elapsed);
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

    m_pGuiManager->Update(WholeMilliseconds(elapsed));

    if (dorvo::SoundSystem* sound = g_pApp ? g_pApp->GetSound() : nullptr)
        sound->Update();

    dorvo::gfx::CDorvoGfx::Instance().Update(time, elapsed);
}

void CQUORB::Render(double time, float elapsed)
{
    dorvo::gfx::CDorvoGfx& gfx = dorvo::gfx::CDorvoGfx::Instance();
    gfx.SetScreenUnits(m_pGuiManager->GetUnits());
    gfx.RenderFrame(time, elapsed);
}

plat::LRESULT CQUORB::MsgProc(plat::UINT, plat::WPARAM, plat::LPARAM)
{
    return 0;
}

bool CQUORB::OnInput(const dorvo::input::InputEvent& event, float elapsed)
{
    // Keys and buttons go first to the message-taking objects, nearest 2D depth first; then the
    // 2D components and the GUI units; the later takers (widget manipulation, picking, camera,
    // global keys) follow.
    if (dorvo::input::IsValidInputCode(event.code) &&
        common::Singleton<Database>::Instance()->BroadcastInputMsg(
            event.value != 0 ? MSG_Pressed : MSG_UnPressed, event))
        return true;

    // A copy: a component may go while it handles the event.
    std::vector<dorvo::gfx::Gfx2DComp*> components;
    for (const auto& entry : dorvo::gfx::CDorvoGfx::Instance().Get2DComps())
        components.push_back(entry.second);
    std::stable_sort(components.begin(), components.end(), &dorvo::gfx::Gfx2DComp::DepthLess);
    for (dorvo::gfx::Gfx2DComp* component : components)
        if (component->HandleInput(&event, elapsed))
            return true;

    return m_pGuiManager->HandleInput(&event, elapsed);
}

bool CQUORB::CreateMenu(const std::string& historyTexture, const std::string& inputTexture)
{
    Gob* gob = GobManager::Instance().CreateGob("2DArchetype");
    auto* machines =
        gob ? dynamic_cast<StateMachineComponent*>(gob->GetComponent(StateMachineComponent::StaticTypeID()))
            : nullptr;
    if (!machines)
    {
        std::fprintf(stderr, "CQUORB::CreateMenu - no \"2DArchetype\" object with a state-machine component "
                             "could be made; there is no console window.\n");
        if (gob)
            GobManager::Instance().KillGob(gob);
        return false;
    }
    machines->AddStateMachine(new dorvo::gfx::SMConsoleGraphics(machines, historyTexture, inputTexture));
    m_consoleId = gob->GetID();
    return true;
}
} // namespace QUORB

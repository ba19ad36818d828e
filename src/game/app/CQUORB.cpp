#include "game/app/CQUORB.h"

#include "common/COctTree.h"
#include "common/ConsoleInterface.h"
#include "common/InputEvent.h"
#include "common/LuaUtil.h"
#include "common/ParamStack.h"
#include "common/Scheduler.h"
#include "common/Singleton.h"
#include "common/math/AABB.h"
#include "engine/ArchetypeGobController.h"
#include "engine/CDorvoApp.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/IEventManager.h"
#include "engine/RegisterCoreComponentTypes.h"
#include "engine/RunApplication.h"
#include "engine/SoundSystem.h"
#include "engine/StateMachineComponent.h"
#include "engine/gfx/core/CDorvoGfx.h"
#include "engine/gfx/core/CGFXCore.h"
#include "engine/gfx/gui/CCursor.h"
#include "engine/gfx/gui/CGuiManager.h"
#include "engine/gfx/gui/GuiSkinColors.h"
#include "engine/gfx/gui/SMConsoleGraphics.h"
#include "engine/gfx/sprites/CTextSprite.h"
#include "engine/input/InputSystem.h"
#include "engine/phy/DynamicsEngine.h"
#include "game/app/GameComponentTypes.h"
#include "game/app/GameStates.h"
#include "game/app/MenuTable.h"
#include "game/app/StartupGlobals.h"
#include "game/camera/CCamera.h"
#include "game/camera/CQUORBPicker.h"
#include "game/files/Profile.h"
#include "game/manipulator/WidgetManipulator.h"
#include "game/room/Buoyancy.h"
#include "game/room/CPuzzle.h"
#include "game/room/CRoom.h"
#include "platform/files.h"
#include "platform/frame_driver.h"
#include "platform/log.h"
#include "statemachine/ACMsgTaker.h"
#include "statemachine/Database.h"
#include "statemachine/MsgClock.h"
#include "statemachine/MsgRouter.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <vector>

namespace QUORB
{
namespace
{
// The object templates, loaded from XML_PATH in this order before any game object exists.
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

// The sound project's event groups, loaded after the project.
const char* const kSoundGroups[] = {
    "QUORBSound/GUI", "QUORBSound/Editor", "QUORBSound/Collision", "QUORBSound/Objective", "QUORBSound/Music",
};

// The six cursor images, chosen by rand() % 6.
const char* const kCursorImages[] = {
    "hud/BlueRedCursor.png",   "hud/BlueRedPentCursor.png",  "hud/GreenOrangeCursor.png",
    "hud/GreenPinkCursor.png", "hud/CursorPinkAquaPent.png", "hud/CursorGreyGreen.png",
};

// The six planes that keep objects inside the room, made with the room object.
const char* const kBoundingPlanes[] = {"PlaneBottom", "PlaneTop",  "PlaneLeft",
                                       "PlaneRight",  "PlaneBack", "PlaneFront"};

const char* const kConsoleArchetype = "2DArchetype";
// The console window's images under the texture folder, as "InitGame.lua" names them: also what
// the game builds it with when the script did not.
const char* const kConsoleHistoryImage = "ConsoleHistory.png";
const char* const kConsoleInputImage = "ConsoleInput.png";

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

// The file an archetype is read from, for a line about an object of it that could not be made:
// its archetype file, or the template folder when no template lists it.
std::string ArchetypeFile(const std::string& name)
{
    if (const auto* archetype =
            dynamic_cast<const ArchetypeGobController*>(GobManager::Instance().FindController(name)))
        return archetype->GetFileName();
    return CQUORB::GetXmlPath() + " (no template lists it)";
}

// Script function "CreateConsole" (history panel texture, input strip texture): the console
// window and the menus. Returns nothing to the script.
int LuaCreateConsole(lua_State* L)
{
    std::string history = LuaUtil::ArgString(L, 1);
    std::string input = LuaUtil::ArgString(L, 2);
    if (LuaUtil::ArgCount(L) != 2 || history.empty() || input.empty())
    {
        DORVO_LOG("CreateConsole: expects the history panel's and the input strip's texture file names; "
                  "nothing is built");
        return 0;
    }
    // The images are read from the texture folder and never from outside it.
    for (std::string* name : {&history, &input})
    {
        if (plat::IsConfinedName(*name))
            continue;
        const char* image = name == &history ? kConsoleHistoryImage : kConsoleInputImage;
        DORVO_LOG("CreateConsole: %.64s: the name leaves the texture folder; \"%s\" is used", name->c_str(),
                  image);
        *name = image;
    }
    if (CQUORB* game = CQUORB::Get())
        game->CreateMenu(history, input);
    return 0;
}

// Script function "Console" (text): shows the text as a console line; it is not run.
int LuaConsole(lua_State* L)
{
    if (LuaUtil::ArgCount(L) != 1)
    {
        DORVO_LOG("Console: expects one text to show; nothing is shown");
        return 0;
    }
    common::ConsoleInterface::Instance().WriteToConsole(LuaUtil::ArgString(L, 1), common::FF_Display, false);
    return 0;
}

std::string PathGlobal(const char* name)
{
    return StartupGlobals::Folder(name);
}
} // namespace

CQUORB* CQUORB::Get()
{
    return g_pApp ? dynamic_cast<CQUORB*>(g_pApp->GetGame()) : nullptr;
}

bool IsCreatePuzzleMode()
{
    const CQUORB* game = CQUORB::Get();
    return game != nullptr && game->IsCreatePuzzleMode();
}

CQUORB::CQUORB()
    : m_pCamera(std::make_unique<CCamera>()), m_pGuiManager(std::make_unique<dorvo::gfx::CGuiManager>()),
      m_pFPSText(std::make_unique<dorvo::gfx::CTextSprite>())
{
    if (g_pApp)
        g_pApp->SetPicker(new CQUORBPicker());
    m_pManipulator = std::make_unique<WidgetManipulator>();
}

CQUORB::~CQUORB()
{
    UnregisterConsoleCommands();
    // The GUI's skin points into the settings' skins, which go with the game.
    for (const auto& skin : m_settings.m_gameSkins)
        if (dorvo::gfx::g_GuiSkinColors == skin.second->data())
            dorvo::gfx::g_GuiSkinColors = nullptr;
    m_pCamera.reset();
    m_pGuiManager.reset();
    m_pManipulator.reset();
    m_pRoom.reset();
    GobManager& manager = GobManager::Instance();
    if (m_roomGobID != 0)
        manager.KillGobByID(m_roomGobID);
    manager.DestroyAllGobs();
    ParamStack::FreePool();
}

std::string CQUORB::GetXmlPath()
{
    return PathGlobal("XML_PATH");
}
std::string CQUORB::GetRoomPath()
{
    return PathGlobal("ROOM_PATH");
}
std::string CQUORB::GetEnvFilePath()
{
    return PathGlobal("ENVFILE_PATH");
}
std::string CQUORB::GetPuzzlePath()
{
    return PathGlobal("PUZZLE_PATH");
}
std::string CQUORB::GetProfilePath()
{
    return PathGlobal("PROFILE_PATH");
}
std::string CQUORB::GetSoundPath()
{
    return PathGlobal("SOUND_PATH");
}

std::wstring CQUORB::GetWindowTitle()
{
    return L"Dorvo Engine QUORB";
}

void CQUORB::OnResetDevice()
{
    m_pFPSText->OnResetDevice();
    m_pGuiManager->OnResetDevice();
}

void CQUORB::OnLostDevice()
{
    m_pFPSText->OnLostDevice();
    m_pGuiManager->OnLostDevice();
}

const dorvo::gfx::CTextSprite& CQUORB::GetFPSText() const
{
    return *m_pFPSText;
}

dorvo::CDorvoCamera* CQUORB::GetCamera()
{
    return m_pCamera.get();
}

dorvo::gfx::CCursor* CQUORB::GetCursor()
{
    return dynamic_cast<dorvo::gfx::CCursor*>(m_pGuiManager->Find("Cursor"));
}

void CQUORB::Init()
{
    // 1-3: the argument pool, the FPS read-out, the states (Init entered).
    ParamStack::InitPool();
    const float white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    dorvo::gfx::STextStyle style(6, white, 0);
    m_pFPSText->SetTextStyle(style);
    // At the left edge above the editor bars, clear of the menus' buttons and texts: at the top
    // left corner it covered the back button.
    m_pFPSText->SetPosition(kFPSTextX, kFPSTextY);
    m_pFPSText->SetBoxWidth(400);
    m_pFPSText->SetDepth(5);
    m_pFPSText->OnResetDevice();
    RegisterGameStates(m_states, *this);

    // 4-5: the scripts' functions, then the first script, which sets the path globals (each
    // read through StartupGlobals, which says once what it had to replace).
    StartupGlobals::ForgetReports();
    RegisterLuaFunctions();
    LuaUtil::Instance().RunScript("Startup.lua");

    // 6-8: settings, profiles and rooms. The player's folders are made when missing, so the
    // first save of a room, puzzle or profile has somewhere to go.
    for (const std::string& folder : {GetProfilePath(), GetRoomPath(), GetPuzzlePath()})
        if (!folder.empty() && !plat::MakeDirectories(folder))
            DORVO_LOG("CQUORB::Init: %s: the folder could not be made; nothing can be saved there",
                      folder.c_str());
    // Saves killed midway (a room with its puzzles, a profile with the settings) are finished or
    // put back before anything of them is read.
    for (const std::string& folder : {GetXmlPath(), GetRoomPath()})
        plat::RepairInterruptedSaves(folder);
    LoadSettingsFile(m_settings, GetXmlPath() + QUORBSettings::kFileName);
    SetGraphicsQuality(m_settings);
    const std::vector<std::string> profiles = plat::ListFiles(GetProfilePath() + "*.xml");
    m_profileFiles.insert(m_profileFiles.end(), profiles.begin(), profiles.end());
    ScanRoomFiles(GetRoomPath() + "*.xml");

    // 9-11: the engine's and the game's commands and component types.
    GobManager::Instance().RegisterConsoleCommands();
    common::ConsoleInterface::Instance().RegisterConsoleCommands();
    common::Scheduler::Instance().RegisterConsoleCommands();
    RegisterCoreComponentTypes();
    RegisterGameComponentTypes();
    StateMachineComponent::RegisterType();
    RegisterConsoleCommands();

    // 12: the world the oct tree files objects in, set before the first object exists.
    common::COctTree& octTree = common::COctTree::Global();
    octTree.SetDepth(4);
    octTree.SetWorldBox(
        math::AABB(math::Vector3(-90.0f, -90.0f, -90.0f), math::Vector3(150.0f, 630.0f, 150.0f)));
    octTree.Rebuild();

    // 13-15: the templates, the second script (the console window and the menus), the editor.
    const std::string xmlPath = GetXmlPath();
    for (const char* file : kTemplateFiles)
        GobManager::Instance().LoadTemplate(xmlPath + file);
    LuaUtil::Instance().RunScript("InitGame.lua");
    // Without its console window and menus the game shows nothing but the cursor: a second
    // script that failed or forgot them leaves them to be built with the default images.
    if (!m_menusBuilt && GobManager::Instance().FindController(kConsoleArchetype))
    {
        DORVO_LOG("CQUORB::Init: InitGame.lua: the script did not build the console window and the menus; "
                  "they are built with \"%s\" and \"%s\"",
                  kConsoleHistoryImage, kConsoleInputImage);
        CreateMenu(kConsoleHistoryImage, kConsoleInputImage);
    }
    m_pManipulator->Init();

    // 16: nothing moves until the player presses "play", the game's bodies never sleep, and star
    // objects may float.
    dorvo::phy::DynamicsEngine& dynamics = dorvo::phy::DynamicsEngine::Instance();
    dynamics.paused = true;
    dynamics.SetAllowFreeze(false);
    Buoyancy::RegisterCreator();

    // 17: the sound project and its groups; without them the game is silent.
    if (dorvo::SoundSystem* sound = g_pApp ? g_pApp->GetSound() : nullptr)
    {
        if (sound->GetEventSystem() && sound->LoadProject(GetSoundPath() + "QUORBSound.fev"))
            for (const char* group : kSoundGroups)
                sound->LoadGroup(group);
    }
}

void CQUORB::Update(double time, float elapsed)
{
    GobManager::Instance().ProcessKillList();
    if (m_waterLerpRunning)
        UpdateWaterLevelLerp();

    // The input of this frame, each event along the chain of takers.
    if (dorvo::input::InputSystem* input = g_pApp ? g_pApp->GetInput() : nullptr)
    {
        input->Update();
        dorvo::input::InputEvent event;
        while (input->PopEvent(event))
            RouteInput(event, elapsed);
    }

    if (g_pEventManager)
        g_pEventManager->Tick(dorvo::IEventManager::kInfinite);
    common::Singleton<MsgClock>::Instance()->Update();
    common::Singleton<MsgRouter>::Instance()->DeliverDelayedMessages();

    m_pManipulator->Update(elapsed);
    m_pCamera->Update(elapsed);
    dorvo::gfx::CGFXCore::Instance().SetViewCamera(*m_pCamera, 0);

    if (m_waterRestoreCountdown.IsRunning() && m_waterRestoreCountdown.IsExpired())
    {
        RestoreWaterLevel();
        m_waterRestoreCountdown.Stop();
    }

    m_states.Update();
    if (m_pRoom)
        m_pRoom->Update(time, elapsed);

    // A fixed step whatever the frame took, so a puzzle plays the same on every machine.
    dorvo::phy::DynamicsEngine::Instance().Update(dorvo::kFrameSeconds);
    GobManager::Instance().Update(elapsed);
    common::Scheduler::Instance().Update(elapsed);
    m_pGuiManager->Update(WholeMilliseconds(elapsed));
    if (dorvo::SoundSystem* sound = g_pApp ? g_pApp->GetSound() : nullptr)
        sound->Update();
    dorvo::gfx::CDorvoGfx::Instance().Update(time, elapsed);

    // The read-out follows the frame rate every frame, shown or not.
    m_lastFPS = plat::DXUTGetFPS();
    std::ostringstream text;
    text << "FPS: " << m_lastFPS << "\n";
    m_pFPSText->SetText(text.str());
}

void CQUORB::Render(double time, float elapsed)
{
    const std::vector<dorvo::gfx::IScreenUnit*>& guiUnits = m_pGuiManager->GetUnits();
    std::vector<dorvo::gfx::IScreenUnit*> units;
    units.reserve(guiUnits.size() + 1);
    if (m_showFPS)
        units.push_back(m_pFPSText.get());
    units.insert(units.end(), guiUnits.begin(), guiUnits.end());
    dorvo::gfx::CDorvoGfx& gfx = dorvo::gfx::CDorvoGfx::Instance();
    gfx.SetScreenUnits(units);
    gfx.RenderFrame(time, elapsed);
}

plat::LRESULT CQUORB::MsgProc(plat::UINT, plat::WPARAM, plat::LPARAM)
{
    return 0;
}

void CQUORB::CreateCursor()
{
    if (GetCursor())
        return;
    const char* image = kCursorImages[std::rand() % 6];
    auto cursor = std::make_unique<dorvo::gfx::CCursor>(image, 0, 0, 64, 64, 1);
    cursor->SetScale(0.7f, 0.7f, 1.0f);
    cursor->SetAxisLock(true);
    m_pGuiManager->Add("Cursor", std::move(cursor));
}

bool CQUORB::CreateMenu(const std::string& historyTexture, const std::string& inputTexture)
{
    if (m_menusBuilt)
    {
        DORVO_LOG("CreateConsole: the console window and the menus exist already; this call builds nothing");
        return false;
    }
    GobManager& manager = GobManager::Instance();
    if (!manager.FindController(kConsoleArchetype))
    {
        DORVO_LOG("CreateConsole: there is no \"%s\" archetype (are the templates loaded?); the console "
                  "window and the menus are not built",
                  kConsoleArchetype);
        return false;
    }
    const auto makeObject = [&manager]() -> StateMachineComponent*
    {
        Gob* gob = manager.CreateGob(kConsoleArchetype);
        auto* machines = gob ? dynamic_cast<StateMachineComponent*>(
                                   gob->GetComponent(StateMachineComponent::StaticTypeID()))
                             : nullptr;
        if (!machines && gob)
            manager.KillGob(gob);
        return machines;
    };

    StateMachineComponent* console = makeObject();
    if (!console)
    {
        DORVO_LOG("CreateConsole: archetype \"%s\": it has no state-machine component; the console "
                  "window and the menus are not built",
                  kConsoleArchetype);
        return false;
    }
    m_menusBuilt = true;
    console->AddStateMachine(new dorvo::gfx::SMConsoleGraphics(console, historyTexture, inputTexture));
    m_consoleId = console->GetOwner()->GetID();

    for (std::size_t i = 0; i < MenuTable::kMenuCount; ++i)
    {
        StateMachineComponent* machines = makeObject();
        if (!machines)
            break;
        const std::string name = MenuTable::GetName(i);
        machines->AddStateMachine(MenuTable::Create(name, machines));
        machines->GetOwner()->SetName(name);
    }
    return true;
}

bool CQUORB::IsConsoleShown() const
{
    Database* database = common::Singleton<Database>::Instance();
    ACMsgTaker* taker = m_consoleId != 0 ? database->FindById(m_consoleId) : nullptr;
    const auto* console =
        taker ? dynamic_cast<const dorvo::gfx::SMConsoleGraphics*>(taker->GetActiveStateMachine()) : nullptr;
    return console && console->IsShown();
}

void CQUORB::LoadEmptyRoom()
{
    LoadRoom("EmptyRoom.xml", false);
}

void CQUORB::LoadRoom(const std::string& fileName, bool skipIfLoaded)
{
    if (!CheckFileName(fileName))
        return;
    if (!m_pRoom)
        m_pRoom = std::make_unique<CRoom>();
    if (m_roomGobID == 0)
    {
        if (Gob* room = SpawnGob("Room", math::Vector3()))
            m_roomGobID = room->GetID();
        else
            DORVO_LOG("CQUORB::LoadRoom: there is no \"Room\" template; the room has no shell");
        for (const char* plane : kBoundingPlanes)
            if (!SpawnGob(plane, math::Vector3()))
                DORVO_LOG("CQUORB::LoadRoom: %s: no \"%s\" object could be made from the archetype; the room "
                          "is open on that side",
                          ArchetypeFile(plane).c_str(), plane);
    }
    const auto entry = m_settings.m_roomMap.find(fileName);
    if (entry != m_settings.m_roomMap.end() && entry->second.locked)
        return;
    // The room loader leaves the room as it was when the file cannot be read; the line says so
    // where the player typed, and keeps "called successfully" from following it.
    if (!m_pRoom->Load(fileName, skipIfLoaded))
        common::ConsoleInterface::ShowLine("ERROR: Could not load " + fileName +
                                           ": the room file is missing or damaged");
}

void CQUORB::SetCameraUpLerp(const math::Vector3& up, float seconds, const float* waterLevel)
{
    math::Vector3 reference(0.0f, 0.0f, 1.0f);
    GetFocusedFaceNormal(reference);
    m_pCamera->InterpolateUp(up, seconds, reference, waterLevel);
}

// ---- accessors ----

CPuzzle* CQUORB::GetFocusedPuzzle() const
{
    return m_pRoom && m_focusedFace >= 0 ? m_pRoom->GetPuzzle(static_cast<unsigned>(m_focusedFace)) : nullptr;
}

bool CQUORB::GetFocusedFaceQuad(math::Quad& out) const
{
    if (!m_pRoom || m_focusedFace < 0 || m_focusedFace >= static_cast<int>(CRoom::kFaceCount))
        return false;
    out = m_pRoom->GetFace(static_cast<unsigned>(m_focusedFace));
    return true;
}

bool CQUORB::GetFocusedFaceNormal(math::Vector3& out) const
{
    math::Quad quad;
    if (!GetFocusedFaceQuad(quad))
        return false;
    out = quad.normal;
    return true;
}

void CQUORB::FocusFace()
{
    if (m_pRoom && m_focusedFace >= 0)
        m_pRoom->FocusFace(static_cast<unsigned>(m_focusedFace));
}

bool CQUORB::IsDebugCamera() const
{
    return m_pCamera->IsDebugCamera();
}

void CQUORB::SetCameraFlags(std::uint32_t bits)
{
    m_pCamera->SetFlags(bits);
}

void CQUORB::ClearCameraFlags(std::uint32_t bits)
{
    m_pCamera->ClearFlags(bits);
}

void CQUORB::AddWidgetToFocusedPuzzle(std::uint32_t id)
{
    if (CPuzzle* puzzle = GetFocusedPuzzle())
        puzzle->AddWidget(id);
}

void CQUORB::RemoveWidgetFromFocusedPuzzle(std::uint32_t id)
{
    if (CPuzzle* puzzle = GetFocusedPuzzle())
        puzzle->RemoveWidget(id);
}

void CQUORB::AddQuorbToFocusedPuzzle(std::uint32_t id)
{
    if (CPuzzle* puzzle = GetFocusedPuzzle())
        puzzle->AddQuorb(id);
}

void CQUORB::RemoveQuorbFromFocusedPuzzle(std::uint32_t id)
{
    if (CPuzzle* puzzle = GetFocusedPuzzle())
        puzzle->RemoveQuorb(id);
}

void CQUORB::AddObjectiveToFocusedPuzzle(std::uint32_t id)
{
    if (CPuzzle* puzzle = GetFocusedPuzzle())
        puzzle->AddObjective(id);
}

void CQUORB::RemoveObjectiveFromFocusedPuzzle(std::uint32_t id)
{
    if (CPuzzle* puzzle = GetFocusedPuzzle())
        puzzle->RemoveObjective(id);
}

// ---- the script functions ----

void CQUORB::RegisterLuaFunctions()
{
    LuaUtil::Instance().RegisterFunction("CreateConsole", &LuaCreateConsole);
    LuaUtil::Instance().RegisterFunction("Console", &LuaConsole);
}
} // namespace QUORB

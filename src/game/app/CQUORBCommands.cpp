// The game's console commands: the table that registers them and their handlers. Menus drive
// the game by writing these lines to the console with the run flag, so every handler copes with
// whatever a typed line can hold: without a room or a focused puzzle it does nothing, and every
// name that becomes a file name is checked first.
#include "game/app/CQUORB.h"

#include "common/ConsoleInterface.h"
#include "common/LuaUtil.h"
#include "common/Singleton.h"
#include "common/loki/Functor.h"
#include "engine/CDorvoApp.h"
#include "engine/CPicker.h"
#include "engine/Gob.h"
#include "engine/gfx/gui/GuiSkinColors.h"
#include "engine/phy/DynamicsEngine.h"
#include "game/app/MenuSend.h"
#include "game/camera/CCamera.h"
#include "game/files/GameDataFiles.h"
#include "game/files/IsSafeFileName.h"
#include "game/manipulator/WidgetManipulator.h"
#include "game/room/CPuzzle.h"
#include "game/room/CRoom.h"
#include "platform/files.h"
#include "statemachine/Database.h"

#include <cstdio>

namespace QUORB
{
namespace
{
bool HasXmlExtension(const std::string& name)
{
    static const std::string kExtension = ".xml";
    return name.size() >= kExtension.size() &&
           EqualsIgnoringCase(name.substr(name.size() - kExtension.size()), kExtension);
}
} // namespace

void CQUORB::RegisterConsoleCommands()
{
    common::ConsoleInterface& console = common::ConsoleInterface::Instance();
    // The functors hold this game: the names it filed are taken back by UnregisterConsoleCommands.
    const auto add = [this, &console](const char* name, auto functor, const char* help)
    {
        if (console.RegisterCommand(name, functor.release(), help))
            m_commandNames.push_back(name);
    };

    add("setpuzfilename", Loki::NewFunctor(this, &CQUORB::SetPuzFileName),
        "Set The Focused Puzzle File Name. Take In The File Name");
    add("getpuzfilename", Loki::NewFunctor(this, &CQUORB::GetPuzFileName),
        "Get The Focused Puzzle File Name. Return The File Name");
    add("cam", Loki::NewFunctor(this, &CQUORB::Cam), "Toggle The Debug Camera Controls");
    add("loademptyroom", Loki::NewFunctor(this, &CQUORB::LoadEmptyRoom), "Load An Empty Room");
    // To the console "creategob" is the engine's "CreateGob" too: the game's, which builds only
    // while a room stands and places the object at the room's centre, takes its place.
    console.UnregisterCommand("creategob");
    add("creategob", Loki::NewFunctor(this, &CQUORB::CreateGob),
        "Create A Gob At The Room Center. Take In The Gob Archetype");
    add("loadroom", Loki::NewFunctor(this, &CQUORB::LoadRoom),
        "Load A Room. Take In Room File Name And A Special Flag");
    add("saveroom", Loki::NewFunctor(this, &CQUORB::SaveRoom), "Save A Room. Take In Room File Name");
    add("clearroom", Loki::NewFunctor(this, &CQUORB::ClearRoom), "Clear The Room (Delete All Puzzles)");
    add("setroomempty", Loki::NewFunctor(this, &CQUORB::SetRoomEmpty),
        "Set Room To An Empty Room With 4 Empty Puzzles");
    add("toggleeditor", Loki::NewFunctor(this, &CQUORB::ToggleEditor), "Toggle Editor Mode");
    add("clearcwt", Loki::NewFunctor(this, &CQUORB::ClearCWT), "Clear Creation Widget Type");
    add("setcwt", Loki::NewFunctor(this, &CQUORB::SetCWT),
        "Set Creation Widget Type. Take In The Widget Archetype");
    add("savepuz", Loki::NewFunctor(this, &CQUORB::SavePuz),
        "Save The Focused Puzzle Using Its Current File Name");
    add("savepuzas", Loki::NewFunctor(this, &CQUORB::SavePuzAs),
        "Save The Focused Puzzle Using The Specified File Name. Take In The File Name");
    add("createenvgob", Loki::NewFunctor(this, &CQUORB::CreateEnvGob),
        "Create An Env Gob For The Room. Take In The Gob Archetype");
    add("createenvgobatpos", Loki::NewFunctor(this, &CQUORB::CreateEnvGobAtPos),
        "Create An Env Gob For The Room. Take In The Gob Archetype And Position");
    add("reloadfocusedpuzzle", Loki::NewFunctor(this, &CQUORB::ReloadFocusedPuzzle),
        "Reload The Focused Puzzle");
    add("resetfocusedpuzzle", Loki::NewFunctor(this, &CQUORB::ResetFocusedPuzzle),
        "Reset The Focused Puzzle");
    add("setcamup", Loki::NewFunctor(this, &CQUORB::SetCamUp), "Set The Camera Up Vec. Take In X, Y, Z");
    add("setcamuplerp", Loki::NewFunctor(this, &CQUORB::SetCamUpLerp),
        "Set The Camera Up Vec. Take In X, Y, Z And The Duration");
    add("play", Loki::NewFunctor(this, &CQUORB::Play), "Start The Simulation On The Focused Puzzle");
    add("setgameskin", Loki::NewFunctor(this, &CQUORB::SetGameSkin), "The color settings of the game's UI");
    add("togglefps", Loki::NewFunctor(this, &CQUORB::ToggleFPS), "Toggle Showing FPS");
    add("togglecm", Loki::NewFunctor(this, &CQUORB::ToggleCM), "Toggle Create Puzzle Mode");
    add("loadprofile", Loki::NewFunctor(this, &CQUORB::LoadProfile),
        "Load A Profile. Take In File Name Of The Profile");
    add("autofocustopuzzle", Loki::NewFunctor(this, &CQUORB::AutoFocusToPuzzle),
        "Auto Focus To The Nearest Puzzle. Take In Flag If Right Direction Is Desired");
    add("toggleus", Loki::NewFunctor(this, &CQUORB::ToggleUs), "Toggle QUORBTeam Flag");
    add("menu", Loki::NewFunctor(this, &CQUORB::Menu),
        "Execues a menu command - Usage: menu <name> <command>");
    add("rls", Loki::NewFunctor(this, &CQUORB::Rls), "Reloads all script files.");
    add("message", Loki::NewFunctor(this, &CQUORB::Message), "Displays a game message on the screen");
}

void CQUORB::UnregisterConsoleCommands()
{
    common::ConsoleInterface& console = common::ConsoleInterface::Instance();
    for (const std::string& name : m_commandNames)
        console.UnregisterCommand(name);
    m_commandNames.clear();
}

void CQUORB::SetPuzFileName(std::string name)
{
    CPuzzle* puzzle = GetFocusedPuzzle();
    if (puzzle && CheckFileName(name))
        puzzle->SetFileName(name);
}

std::string CQUORB::GetPuzFileName()
{
    const CPuzzle* puzzle = GetFocusedPuzzle();
    return puzzle ? puzzle->GetFileName() : std::string("Invalid");
}

void CQUORB::Cam()
{
    // Switching the debug camera off puts the eye back where the game's view starts.
    m_pCamera->SetDebugCamera(!m_pCamera->IsDebugCamera());
}

void CQUORB::CreateGob(std::string archetype)
{
    if (m_pRoom)
        SpawnGob(archetype, math::Vector3());
}

bool CQUORB::SaveRoom(std::string name)
{
    // Every room file has its extension: the room list shows only "*.xml".
    if (!HasXmlExtension(name))
        name += ".xml";
    if (!m_pRoom || !CheckWritableFileName(FileKind::Room, name))
        return false;
    if (!CheckNoOtherCaseFile(GetRoomPath(), name, "room"))
        return false;
    // The room says on the console what it could not write; nothing is filed then.
    if (!m_pRoom->Save(name))
        return false;
    if (m_madeByUs)
        AddTeamRoom(name);
    else
        AddPlayerRoom(name);
    SaveSettings();
    return true;
}

void CQUORB::ClearRoom()
{
    if (m_pRoom)
        m_pRoom->ClearPuzzles();
}

void CQUORB::SetRoomEmpty()
{
    if (m_pRoom)
        m_pRoom->MakeDefaultPuzzles();
}

void CQUORB::ToggleEditor()
{
    m_editorMode = !m_editorMode;
    if (m_editorMode)
    {
        if (m_pRoom)
        {
            // The editor builds on the focused face, to which the camera turns: a circle left by
            // a menu that covered the room (one closed from the console) would carry the view
            // away from it.
            ClearCameraFlags(CCamera::kOrbitFlag);
            FocusFace();
            if (CPuzzle* puzzle = GetFocusedPuzzle())
                puzzle->LerpToWaterLevel();
        }
    }
    else
    {
        dorvo::phy::DynamicsEngine::Instance().paused = true;
        m_pManipulator->Reset();
        StartWaterRestoreCountdown();
    }
    if (dorvo::CPicker* picker = g_pApp ? g_pApp->GetPicker() : nullptr)
        picker->SetEnabled(m_editorMode);
}

void CQUORB::ClearCWT()
{
    m_pManipulator->ClearCurrentWidgetType();
}

void CQUORB::SetCWT(std::string widgetType)
{
    m_pManipulator->SetCurrentWidgetType(widgetType);
}

bool CQUORB::SavePuz()
{
    const CPuzzle* puzzle = GetFocusedPuzzle();
    if (!puzzle || !CheckWritableFileName(FileKind::Puzzle, puzzle->GetFileName()) ||
        !CheckNoOtherCaseFile(GetPuzzlePath(), puzzle->GetFileName(), "puzzle"))
        return false;
    const std::string path = GetPuzzlePath() + puzzle->GetFileName();
    if (SavePuzzleFile(*puzzle, path))
        return true;
    common::ConsoleInterface::ShowLine("ERROR: Could not save " + path);
    return false;
}

bool CQUORB::SavePuzAs(std::string name)
{
    const CPuzzle* puzzle = GetFocusedPuzzle();
    if (!puzzle || !CheckWritableFileName(FileKind::Puzzle, name) ||
        !CheckNoOtherCaseFile(GetPuzzlePath(), name, "puzzle"))
        return false;
    const std::string path = GetPuzzlePath() + name;
    if (SavePuzzleFile(*puzzle, path))
        return true;
    common::ConsoleInterface::ShowLine("ERROR: Could not save " + path);
    return false;
}

void CQUORB::CreateEnvGob(std::string archetype)
{
    CreateEnvGobAtPos(archetype, 0.0f, 0.0f, 0.0f);
}

void CQUORB::CreateEnvGobAtPos(std::string archetype, float x, float y, float z)
{
    // Filed among the room's environment objects, so it goes with them and is saved with them.
    if (!m_pRoom)
        return;
    if (Gob* gob = SpawnGob(archetype, math::Vector3(x, y, z)))
        m_pRoom->AddEnvGob(gob->GetID());
}

void CQUORB::ReloadFocusedPuzzle()
{
    if (m_pRoom && m_focusedFace >= 0)
        m_pRoom->ReloadPuzzle(static_cast<unsigned>(m_focusedFace));
}

void CQUORB::ResetFocusedPuzzle()
{
    if (m_pRoom && m_focusedFace >= 0)
        m_pRoom->ResetPuzzle(static_cast<unsigned>(m_focusedFace));
}

void CQUORB::SetCamUp(math::Vector3 up)
{
    m_pCamera->SetUpVector(up);
}

void CQUORB::SetCamUpLerp(math::Vector3 up, float seconds, float waterLevel)
{
    // A typed line carries the level itself, not a pointer to one: it always gives a level.
    if (m_pRoom)
        SetCameraUpLerp(up, seconds, &waterLevel);
}

void CQUORB::Play()
{
    if (!m_pRoom)
        return;
    dorvo::phy::DynamicsEngine::Instance().paused = false;
    if (m_focusedFace >= 0)
        m_pRoom->PlayPuzzle(static_cast<unsigned>(m_focusedFace));
    m_pManipulator->ClearSelection();
}

void CQUORB::SetGameSkin(std::string name)
{
    const auto found = m_settings.m_gameSkins.find(name);
    if (found == m_settings.m_gameSkins.end())
    {
        common::ConsoleInterface::ShowLine("ERROR: Skin not found");
        return;
    }
    dorvo::gfx::g_GuiSkinColors = found->second->data();
    m_gameSkinName = name;
}

void CQUORB::ToggleFPS()
{
    m_showFPS = !m_showFPS;
}

void CQUORB::ToggleCM()
{
    m_createPuzzleMode = !m_createPuzzleMode;
}

void CQUORB::AutoFocusToPuzzle(bool right)
{
    if (m_pRoom)
        m_pRoom->FocusNearestFace(right);
}

void CQUORB::ToggleUs()
{
    m_madeByUs = !m_madeByUs;
}

void CQUORB::Menu(std::string name, std::string command)
{
    Database* database = common::Singleton<Database>::Instance();
    const std::uint32_t id = database->FindIdByName(name);
    if (id == 0)
        return;
    if (command == "open")
        database->SendMsg(id, MSG_OpenMenu);
    else if (command == "close")
        database->SendMsg(id, MSG_CloseMenu);
}

void CQUORB::Rls(std::string script)
{
    LuaUtil::Instance().RunScript(script.c_str());
}

void CQUORB::Message(std::string text)
{
    SendTextToMenu(MenuTable::kMessageWindowMenu, MSG_SendTextMessage, text);
}

void CQUORB::LeavePuzzle(bool keep)
{
    SendToMenu(MenuTable::kStartPuzzleMenu, MSG_ResetMenu);
    for (const char* menu :
         {MenuTable::kStartPuzzleMenu, MenuTable::kWidgetChoiceBarMenu, MenuTable::kBudgetMenu,
          MenuTable::kWidgetPropertyBarMenu, MenuTable::kScoreMenu, MenuTable::kTimerObjMenu})
        SendToMenu(menu, MSG_CloseMenu);
    const bool hasFace = m_pRoom && m_focusedFace >= 0;
    if (m_createPuzzleMode)
    {
        SendToMenu(MenuTable::kCreatorMenu, MSG_CloseMenu);
        if (hasFace)
            m_pRoom->StartPuzzle(static_cast<unsigned>(m_focusedFace), keep);
    }
    else if (hasFace)
    {
        m_pRoom->ReloadPuzzle(static_cast<unsigned>(m_focusedFace));
    }
    ToggleEditor();
    SendToMenu(MenuTable::kBackMenu, MSG_ResetMenu);
}
} // namespace QUORB

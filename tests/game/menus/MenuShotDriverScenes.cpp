// The situations in which the driver brings the menus up, in the order a returning player meets
// them: the splash screens, the main menu with its tip, options, credits and profiles, the room
// list and the escape panel, a face of his own room, a puzzle there with a widget laid and
// selected, its run to the score panel, the same puzzle being built with the radial menus the
// console opens over it, and the save dialog.
#include "MenuShotDriver.h"

#include "MenuTestWorld.h"
#include "RoomMenuFixtures.h"
#include "TestSupport.h"

#include "common/math/Quad.h"
#include "common/math/Vector3.h"
#include "game/app/CQUORB.h"
#include "game/app/MenuTable.h"
#include "game/menus/BaseMenu.h"
#include "game/room/CRoom.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace menushots
{
namespace
{
constexpr std::uint32_t kEscape = 1;
constexpr std::uint32_t kSpace = 57;
const char* const kRoom = "Workshop.xml";
const char* const kRoomRow = "ButtonU:Workshop.xml";

// The front puzzle of the player's room: a star above a location on the water, a time limit in
// the top left corner, a budget of 6 and three widget types of five.
puzzletest::PuzzleText FrontPuzzle()
{
    puzzletest::PuzzleText puzzle;
    puzzle.budget = 6;
    puzzle.availableWidgets = 1 | 4 | 16; // platform, bar, accelerator
    puzzle.objectives.push_back(puzzletest::DescriptionXml("ObjectiveDescription", "LocationObjective",
                                                           math::Vector3(6.0f, -8.0f, 20.0f), 4.0f,
                                                           puzzletest::LocationXml()));
    puzzle.objectives.push_back(puzzletest::DescriptionXml("ObjectiveDescription", "TimerObjective",
                                                           math::Vector3(-8.0f, 7.0f, 20.0f), 1.0f,
                                                           puzzletest::TimeLimitXml(12.0f)));
    puzzle.quorbs.push_back(
        puzzletest::DescriptionXml("QuorbDescription", "QUORBBall", math::Vector3(6.0f, 5.0f, 20.0f), 1.0f));
    return puzzle;
}

std::string ReadWhole(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A returning player: the settings name his profile, seven more profiles beside it (more rows than
// the profile list shows at once), our Tutorial room and a room of his own.
gametest::MenuTestSetup Setup()
{
    gametest::MenuTestSetup setup;
    setup.splashes = true;
    // The pointer moves by the mouse's motion, as in full screen: the virtual display has no
    // pointer of its own to follow.
    setup.fullScreen = true;
    std::string settings = roommenutest::SettingsXml({"Tutorial.xml"}, {kRoom});
    const std::string noProfile = "<string name=\"LastUsedProfile\"></string>";
    const std::size_t at = settings.find(noProfile);
    if (at != std::string::npos)
        settings.replace(at, noProfile.size(), "<string name=\"LastUsedProfile\">Player.xml</string>");
    setup.files["files/xmlfiles/QUORBSettings.xml"] = settings;
    for (const char* profile : {"Player", "Ada", "Bruno", "Cleo", "Dara", "Emil", "Fenna", "Gideon"})
        setup.files[std::string("files/profiles/") + profile + ".xml"] =
            roommenutest::ProfileXml({"Tutorial.xml"});
    // The room as our Tutorial room is made (its light among the rest), its puzzles its own.
    std::string room = ReadWhole(testsupport::RepoPath("data/files/rooms/Tutorial.xml"));
    for (std::size_t puzzle = room.find("Tutorial_Puzzle_"); puzzle != std::string::npos;
         puzzle = room.find("Tutorial_Puzzle_", puzzle))
        room.replace(puzzle, std::strlen("Tutorial"), "Workshop");
    setup.files[std::string("files/rooms/") + kRoom] = room;
    for (int face = 0; face < 4; ++face)
        setup.files["files/puzzles/Workshop_Puzzle_" + std::to_string(face) + ".xml"] =
            puzzletest::PuzzleXml(face == 0 ? FrontPuzzle() : puzzletest::PuzzleText());
    return setup;
}
} // namespace

std::vector<MenuShot> MenuShotDriver::Run()
{
    m_shots.clear();
    m_problems.clear();
    for (std::size_t i = 0; i < QUORB::MenuTable::kMenuCount; ++i)
    {
        MenuShot shot;
        shot.index = i;
        shot.menu = QUORB::MenuTable::GetName(i);
        m_shots.push_back(shot);
    }
    if (!m_started)
    {
        Note("the driver was not started");
        return m_shots;
    }
    std::error_code error;
    std::filesystem::remove_all(Folder(), error);
    std::filesystem::create_directories(Folder() + "before");

    m_world = std::make_unique<gametest::MenuTestWorld>(Setup());
    if (!m_world->Booted())
    {
        Note("the game did not start on the OpenGL device");
        m_world.reset();
        return m_shots;
    }
    Splashes();
    MainMenu();
    OptionsAndCredits();
    Profiles();
    RoomListAndEscape();
    AtAFace();
    InAPuzzle();
    TheRun();
    Building();
    RadialMenus();
    SavingTheRoom();
    m_world.reset();
    return m_shots;
}

void MenuShotDriver::Splashes()
{
    // The first frame opens the first splash over black.
    Before({"KeshSplashMenu"});
    const char* const splashes[] = {"KeshSplashMenu", "VoskelSplashMenu", "GameSplashMenu"};
    for (std::size_t i = 0; i < 3; ++i)
    {
        WaitOpen(splashes[i]);
        // The logo fades in over 0.2 s; it stays a second.
        m_world->RunFor(0.2);
        Shoot(splashes[i]);
        // A click skips the one showing: the next comes at once, the last leads to the main menu.
        if (i + 1 < 3)
            Before({splashes[i + 1]});
        else
            Before({"MainMenu", "HelpMenu", "MessageWindowMenu"});
        Click(splashes[i], "Background");
    }
}

void MenuShotDriver::MainMenu()
{
    WaitOpen("MainMenu");
    WaitOpen("HelpMenu");
    // The pointer beside the panel; the welcome fades in over 0.3 s at the top of the screen.
    m_world->MoveCursor(740, 300);
    m_world->RunFor(0.4);
    Shoot("MessageWindowMenu");

    // The help tab's "?" brings the controls button in below it; the pointer brightens it.
    Click("HelpMenu", "HelpButton");
    // The pointer's tip to the button's lower right corner, clear of its icon.
    m_world->MoveCursor(36, 74);
    m_world->RunFor(0.3);
    Shoot("HelpMenu");
    Click("HelpMenu", "HelpButton");

    // Resting on "Play": the button in its over colour and its tip beside the cursor.
    Point("MainMenu", "Play");
    Before({"ToolTipMenu"});
    m_world->RunFor(0.7);
    Shoot("ToolTipMenu");

    // "Options" held down in its pressed colour; let go, it opens the options.
    Press("MainMenu", "Options");
    Shoot("MainMenu");
    Before({"OptionsMenu"});
    m_world->LeftUp();
}

void MenuShotDriver::OptionsAndCredits()
{
    WaitOpen("OptionsMenu");
    // The main menu slides out more slowly than the options come in.
    Settle();
    Shoot("OptionsMenu");
    Click("BackMenu", "BackButton");
    WaitOpen("MainMenu");
    Settle();

    Point("MainMenu", "Credits");
    Before({"CreditsMenu"});
    Click("MainMenu", "Credits");
    WaitOpen("CreditsMenu");
    Settle();
    m_world->MoveCursor(780, 330);
    Shoot("CreditsMenu");
    Click("BackMenu", "BackButton");
    WaitOpen("MainMenu");
    Settle();
}

void MenuShotDriver::Profiles()
{
    Point("MainMenu", "Manage Profiles");
    Before({"ProfileMenu"});
    Click("MainMenu", "Manage Profiles");
    WaitOpen("ProfileMenu");
    Settle();
    m_world->MoveCursor(720, 330);
    Shoot("ProfileMenu");

    // "New": the create-profile panel over the list; "Create" makes the profile named.
    Point("ProfileMenu", "CreateProfile");
    Before({"CreateProfileMenu"});
    Click("ProfileMenu", "CreateProfile");
    WaitOpen("CreateProfileMenu");
    Settle();
    Shoot("CreateProfileMenu");
    Click("CreateProfileMenu", "CreateButton");
    WaitClosed("CreateProfileMenu");

    // Back to the player's own profile, then to the main menu.
    Click("ProfileMenu", "ButtonPlayer.xml");
    Click("ProfileMenu", "LoadProfile");
    Click("BackMenu", "BackButton");
    WaitOpen("MainMenu");
    Settle();
}

void MenuShotDriver::RoomListAndEscape()
{
    Point("MainMenu", "Play");
    Before({"RoomSelectionMenu"});
    Click("MainMenu", "Play");
    WaitOpen("RoomSelectionMenu");
    Settle();
    // Resting on the player's room loads it behind the panel.
    m_world->Hover("RoomSelectionMenu", kRoomRow, 0.2);
    Shoot("RoomSelectionMenu");

    // Escape while the main menu is closed: the pause panel over a veil; Escape again takes it away.
    Before({"EscapeMenu"});
    m_world->Key(kEscape);
    WaitOpen("EscapeMenu");
    Settle();
    Shoot("EscapeMenu");
    m_world->Key(kEscape);
    WaitClosed("EscapeMenu");
}

void MenuShotDriver::AtAFace()
{
    Before({"PuzzleLookAtMenu", "PuzzleInfoMenu"});
    Click("RoomSelectionMenu", kRoomRow);
    WaitOpen("PuzzleLookAtMenu", 6.0);
    // The arrows turn the room to the front face, where the puzzle is.
    for (int turn = 0; turn < 3 && m_world->Game().GetFocusedFace() != 0; ++turn)
    {
        Click("PuzzleLookAtMenu", "RightArrow");
        WaitOpen("PuzzleLookAtMenu", 6.0);
    }
    if (m_world->Game().GetFocusedFace() != 0)
        Note("the front face of the room was never reached");
    WaitOpen("PuzzleInfoMenu");
    Settle();
    // The pointer off the arrows and the puzzle's objects.
    m_world->MoveCursor(660, 440);
    Shoot("PuzzleLookAtMenu");
    Shoot("PuzzleInfoMenu");
}

void MenuShotDriver::InAPuzzle()
{
    Point("PuzzleLookAtMenu", "StartPuzzleButton");
    Before({"StartPuzzleMenu", "BudgetMenu", "WidgetChoiceBarMenu", "TimerObjMenu"});
    Click("PuzzleLookAtMenu", "StartPuzzleButton");
    // The start button fades in over 2 s.
    WaitOpen("StartPuzzleMenu");
    Settle();
    Shoot("StartPuzzleMenu");
    Shoot("BudgetMenu");
    Shoot("WidgetChoiceBarMenu");
    Shoot("TimerObjMenu");

    // The platform chosen on the bar rides on a badge beside the cursor over the face.
    const math::Quad& face = m_world->Game().GetRoom()->GetFace(m_world->Game().GetFocusedFace());
    const float z = ((face.p0 + face.p2) * 0.5f).z;
    Point("WidgetChoiceBarMenu", "PlatformButton");
    Before({"MouseWidgetSelMenu"});
    Click("WidgetChoiceBarMenu", "PlatformButton");
    m_world->PointAt(math::Vector3(-8.0f, 2.0f, z));
    Shoot("MouseWidgetSelMenu");

    // Laid by a drag, then selected: its properties on the bar, the friction's values above.
    m_world->PressAt(math::Vector3(-9.0f, 4.0f, z));
    m_world->PointAt(math::Vector3(-6.5f, 4.0f, z));
    m_world->LeftUp();
    m_world->Key(kSpace);
    m_world->RunFor(0.3);
    Before({"WidgetPropertyBarMenu"});
    m_world->PressAt(math::Vector3(-7.75f, 4.0f, z));
    m_world->LeftUp();
    WaitOpen("WidgetPropertyBarMenu");
    Shoot("WidgetPropertyBarMenu");
    Point("WidgetPropertyBarMenu", "FrictionButton");
    Before({"PropValueMenu"});
    Click("WidgetPropertyBarMenu", "FrictionButton");
    WaitOpen("PropValueMenu");
    // The pointer off the row, so the checked value shows in its own colour.
    m_world->PointAt(math::Vector3(4.0f, -2.0f, z));
    Shoot("PropValueMenu");
}

void MenuShotDriver::TheRun()
{
    Click("StartPuzzleMenu", "StartButton");
    Before({"ScoreMenu"});
    WaitOpen("ScoreMenu", 20.0);
    Settle();
    Shoot("ScoreMenu");
    Click("ScoreMenu", "RoomButton");
    // The panel takes every click until it has faded out.
    WaitClosed("ScoreMenu");
    WaitOpen("PuzzleLookAtMenu", 6.0);
    Settle();
}

void MenuShotDriver::Building()
{
    // Out of the room and the main menu's "Editor": the same room, its puzzle being built.
    Click("BackMenu", "BackButton");
    WaitOpen("RoomSelectionMenu");
    Settle();
    Click("BackMenu", "BackButton");
    WaitOpen("MainMenu");
    Settle();
    Point("MainMenu", "Editor");
    Before({"BackMenu"});
    Click("MainMenu", "Editor");
    WaitOpen("RoomSelectionMenu");
    Settle();
    m_world->Hover("RoomSelectionMenu", kRoomRow, 0.2);
    Click("RoomSelectionMenu", kRoomRow);
    WaitOpen("PuzzleLookAtMenu", 6.0);
    for (int turn = 0; turn < 3 && m_world->Game().GetFocusedFace() != 0; ++turn)
    {
        Click("PuzzleLookAtMenu", "RightArrow");
        WaitOpen("PuzzleLookAtMenu", 6.0);
    }
    Point("PuzzleLookAtMenu", "StartPuzzleButton");
    Before({"CreatorMenu"});
    Click("PuzzleLookAtMenu", "StartPuzzleButton");
    WaitOpen("CreatorMenu");
    WaitOpen("StartPuzzleMenu");
    Settle();
    // The pointer on the face, away from the menus and the puzzle's objects.
    m_world->MoveCursor(250, 380);
    Shoot("CreatorMenu");
}

void MenuShotDriver::RadialMenus()
{
    // As the game would open it at the cursor: the held mouse's broadcast places it, the
    // console's "menu" opens it.
    Before({"Radial"});
    m_world->Broadcast(MSG_MouseHeld, math::Vector3(400.0f, 300.0f, 0.0f));
    m_world->Console("menu Radial open");
    WaitOpen("Radial");
    m_world->RunFor(0.4);
    Shoot("Radial");

    // Resting on the second button fans "Submenu" out from it.
    Before({"Submenu"});
    m_world->Hover("Radial", "Button 1", 0.5);
    WaitOpen("Submenu");
    Settle();
    Shoot("Submenu");
    // The mouse button's release folds both away.
    m_world->Broadcast(MSG_MouseUp, math::Vector3(400.0f, 300.0f, 0.0f));
    Settle();
}

void MenuShotDriver::SavingTheRoom()
{
    // Back out to the face: the back row with the room's tools; its save button brings the
    // dialog over a veil.
    Click("BackMenu", "BackButton");
    WaitOpen("PuzzleLookAtMenu", 6.0);
    Settle();
    // The pointer off the row, which dims back in 0.3 s.
    m_world->MoveCursor(660, 440);
    m_world->RunFor(0.4);
    Shoot("BackMenu");
    Point("BackMenu", "SaveButton");
    Before({"SaveRoomMenu"});
    Click("BackMenu", "SaveButton");
    WaitOpen("SaveRoomMenu");
    Settle();
    // The pointer on the panel, below its buttons.
    m_world->MoveCursor(380, 330);
    Shoot("SaveRoomMenu");
    Click("SaveRoomMenu", "CancelButton");
    WaitClosed("SaveRoomMenu");
}
} // namespace menushots

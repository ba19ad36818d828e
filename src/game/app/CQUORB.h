// The game: QUORB as the engine drives it. Its start-up (Init) runs the start-up scripts, reads
// the settings, registers the game's commands, component types and templates, builds the menus
// and the widget manipulator and holds physics until the player presses "play". Its frame runs
// the engine's parts in a fixed order and routes every input event along a chain of takers; the
// Load state then puts up the cursor, the first splash menu and the empty room. The game owns
// its camera, its GUI units (the cursor among them), the widget manipulator, the room, the
// settings and the water-level interpolation; the application owns the game.
#pragma once

#include "common/CountdownTimer.h"
#include "common/StateMachine.h"
#include "common/Timer.h"
#include "engine/CDorvoGame.h"
#include "game/files/IsSafeFileName.h"
#include "game/files/QUORBSettings.h"

#include <cstdint>
#include <memory>
#include <stack>
#include <string>
#include <vector>

namespace dorvo
{
namespace input
{
struct InputEvent;
}
namespace gfx
{
class CGuiManager;
class CTextSprite;
} // namespace gfx
} // namespace dorvo

namespace math
{
class Quad;
class Vector3;
} // namespace math

namespace QUORB
{
class CCamera;
class CPuzzle;
class CRoom;
class WidgetManipulator;
struct Profile;

class CQUORB : public dorvo::CDorvoGame
{
public:
    static constexpr float kWaterRestoreDelay = 0.175f; // seconds after the editor is switched off
    static constexpr float kQuickClickSeconds = 0.2f;   // a click shorter than this re-aims the camera
    static constexpr int kFPSTextX = 10;                // pixels: the "togglefps" read-out's top left
    static constexpr int kFPSTextY = 470;

    // The game the application runs, or null (no application, or another game).
    static CQUORB* Get();

    // Makes the camera, the GUI manager, the game's picker (handed to the application) and the
    // widget manipulator; loads and registers nothing.
    CQUORB();
    ~CQUORB() override;

    std::wstring GetWindowTitle() override;
    void OnResetDevice() override;
    void OnLostDevice() override;
    void Update(double time, float elapsed) override;
    void Render(double time, float elapsed) override;
    void Init() override;
    plat::LRESULT MsgProc(plat::UINT message, plat::WPARAM wParam, plat::LPARAM lParam) override;
    dorvo::CDorvoCamera* GetCamera() override;
    // The GUI manager's unit "Cursor", or null before the Load state made it.
    dorvo::gfx::CCursor* GetCursor() override;

    // Offers one input event to the game's takers in turn: message takers (keys and buttons),
    // the 2D components by ascending depth, the GUI units, the widget manipulator, face picking,
    // the camera (outside the editor) and the global keys. elapsed: seconds of this frame.
    void RouteInput(const dorvo::input::InputEvent& event, float elapsed);
    // A left press makes the nearest room face under the cursor the focused face; a release
    // less than 0.2 s after it re-aims the camera at that face. Nothing in editor mode or without
    // a cursor. Never takes the event.
    bool PickFaceOnClick(const dorvo::input::InputEvent& event);

    // The cursor sprite, one of the six cursor images chosen by rand(), added to the GUI units as
    // "Cursor". Once: a second call keeps the first cursor.
    void CreateCursor();

    // The menu factory behind "CreateConsole": the console window and then the 28 menus, each on
    // a new "2DArchetype" object (the menus named after themselves). False, with a line in
    // the log and nothing built, without the archetype or when it was built already.
    bool CreateMenu(const std::string& historyTexture, const std::string& inputTexture);
    // The console window's object id; 0 before CreateMenu.
    std::uint32_t GetConsoleId() const { return m_consoleId; }
    // True while the console window is on the screen (sliding in, open or sliding out).
    bool IsConsoleShown() const;

    // The room "EmptyRoom.xml".
    void LoadEmptyRoom();
    // The first call makes the room, the object "Room" and the six bounding planes; later calls
    // make none of them again. Then the room file is read unless the room map holds the name
    // locked (nothing happens then, silently). A name that is no safe file name, or a room file
    // that is missing or does not parse, is refused on the console ("ERROR: ...") and keeps the
    // room that was there.
    void LoadRoom(const std::string& fileName, bool skipIfLoaded);

    // The water surface's level along its plane's normal: -d of the water plane; 0 without a
    // water object.
    float GetWaterLevel() const;
    // Remembers the current level and glides the water to the target over the seconds.
    void LerpWaterLevel(float target, float seconds);
    // The last remembered level, applied at once (a running glide stops); 0 and nothing changed
    // when none is remembered.
    float RestoreWaterLevel();
    // Moves the water object along its plane's normal to the level; nothing without one.
    void SetWaterLevel(float level);
    // Turns the game camera's up vector towards `up` over the seconds (the focused face's
    // normal as the turn's reference axis). While a puzzle with water plays the water turns with
    // the view, and `waterLevel`, when given, is the level it takes once the turn ends.
    void SetCameraUpLerp(const math::Vector3& up, float seconds, const float* waterLevel);

    // Accessors that do nothing, or give false, null or 0, without a room.
    CPuzzle* GetFocusedPuzzle() const;
    bool GetFocusedFaceQuad(math::Quad& out) const;
    bool GetFocusedFaceNormal(math::Vector3& out) const;
    void FocusFace();
    void SetCameraFlags(std::uint32_t bits);
    void ClearCameraFlags(std::uint32_t bits);
    void AddWidgetToFocusedPuzzle(std::uint32_t id);
    void RemoveWidgetFromFocusedPuzzle(std::uint32_t id);
    void AddQuorbToFocusedPuzzle(std::uint32_t id);
    void RemoveQuorbFromFocusedPuzzle(std::uint32_t id);
    void AddObjectiveToFocusedPuzzle(std::uint32_t id);
    void RemoveObjectiveFromFocusedPuzzle(std::uint32_t id);
    // The point of the focused face's plane under the cursor; false without cursor, room or hit.
    bool GetCursorFacePoint(math::Vector3& out) const;

    // The two script functions "CreateConsole" and "Console".
    void RegisterLuaFunctions();
    // Models, lines and post-processing on, then the quality's post-processing chain: "Low"
    // none (post-processing off again), "Medium" 42 and 46, "High" 42, 45, 46, 19, 47, 0, 48,
    // 49, 1, 39; any other name none.
    void SetGraphicsQuality(const QUORBSettings& settings);
    // Brings the room lists in line with the files matching the pattern (ROOM_PATH + "*.xml"):
    // a file in neither the room map nor the player's rooms joins the player's rooms; a listed
    // room whose file is gone leaves its list (the room map keeps it).
    void ScanRoomFiles(const std::string& pattern);
    // The game's 30 console commands (see CQUORBCommands.cpp).
    void RegisterConsoleCommands();
    // Takes back the commands this game filed (the destructor does it: they are bound to it).
    void UnregisterConsoleCommands();

    // ---- settings, room lists and profiles ----
    using FileKind = QUORB::FileKind;
    // QUORB::IsReservedFileName over the rooms made by us and the made-by-us flag ("toggleus").
    bool IsReservedFileName(FileKind kind, const std::string& name) const;
    // True for a safe name; otherwise "ERROR: Invalid file name: " + name on the console.
    static bool CheckFileName(const std::string& name);
    // CheckFileName, then "ERROR: Reserved file name: " + name for a reserved one.
    bool CheckWritableFileName(FileKind kind, const std::string& name) const;

    // The settings file at XML_PATH, with the current profile's name as the last used profile
    // (the one read at start-up while no profile is loaded). False, with "ERROR: Could not
    // save " + path on the console, when it was not written; the old file then stays.
    bool SaveSettings();
    // The current profile and the settings as SaveProfile and SaveSettings write them, both or
    // neither (plat::WriteFilesAtomically). The template profile and no profile at all leave only
    // the settings to write, and so does a profile read only in part (its file is kept, with
    // one line). False, with "ERROR: Could not save " + the paths on the console, when the files
    // were not written; the old ones then stay as they were.
    bool SaveProfileAndSettings();
    // A made-by-us room: filed unlocked in the room map and appended to its list when absent.
    void AddTeamRoom(const std::string& name);
    // A player room: appended to its list when absent.
    void AddPlayerRoom(const std::string& name);
    // MSG_SetCustomData with the name, then MSG_ResetMenu, to "RoomSelectionMenu".
    void RefreshRoomSelectionMenu(const std::string& name);
    void LockAllRooms();
    // Unlocks the room-map entries the profile lists; other names are ignored.
    void ApplyProfileToRooms(const Profile& profile);
    // "loadprofile": makes the profile on the first call, else locks every room; then the
    // profile takes the name and PROFILE_PATH + name is read into it with an empty list first,
    // so a missing or malformed file leaves no rooms unlocked; then its rooms are unlocked.
    void LoadProfile(std::string fileName);
    // Writes the current profile to PROFILE_PATH + its name; false without a profile, for a
    // reserved or unsafe name (refused on the console), for a profile read only in part (one
    // line; its file is kept), or when the write failed ("ERROR: Could not save " + path).
    bool SaveProfile();
    // The file in `folder` whose name differs from `name` only in case, or "" when none does.
    std::string OtherCaseFile(const std::string& folder, const std::string& name) const;
    // False, with one console line, when such a file is there: it is another file, never saved
    // over, and a second one beside it would be listed as the same. `what` names the kind.
    bool CheckNoOtherCaseFile(const std::string& folder, const std::string& name, const char* what) const;
    // The line that says a profile read only in part keeps its file.
    void ShowKeptProfile() const;
    // A new profile from the template "Blank.xml" under the name, saved at once. An unsafe or
    // reserved name is refused; a name whose file exists writes nothing, keeps the current
    // profile and reports "ERROR: Profile already exists: " + name. A save that fails puts the
    // profile and the room locks back as they were. True when it was saved.
    bool CreateProfile(const std::string& name);
    // The current profile, or null before the first LoadProfile.
    Profile* GetProfile() const { return m_pProfile.get(); }
    bool IsMadeByUs() const { return m_madeByUs; }
    const std::string& GetGameSkinName() const { return m_gameSkinName; }

    // ---- console command handlers (the command of the same name, lower case) ----
    void SetPuzFileName(std::string name);
    std::string GetPuzFileName();
    void Cam();
    void CreateGob(std::string archetype);
    // "saveroom": the room and its puzzles under the name (".xml" added when it has none), then
    // the room filed in its list and the settings written, only when the room was written. A
    // name that differs only in case from a room file present is refused on the console. True
    // when the room was written.
    bool SaveRoom(std::string name);
    void ClearRoom();
    void SetRoomEmpty();
    // Flips editor mode. On: the focused face again and the water to the focused puzzle's
    // level. Off: physics paused, the manipulator reset, the water restored 0.175 s later. The
    // picker is enabled exactly while editor mode is on.
    void ToggleEditor();
    void ClearCWT();
    void SetCWT(std::string widgetType);
    // The focused puzzle to PUZZLE_PATH + its file name / + the given name; true when written.
    bool SavePuz();
    bool SavePuzAs(std::string name);
    void CreateEnvGob(std::string archetype);
    void CreateEnvGobAtPos(std::string archetype, float x, float y, float z);
    void ReloadFocusedPuzzle();
    void ResetFocusedPuzzle();
    void SetCamUp(math::Vector3 up);
    // "setcamuplerp (x,y,z) <seconds> <level>": with a room, SetCameraUpLerp with the typed
    // level (taken at the turn's end while a puzzle with water plays).
    void SetCamUpLerp(math::Vector3 up, float seconds, float waterLevel);
    // With a room: physics runs, the focused puzzle plays and the selection is cleared.
    void Play();
    // The named skin of the settings becomes the GUI's skin; "ERROR: Skin not found" otherwise.
    void SetGameSkin(std::string name);
    void ToggleFPS();
    void ToggleCM();
    void AutoFocusToPuzzle(bool right);
    void ToggleUs();
    // "open" and "close" send MSG_OpenMenu / MSG_CloseMenu to the named menu; else nothing.
    void Menu(std::string name, std::string command);
    void Rls(std::string script);
    void Message(std::string text);
    // Back out of a puzzle (the back button and the score menu): the puzzle menus closed, the
    // puzzle started again (create-puzzle mode) or reloaded, the editor toggled, the back menu
    // reset.
    void LeavePuzzle(bool keep);

    // The path globals of the start-up scripts ("" when a script left one unset).
    static std::string GetXmlPath();
    static std::string GetRoomPath();
    static std::string GetEnvFilePath();
    static std::string GetPuzzlePath();
    static std::string GetProfilePath();
    static std::string GetSoundPath();

    common::CStateMachine& GetStates() { return m_states; }
    CCamera* GetGameCamera() const { return m_pCamera.get(); }
    dorvo::gfx::CGuiManager& GetGuiManager() { return *m_pGuiManager; }
    WidgetManipulator* GetWidgetManipulator() const { return m_pManipulator.get(); }
    CRoom* GetRoom() const { return m_pRoom.get(); }
    std::uint32_t GetRoomGobID() const { return m_roomGobID; }
    int GetFocusedFace() const { return m_focusedFace; }
    void SetFocusedFace(int face) { m_focusedFace = face; }
    bool IsEditorMode() const { return m_editorMode; }
    void SetEditorMode(bool on) { m_editorMode = on; }
    bool IsCreatePuzzleMode() const { return m_createPuzzleMode; }
    void SetCreatePuzzleMode(bool on) { m_createPuzzleMode = on; }
    bool GetInvertHorizontalDrag() const { return m_invertHorizontalDrag; }
    bool GetInvertVerticalDrag() const { return m_invertVerticalDrag; }
    // The camera's debug switch ("cam").
    bool IsDebugCamera() const;
    bool IsShowingFPS() const { return m_showFPS; }
    void SetShowFPS(bool show) { m_showFPS = show; }
    float GetLastFPS() const { return m_lastFPS; }
    const dorvo::gfx::CTextSprite& GetFPSText() const;
    QUORBSettings& GetSettings() { return m_settings; }
    const std::vector<std::string>& GetProfileFiles() const { return m_profileFiles; }
    // Whether the puzzle being played has a water objective (set by CPuzzle::Play).
    bool GetPuzzleHasWater() const { return m_puzzleHasWater; }
    void SetPuzzleHasWater(bool hasWater) { m_puzzleHasWater = hasWater; }
    bool IsWaterLerpRunning() const { return m_waterLerpRunning; }
    std::size_t GetRememberedWaterLevelCount() const { return m_waterLevels.size(); }
    bool IsWaterRestoreRunning() const { return m_waterRestoreCountdown.IsRunning(); }
    // Starts the countdown after which the frame restores the remembered water level.
    void StartWaterRestoreCountdown();

private:
    void UpdateWaterLevelLerp();
    // The settings' last used profile taken from the current one before a save (never the
    // template).
    void NoteLastUsedProfile();
    // The screen point the cursor aims at; false without a cursor.
    bool GetCursorScreenPoint(math::Vector3& out) const;

    common::CStateMachine m_states; // "Init State Exit Code", "Load ..." and "Running ..."
    std::unique_ptr<CCamera> m_pCamera;
    std::unique_ptr<dorvo::gfx::CGuiManager> m_pGuiManager;
    bool m_invertHorizontalDrag = false; // flipped by [
    bool m_invertVerticalDrag = false;   // flipped by ]
    bool m_editorMode = false;
    bool m_createPuzzleMode = false;
    std::unique_ptr<dorvo::gfx::CTextSprite> m_pFPSText; // held apart, so that this header needs no sprite
    std::unique_ptr<WidgetManipulator> m_pManipulator;
    std::unique_ptr<CRoom> m_pRoom;
    int m_focusedFace = -1;
    std::uint32_t m_roomGobID = 0;
    QUORBSettings m_settings;
    bool m_showFPS = false;
    float m_lastFPS = 30.0f;
    std::unique_ptr<Profile> m_pProfile; // the current player profile, made by the first "loadprofile"
    std::vector<std::string> m_profileFiles;
    std::string m_gameSkinName;
    bool m_madeByUs = false;
    bool m_puzzleHasWater = false;
    bool m_waterLerpRunning = false;
    int m_waterInterpolation = -1;
    std::stack<float> m_waterLevels;
    common::CCountdownTimer m_waterRestoreCountdown;

    std::vector<std::string> m_commandNames; // the console commands this game filed
    std::uint32_t m_consoleId = 0;
    bool m_menusBuilt = false;
    // PickFaceOnClick's memory between a press and its release.
    bool m_pickFaceHit = false;
    bool m_pickButtonDown = false;
    common::CTimer m_pickTimer;
};

// Whether the running game is in create-puzzle mode; false without a game. For the parts that
// hold no game of their own (puzzles, widget data, the manipulator's helpers).
bool IsCreatePuzzleMode();
} // namespace QUORB

// The editor's hand: while the editor is on it turns the mouse and the keys Backspace, Delete,
// Ctrl and Space into creating, selecting, moving, adjusting and deleting the widgets, star
// objects and objectives of the focused puzzle, charging and refunding its budget. The game owns
// the one manipulator; its state machine (ManipulatorLogic) lives on the game object
// "Manipulator" and decides each frame which state it is in and which action below runs. Objects
// belong to the GobManager: the manipulator holds their ids only and looks them up on use, so an
// object killed by a reset or a reload is simply no longer there.
//
// The members are spread over a few sources: WidgetManipulator.cpp (tables, input, selection,
// deleting the selection), WidgetManipulatorActions.cpp (the states' actions, highlights, the
// release operations), WidgetManipulatorCreate.cpp (platforms, bars, accelerators, star objects
// and objectives), WidgetManipulatorStretch.cpp and WidgetManipulatorSwitches.cpp (stretching new
// widgets; gravity switches, magnets and hard nodes).
#pragma once

#include "common/Timer.h"
#include "common/loki/Functor.h"
#include "common/math/Quaternion.h"
#include "common/math/Vector3.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class Gob;

namespace dorvo
{
namespace input
{
struct InputEvent;
}
namespace phy
{
class CollisionFunctorData;
}
} // namespace dorvo

namespace QUORB
{
class ManipulatorLogic;

class WidgetManipulator
{
public:
    // A create operation: the new object (or null), position (world units), orientation, scale
    // and an optional direction (the stretch of a new widget; null when absent).
    typedef Loki::Functor<
        void, Loki::Seq<Gob*&, math::Vector3, math::Quaternion, math::Vector3, const math::Vector3*>>
        CreateFunctor;
    // A drag, release or adjust operation on the primary selection.
    typedef Loki::Functor<void> StepFunctor;

    static const char* const kArchetypeName;   // "Manipulator"
    static const char* const kPickedEffect;    // "PickedEffect.fx"
    static const char* const kPickedTechnique; // "PickedEffect"
    // A touched gravity switch glows ("Glow.fx", "Glow") for a second; the scheduler's entry
    // "TurnOffGSEffect" brings its own look back.
    static const char* const kGlowEffect;
    static const char* const kGlowTechnique;
    static const char* const kGlowRestoreName;
    static constexpr float kGlowSeconds = 1.0f;
    // A magnet or gravity switch held this long (seconds) with less drag than kMoveDragPixels is
    // adjusted; dragged that far sooner, it is moved.
    static constexpr float kAdjustSeconds = 0.25f;
    static constexpr float kMoveDragPixels = 25.0f;

    // One object grabbed by a left press, with the node currently highlighted as the place it
    // would snap to (0 for none).
    struct DragNode
    {
        std::uint32_t node = 0;
        std::uint32_t snapTarget = 0;
    };

    // Empty tables, no type, nothing selected, every flag clear.
    WidgetManipulator();
    // Deletes no object.
    ~WidgetManipulator();

    WidgetManipulator(const WidgetManipulator&) = delete;
    WidgetManipulator& operator=(const WidgetManipulator&) = delete;

    // Creates "Manipulator", gives its state-machine component a ManipulatorLogic (which starts
    // in EditorOff) and fills the create, drag, release and adjust tables. Without the archetype
    // (or its state-machine component) one line in the log and no machine; the tables are
    // filled all the same, so puzzles still build through CreateWidgetAtPos. Once.
    void Init();
    // Does nothing: the machine runs in the objects' update.
    void Update(float dt);
    // The editor's keys and mouse (only in editor mode; the game offers events only then).
    // Never takes an event. elapsed: seconds of this frame.
    bool OnInput(const dorvo::input::InputEvent& event, float elapsed = 0.0f);

    // The point where the picker's ray through the screen point (back-buffer pixels) meets the
    // focused room face's quad; false without a game, room, focused face, picker or hit.
    static bool ScreenToFacePlane(const math::Vector3& screenPoint, math::Vector3& out);

    // ---- what the menus and the console use ----
    const std::string& GetCurrentWidgetType() const { return m_currentWidgetType; }
    // The type new objects are made of; a non-empty type opens "MouseWidgetSelMenu", an empty
    // one closes it.
    void SetCurrentWidgetType(const std::string& type);
    // Empties the type, resets "WidgetChoiceBarMenu" and closes "MouseWidgetSelMenu",
    // "WidgetPropertyBarMenu" and "PropValueMenu".
    void ClearCurrentWidgetType();
    // Back to nothing: highlights off, nothing selected or hovered, no grabbed nodes, the buttons
    // and the delete request released (so the machine returns to Idle, and with the editor off
    // to EditorOff), the type dropped (the bar unchecked, the badge closed) and
    // "WidgetPropertyBarMenu" closed. An object still being created is deleted with its refund.
    // Called by "toggleeditor" and the puzzle's reload, reset and start.
    void Reset();
    // Nothing selected, hovered or grabbed (highlights off), then the type dropped; an object
    // still being created is deleted with its refund. Called by "play".
    void ClearSelection();
    // Unless an object is being created: "WidgetPropertyBarMenu" closed and nothing selected
    // (highlights off). Called by the widget choice bar and the Space key.
    void DeselectAll();
    // The text to "MessageWindowMenu", the type cleared and "QUORBSound/Editor/EditorError".
    void ShowEditorMessage(const std::string& text);
    // The create operation of the type at the place, with nothing an editor press does beside it
    // (no budget, selection, refusal, menu or water move), and the object given the scale as
    // described; the new object's id, or 0 when the create table lacks the type or nothing was
    // built. The puzzle builds its objects from its file and its snapshots through it.
    std::uint32_t CreateWidgetAtPos(const std::string& type, const math::Vector3& position,
                                    const math::Quaternion& orientation, const math::Vector3& scale);

    // The selection: the primary (while creating, the new object) and the further objects of the
    // primary's archetype chosen with Ctrl; killed objects are left out.
    Gob* GetSelectedGob() const;
    std::vector<Gob*> GetSelectionList() const;
    std::uint32_t GetSelectedID() const { return m_selectedID; }
    const std::vector<std::uint32_t>& GetSelectionIDs() const { return m_selectionList; }
    Gob* GetHoverGob() const;
    Gob* GetPressNode() const;
    const std::vector<DragNode>& GetDragNodes() const { return m_dragNodes; }
    bool IsCreating() const { return m_creating; }
    bool IsRadialOpen() const { return m_radialOpen; }
    bool IsLeftDown() const { return m_leftDown; }
    bool IsRightDown() const { return m_rightDown; }
    bool IsDeleteRequested() const { return m_deleteRequested; }
    bool IsCtrlDown() const { return m_ctrlDown; }
    // Seconds the left button has been held (the time of the last press while it is up).
    float GetLeftPressTime() { return m_leftPressTimer.GetTime(); }
    // Cursor minus press position, pixels.
    const math::Vector3& GetDragVector() const { return m_dragVector; }
    const math::Vector3& GetPressScreenPos() const { return m_pressScreenPos; }
    const math::Vector3& GetPressFacePoint() const { return m_pressFacePoint; }
    const math::Vector3& GetCursorFacePoint() const { return m_cursorFacePoint; }
    const math::Vector3& GetPrevCursorFacePoint() const { return m_prevCursorFacePoint; }
    const math::Vector3& GetLastDragPoint() const { return m_lastDragPoint; }
    const math::Vector3& GetManipulationPoint() const { return m_manipulationPoint; }

    // The "Manipulator" object, or null before Init (or when it could not be made).
    Gob* GetManipulatorGob() const;
    ManipulatorLogic* GetLogic() const;
    bool HasCreateFunctor(const std::string& type) const { return m_createFunctors.count(type) != 0; }
    bool HasDragFunctor(const std::string& type) const { return m_dragFunctors.count(type) != 0; }
    bool HasReleaseFunctor(const std::string& type) const { return m_releaseFunctors.count(type) != 0; }
    bool HasAdjustFunctor(const std::string& type) const { return m_adjustFunctors.count(type) != 0; }
    std::size_t GetCreateFunctorCount() const { return m_createFunctors.size(); }
    std::size_t GetDragFunctorCount() const { return m_dragFunctors.size(); }
    std::size_t GetReleaseFunctorCount() const { return m_releaseFunctors.size(); }
    std::size_t GetAdjustFunctorCount() const { return m_adjustFunctors.size(); }

    // ---- input (OnInput) ----
    void OnLeftButtonDown();
    // A release whose press the machine has not had an update with yet (both came between two
    // frames) is held back until after that update, so a short click counts as a held press.
    void OnLeftButtonUp();
    void OnRightButtonDown();
    void OnRightButtonUp();
    void OnMouseMoveX();
    void OnMouseMoveY();
    // The object under the game cursor (null for none) and the cursor's screen point (whole
    // pixels, z 0); false, nothing picked, without a cursor or an enabled picker.
    bool PickAtCursor(Gob*& out, math::Vector3& screenPoint) const;
    // Outside create-puzzle mode: a widget whose data is not modifiable, or a node whose owning
    // widget is gone or not modifiable. Nothing is locked in create-puzzle mode.
    static bool IsLockedForPlayer(Gob* gob, bool isWidget, bool isNode);

    // ---- the states' actions (ManipulatorLogic) ----
    // First in each of the machine's updates: the left release and the delete key's release
    // held back for it are carried out once an earlier update has seen their press.
    void OnLogicUpdate();
    void CreateByType();
    void UpdateCreating();
    void FinishCreating();
    void DeleteSelected();
    void UpdateMoving();
    void UpdateAdjusting();
    void FinishManipulation();
    void UpdateHover();
    // Whether the current left press has already tried to create (one try a press).
    bool HasCreatedThisPress() const { return m_createdThisPress; }

    // ---- helpers of the actions ----
    // The left button let go: press timer stopped, no drag, not held.
    void ReleaseLeft();
    // Where a new object of the current type goes, from the press and cursor points on the
    // focused face; stretch is the press-to-cursor vector (a click gives a widget the minimum
    // length, straight up).
    void ComputeCreationPlacement(math::Vector3& position, math::Quaternion& orientation,
                                  math::Vector3& scale, math::Vector3& stretch) const;
    // The create table's operation of the type; out stays as it was for a type it lacks.
    void InvokeCreateFunctor(const std::string& type, Gob*& out, const math::Vector3& position,
                             const math::Quaternion& orientation, const math::Vector3& scale,
                             const math::Vector3* direction);
    // Removes the object from the focused puzzle and kills it: a widget with its end nodes and
    // one refund; a node through its widget (a node without one alone, no refund); a star
    // object; an objective (a water objective or its end marker take the other with them and
    // bring the remembered water level back). Nothing for no object or one already killed.
    void DeleteGob(Gob* gob);
    // The pick highlight ("PickedEffect.fx", "PickedEffect") on the object's model, its own
    // effect and technique saved; nothing when it is highlighted already or has no model.
    static void HighlightPicked(Gob* gob);
    // The saved effect and technique back (each when not empty).
    static void RemoveHighlight(Gob* gob);
    // Each grabbed node's snap target highlighted; nothing while a delete is requested.
    void UpdateSnapHighlights();
    // The snap targets' highlights off and the grabbed nodes forgotten.
    void ClearSnapHighlights();
    void AddDragNode(Gob* gob);
    void AddWidgetDragNodes(Gob* widget);
    void RemoveDragNode(Gob* gob);
    void RemoveWidgetDragNodes(Gob* widget);

    // ---- create table (WidgetManipulatorCreate.cpp, WidgetManipulatorSwitches.cpp) ----
    void CreatePlatform(Gob*& out, math::Vector3 position, math::Quaternion orientation, math::Vector3 scale,
                        const math::Vector3* direction);
    // A "Bar" on the front and back faces, a "BarAlt" on the sides, whatever the key.
    void CreateBar(Gob*& out, math::Vector3 position, math::Quaternion orientation, math::Vector3 scale,
                   const math::Vector3* direction);
    void CreateAccelerator(Gob*& out, math::Vector3 position, math::Quaternion orientation,
                           math::Vector3 scale, const math::Vector3* direction);
    void CreateGravitySwitch(Gob*& out, math::Vector3 position, math::Quaternion orientation,
                             math::Vector3 scale, const math::Vector3* direction);
    void CreateMagnet(Gob*& out, math::Vector3 position, math::Quaternion orientation, math::Vector3 scale,
                      const math::Vector3* direction);
    void CreateHardNode(Gob*& out, math::Vector3 position, math::Quaternion orientation, math::Vector3 scale,
                        const math::Vector3* direction);
    void CreateQuorbBall(Gob*& out, math::Vector3 position, math::Quaternion orientation, math::Vector3 scale,
                         const math::Vector3* direction);
    void CreateQuorbBox(Gob*& out, math::Vector3 position, math::Quaternion orientation, math::Vector3 scale,
                        const math::Vector3* direction);
    void CreateLocationObjective(Gob*& out, math::Vector3 position, math::Quaternion orientation,
                                 math::Vector3 scale, const math::Vector3* direction);
    void CreateTargetObjective(Gob*& out, math::Vector3 position, math::Quaternion orientation,
                               math::Vector3 scale, const math::Vector3* direction);
    void CreateWaterObjective(Gob*& out, math::Vector3 position, math::Quaternion orientation,
                              math::Vector3 scale, const math::Vector3* direction);
    void CreateTimerObjective(Gob*& out, math::Vector3 position, math::Quaternion orientation,
                              math::Vector3 scale, const math::Vector3* direction);
    void CreateSquashObjective(Gob*& out, math::Vector3 position, math::Quaternion orientation,
                               math::Vector3 scale, const math::Vector3* direction);
    void CreateDestructionObjective(Gob*& out, math::Vector3 position, math::Quaternion orientation,
                                    math::Vector3 scale, const math::Vector3* direction);
    // "Cloth" and "Rope": nothing is made.
    void CreateNothing(Gob*& out, math::Vector3 position, math::Quaternion orientation, math::Vector3 scale,
                       const math::Vector3* direction);
    // A widget of the type between two new soft nodes, with its charge field, long along the
    // focused face's axis (x on faces 0 and 2, z on 1 and 3); the direction (else the
    // orientation's long axis) runs from node A to node B.
    void CreateSoftNodeChain(const std::string& type, Gob*& out, const math::Vector3& position,
                             const math::Quaternion& orientation, const math::Vector3& scale,
                             const math::Vector3* direction);
    // A star object of the type with its charge field. In the editor a puzzle with a Target
    // objective takes one star object only.
    void CreateQuorb(const std::string& type, Gob*& out, const math::Vector3& position,
                     const math::Quaternion& orientation, const math::Vector3& scale);

    // ---- drag table ----
    // Stretching new platforms, bars and accelerators (WidgetManipulatorStretch.cpp).
    void DragPlatform();
    void DragBar();
    void DragAccelerator();
    void StretchNewWidget(const std::string& type);
    // Turning new gravity switches and magnets (WidgetManipulatorSwitches.cpp).
    void DragGravitySwitch();
    void DragMagnet();
    // A new water objective's end marker follows the cursor's height.
    void DragWaterObjective();
    // "Cloth", "Rope", hard nodes, star objects and the other objectives: nothing.
    void DragNothing();

    // ---- release table (positions set once more with the oct tree told) ----
    void ReleaseSoftNodeWidget();
    void ReleaseSoftNode();
    void ReleaseHardNode();
    void ReleaseGravitySwitch();
    void ReleaseMagnet();
    void ReleaseQuorb();
    void ReleaseLocationObjective();
    void ReleaseTargetObjective();
    void ReleaseWaterObjective();
    void ReleaseTimerObjective();
    void ReleaseSquashObjective();
    void ReleaseDestructionObjective();
    void ReleaseNothing();

    // ---- adjust table (WidgetManipulatorSwitches.cpp) ----
    void AdjustGravitySwitch();
    void AdjustMagnet();

    // ---- gravity switches and magnets (WidgetManipulatorSwitches.cpp) ----
    // The direction snapped to up, down or the face's horizontal axis.
    static void SnapToFaceAxis(math::Vector3& out, const math::Vector3& direction,
                               const math::Vector3& faceNormal);
    // A switch turned towards the direction, snapped to the face's axes (a zero direction points
    // it down), its data's Direction with it; a magnet turned towards the direction unsnapped,
    // its field moved and turned along.
    static void TurnGravitySwitch(Gob* gravitySwitch, const math::Vector3& direction);
    static void TurnMagnet(Gob* magnet, const math::Vector3& direction);
    // The glow on the switch's model; the names it had before are saved unless it glows already.
    static void SetGravitySwitchGlow(Gob* gravitySwitch);
    // The saved names and transparency back on the switch's model; nothing once it is gone.
    static void RestoreGravitySwitchEffect(std::uint32_t id);

    // ---- collision callbacks: the pair's record and the registering object's id ----
    // "NodeCollisionFunc" of a widget built from nodes: a star object's hard hit breaks an end
    // out of its group.
    static bool BreakNode(dorvo::phy::CollisionFunctorData data, unsigned int ownerID);
    // "QUORBFunc" of a star object: its density picks the wood or metal sound when it meets a
    // platform, bar, accelerator or magnet.
    static bool PlayCollisionSound(dorvo::phy::CollisionFunctorData data, unsigned int ownerID);
    static bool OnGravitySwitchCollision(dorvo::phy::CollisionFunctorData data, unsigned int ownerID);
    static bool OnMagneticField(dorvo::phy::CollisionFunctorData data, unsigned int ownerID);
    static bool OnMagnetCollision(dorvo::phy::CollisionFunctorData data, unsigned int ownerID);
    static bool OnAcceleratorCollision(dorvo::phy::CollisionFunctorData data, unsigned int ownerID);

    // The live object of that id: null for 0, an unknown id or a killed object.
    static Gob* Live(std::uint32_t id);

private:
    bool IsSelected(std::uint32_t id) const;
    // Editing needs the game, its room, a focused puzzle and the cursor.
    bool CanEdit() const;
    void UpdateDragVector();
    // Empties the type, unchecks "WidgetChoiceBarMenu" and closes "MouseWidgetSelMenu".
    void DropCurrentWidgetType();
    // Drops the object still being created (with its refund) before the selection is dropped.
    void DiscardUnfinishedCreation();
    // Highlights off and nothing selected or grabbed.
    void DropSelection();
    // Whether the create operation runs for the editor (not for a puzzle's file or snapshot).
    bool IsEditorCreation() const { return !m_buildingDescribed; }
    // The moves of the water objective and its end marker; the water follows the objective.
    void MoveWaterPair(Gob* moved, const math::Vector3& delta);

    // The node-group and node-dragging operations of NodeDataComp and ConnectionComp, one place
    // each; nothing for an object without the component.
    void SnapNodeToNearest(Gob* node);
    void SnapWidgetNodes(Gob* widget);
    void DetachNodeGroup(Gob* node);
    // The node a grabbed node would snap to, or null.
    Gob* FindSnapTarget(Gob* node) const;
    void MoveNodeBy(Gob* node, const math::Vector3& offset);
    void MoveWidgetBy(Gob* widget, const math::Vector3& offset);
    // The grabbed node forgotten, and the highlight of its snap target taken off unless another
    // grabbed node shows it.
    void DropDragNode(Gob* node);
    static bool BreakNodeOnHit(const dorvo::phy::CollisionFunctorData& data, unsigned int ownerID);

    std::uint32_t m_manipulatorGobID = 0; // "Manipulator", owned by the GobManager
    std::map<std::string, CreateFunctor> m_createFunctors;
    std::map<std::string, StepFunctor> m_dragFunctors;
    std::map<std::string, StepFunctor> m_releaseFunctors;
    std::map<std::string, StepFunctor> m_adjustFunctors;
    std::string m_currentWidgetType;
    bool m_creating = false;
    bool m_radialOpen = false; // no radial menu is offered: stays clear
    bool m_leftDown = false;
    bool m_rightDown = false;
    bool m_deleteRequested = false;
    // A press the machine has not had an update with yet, and a release of it held back.
    bool m_leftPressUnseen = false;
    bool m_leftReleasePending = false;
    bool m_deletePressUnseen = false;
    bool m_deleteReleasePending = false;
    bool m_ctrlDown = false;
    common::CTimer m_leftPressTimer;
    common::CTimer m_rightPressTimer;
    math::Vector3 m_dragVector; // pixels
    std::uint32_t m_selectedID = 0;
    std::uint32_t m_pressNodeID = 0;
    std::uint32_t m_hoverID = 0;
    std::vector<std::uint32_t> m_selectionList;
    std::vector<DragNode> m_dragNodes;
    math::Vector3 m_pressScreenPos; // pixels
    math::Vector3 m_pressFacePoint; // world units, as are the points below
    math::Vector3 m_cursorFacePoint;
    math::Vector3 m_prevCursorFacePoint;
    math::Vector3 m_lastDragPoint;
    math::Vector3 m_manipulationPoint;
    bool m_createdThisPress = false;
    bool m_buildingDescribed = false;
    bool m_refusalShown = false; // a create operation reported its refusal
};
} // namespace QUORB

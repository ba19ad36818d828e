// One puzzle of one room face: its widgets, star objects and objective objects, its budget and
// score, and the snapshots it is rebuilt from. The room owns four, one per face, and forwards
// the frame's update and the play, reset, reload and start requests to the focused one.
//
// A puzzle is editing while physics is paused (widgets and star objects immovable; three paused
// frames after a rebuild the connections are re-snapped) and simulating while physics runs
// (objectives evaluated every frame; a failure, or the completion of what is required, opens
// "ScoreMenu", which reads ComputeScore). The puzzle never switches physics itself.
#pragma once

#include "game/room/GobDescription.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class Gob;
class TiXmlNode;

namespace QUORB
{
class IObjective;

// An objective object of a puzzle and its bookkeeping. The object is held by its id and looked up
// on every use: the GobManager owns it and may remove it (one that stands outside the world is
// killed), and an entry whose object is gone becomes inactive. Update, play, reset and save skip
// an inactive entry.
struct PuzzleObjectiveEntry
{
    std::uint32_t gobID = 0;
    std::uint32_t type = 0; // the objective's type flag when the entry was made; 0 for none
    bool active = true;
    bool done = false;
};

// The widgets and star objects of a puzzle at one moment.
struct PuzzleSnapshot
{
    std::vector<GobDescription> m_widgets;
    std::vector<GobDescription> m_quorbs;
};

class CPuzzle
{
public:
    // Objective type flags; a puzzle keeps the OR of those present.
    enum ObjectiveType : std::uint32_t
    {
        OT_GetToLocation = 1,
        OT_CauseDestruction = 2,
        OT_SquashQuorbi = 4,
        OT_TimeLimit = 8,
        OT_WaterControl = 16,
        OT_Target = 32,
    };
    // The types a puzzle holds at most once.
    static constexpr std::uint32_t kSingleInstanceTypes =
        OT_GetToLocation | OT_CauseDestruction | OT_TimeLimit | OT_WaterControl;
    static constexpr int kAllWidgets = 31;   // bits 0 to 4: every widget kind offered
    static constexpr int kRebuildFrames = 2; // paused updates after a rebuild before the re-snap
    static constexpr int kScorePerObjective = 50;
    static constexpr int kScorePerTargetUnit = 40;
    static constexpr int kScorePerSecondLeft = 5;
    static constexpr int kScorePerBudgetUnit = 10;
    // The objects a puzzle file may describe (objectives, star objects and widgets together);
    // the descriptions past it are left out with one line. A few hundred load within a frame.
    // The editor places no more, and Write saves no more.
    static constexpr std::uint32_t kMaxObjects = 1000;

    CPuzzle();
    // A full clear: every object of the puzzle killed, the water level restored.
    virtual ~CPuzzle();

    CPuzzle(const CPuzzle&) = delete;
    CPuzzle& operator=(const CPuzzle&) = delete;

    // ---- objectives ----
    // False only for a single-instance type already present.
    bool CanAddObjective(std::uint32_t type) const;
    // A new entry, active and not done, for the objective object of that id; its type joins the
    // mask. Nothing for an unknown id.
    void AddObjective(std::uint32_t id);
    // Removes that object's entry (the object itself lives on); its type leaves the mask when it
    // is single-instance or the entry was the last of its type.
    void RemoveObjective(std::uint32_t id);
    // Fewer than two entries of that type.
    bool HasAtMostOneObjectiveOfType(std::uint32_t type) const;
    // The first entry's object of that type; null when the mask lacks the type or none is left.
    Gob* GetObjectiveGob(std::uint32_t type) const;
    // The entry's objective object, or null once it is gone.
    static Gob* GetEntryGob(const PuzzleObjectiveEntry& entry);

    // ---- widgets and star objects (the game files the manipulator's objects here) ----
    void AddWidget(std::uint32_t id) { m_widgetIDs.push_back(id); }
    void RemoveWidget(std::uint32_t id); // one id, by value; nothing for an id not held
    void AddQuorb(std::uint32_t id) { m_quorbIDs.push_back(id); }
    void RemoveQuorb(std::uint32_t id);

    // ---- budget (the widget type name is not used) ----
    // Charges one unit and returns what was charged, for the widget to keep: 1, or 0 in
    // create-puzzle mode, where an author builds free. Never fails, so the budget left may go
    // below zero.
    int SpendBudget(const std::string& widgetType);
    // Gives back what a widget was charged when it was placed (its kept cost), whatever the mode
    // is now.
    void RefundBudget(int paid);

    // ---- play ----
    // The frame's work while this puzzle's face is focused (time and dt in seconds): the
    // objectives while physics runs, the delayed re-snap while it is paused.
    void Update(double time, float dt);
    // Start of simulation: the play snapshot taken, widgets (all but hard nodes) and star objects
    // freed and locked to the focused face's plane, the node groups joined
    // (ConnectionComp::PrepareForPlay), the objectives begun. In create-puzzle mode the budget
    // left is the whole budget.
    void Play();
    // Adds the end-of-puzzle score to the score and returns it.
    int ComputeScore();
    // Back to the file's state with the budget refilled. Outside create-puzzle mode the
    // player's widgets go and the objectives stay; in create-puzzle mode the whole puzzle is
    // read again from PUZZLE_PATH + the file name (an empty name leaves it empty).
    void Reload();
    // Back to the widgets as they stood at the last play; the budget stays as spent.
    void Reset();
    // Reset, taking the play snapshot from the current objects first when asked.
    void Start(bool takeSnapshot);
    // Kills the puzzle's widgets (with their end nodes) and star objects and, unless keeping
    // objectives, its objective objects, the water level it set and the loaded snapshot.
    void Clear(bool keepObjectives);
    // Appends a description of every widget, then of every star object.
    void TakeSnapshot(PuzzleSnapshot& snapshot) const;
    // Creates the snapshot's objects (immovable until play) and resets the objectives.
    void BuildFromSnapshot(const PuzzleSnapshot& snapshot);
    // When the puzzle has a water objective: the water glides to its level over 1 s.
    void LerpToWaterLevel();
    // The delayed connection rebuild: each widget's end nodes are set in place, detached and
    // snapped to their nearest nodes, and the widget follows them.
    void ResnapConnections();

    // ---- the "Puzzle" element ----
    // Builds the puzzle from its element: budget, offered widgets, objectives, star objects and
    // widgets (immovable until play). False, the puzzle unchanged, for a null element or one
    // without children. Counts are bounded by the children present and the whole by kMaxObjects;
    // an object the world cannot hold is left out, each with one line.
    bool Read(const TiXmlNode* node);
    // Appends the "Puzzle" element describing the live objects; false, writing nothing, for a
    // null or non-element parent.
    bool Write(TiXmlNode* parent) const;

    // No objective entries, no star objects and no widgets: nothing to play (an author may still
    // build it in create-puzzle mode).
    bool IsEmpty() const { return m_objectives.empty() && m_quorbIDs.empty() && m_widgetIDs.empty(); }
    // The live objects the puzzle would save (objectives, star objects and widgets): the editor
    // places none past kMaxObjects.
    std::size_t LiveObjectCount() const;

    // ---- state ----
    const std::vector<std::uint32_t>& GetWidgetIDs() const { return m_widgetIDs; }
    const std::vector<std::uint32_t>& GetQuorbIDs() const { return m_quorbIDs; }
    const std::vector<PuzzleObjectiveEntry>& GetObjectives() const { return m_objectives; }
    const std::string& GetFileName() const { return m_fileName; }
    void SetFileName(const std::string& name) { m_fileName = name; }
    bool HasWater() const { return m_hasWater; }
    void SetHasWater(bool hasWater) { m_hasWater = hasWater; }
    float GetWaterLevel() const { return m_waterLevel; }
    void SetWaterLevel(float level) { m_waterLevel = level; }
    int GetScore() const { return m_score; }
    int GetTotalBudget() const { return m_totalBudget; }
    void SetTotalBudget(int budget) { m_totalBudget = budget; }
    int GetBudgetLeft() const { return m_budgetLeft; }
    void SetBudgetLeft(int budget) { m_budgetLeft = budget; }
    bool IsFailed() const { return m_failed; }
    int GetAvailableWidgets() const { return m_availableWidgets; }
    void SetAvailableWidgets(int mask) { m_availableWidgets = mask; }
    int GetWidgetsPlaced() const { return m_widgetsPlaced; }
    std::uint32_t GetObjectiveMask() const { return m_objectiveMask; }
    bool IsRebuildPending() const { return m_rebuildPending; }
    int GetRebuildFrames() const { return m_rebuildFrames; }
    // How many re-snaps have run.
    int GetResnapCount() const { return m_resnapCount; }
    const PuzzleSnapshot* GetLoadedSnapshot() const { return m_loadedSnapshot.get(); }
    const PuzzleSnapshot& GetPlaySnapshot() const { return m_playSnapshot; }

    // The objective an objective object holds, or null.
    static IObjective* GetObjective(Gob* gob);

private:
    // Creates one described object (through the manipulator when it has a creator for the
    // archetype, else from its template) with the description's data installed; null when
    // nothing is built.
    static Gob* CreateDescribed(const GobDescription& description);
    // The editor's selection and grabbed objects dropped after a rebuild.
    static void ResetManipulator();
    // Ends the puzzle: the failed flag and "ScoreMenu" opened.
    void End(bool failed);
    // The entry's objective object. One that is gone turns an active entry inactive, with one
    // line, and its type leaves the mask when no other entry of the type is left.
    Gob* LiveEntryGob(PuzzleObjectiveEntry& entry);
    // A new active entry for an objective object; its type joins the mask.
    void AppendObjective(Gob* gob);
    // Whether an entry whose object lives holds an objective of that type.
    bool HasObjectiveOfType(std::uint32_t type) const;

    std::vector<std::uint32_t> m_widgetIDs;
    std::vector<std::uint32_t> m_quorbIDs;
    std::vector<PuzzleObjectiveEntry> m_objectives;
    std::string m_fileName;
    std::unique_ptr<PuzzleSnapshot> m_loadedSnapshot;
    PuzzleSnapshot m_playSnapshot;
    bool m_hasWater = false;
    float m_waterLevel = 0.0f; // world units
    bool m_rebuildPending = false;
    int m_rebuildFrames = 0;
    int m_score = 0;
    int m_totalBudget = 0;
    int m_budgetLeft = 0; // may become negative
    bool m_failed = false;
    int m_availableWidgets = kAllWidgets;
    int m_widgetsPlaced = 0;
    std::uint32_t m_objectiveMask = 0;
    int m_resnapCount = 0;
};
} // namespace QUORB

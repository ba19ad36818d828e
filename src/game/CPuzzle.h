// One puzzle of one room face: its widgets, star objects and objective objects, its budget and
// score, and the snapshots it is rebuilt from. The room owns four, one per face, and forwards
// the frame's update to the focused one. Loading, playing, resetting and scoring come with the
// puzzle's own behaviour; for now it holds its bookkeeping.
#pragma once

#include "game/GobDescription.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class Gob;

namespace QUORB
{
// An objective object of a puzzle (owned by the GobManager) and its bookkeeping.
struct PuzzleObjectiveEntry
{
    Gob* gob = nullptr;
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
    static constexpr int kAllWidgets = 31; // bits 0 to 4: every widget kind offered

    CPuzzle();
    virtual ~CPuzzle();

    CPuzzle(const CPuzzle&) = delete;
    CPuzzle& operator=(const CPuzzle&) = delete;

    // The frame's work while this puzzle's face is focused; time and dt in seconds.
    void Update(double time, float dt);

    // Game-object ids; appending keeps the order, removing an id not held does nothing.
    void AddWidget(std::uint32_t id) { m_widgetIDs.push_back(id); }
    void RemoveWidget(std::uint32_t id);
    void AddQuorb(std::uint32_t id) { m_quorbIDs.push_back(id); }
    void RemoveQuorb(std::uint32_t id);
    // A new entry, active and not done, for the object of that id; nothing for an unknown id.
    void AddObjective(std::uint32_t id);
    void RemoveObjective(std::uint32_t id);

    const std::vector<std::uint32_t>& GetWidgetIDs() const { return m_widgetIDs; }
    const std::vector<std::uint32_t>& GetQuorbIDs() const { return m_quorbIDs; }
    const std::vector<PuzzleObjectiveEntry>& GetObjectives() const { return m_objectives; }
    const std::string& GetFileName() const { return m_fileName; }
    void SetFileName(const std::string& name) { m_fileName = name; }
    bool HasWater() const { return m_hasWater; }
    float GetWaterLevel() const { return m_waterLevel; }
    int GetTotalBudget() const { return m_totalBudget; }
    int GetBudgetLeft() const { return m_budgetLeft; }
    int GetAvailableWidgets() const { return m_availableWidgets; }
    std::uint32_t GetObjectiveMask() const { return m_objectiveMask; }
    const PuzzleSnapshot* GetLoadedSnapshot() const { return m_loadedSnapshot.get(); }

private:
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
};
} // namespace QUORB

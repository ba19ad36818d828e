#include "game/room/CPuzzle.h"

#include "common/XmlUtil.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/POVComp.h"
#include "engine/phy/CollisionComp.h"
#include "engine/phy/DynamicsEngine.h"
#include "engine/phy/PhysicsComp.h"
#include "game/app/CQUORB.h"
#include "game/app/MenuSend.h"
#include "game/files/GameDataFiles.h"
#include "game/files/GameFileReport.h"
#include "game/manipulator/WidgetManipulator.h"
#include "game/nodes/ConnectionComp.h"
#include "game/nodes/NodeDataComp.h"
#include "game/objectives/CTarget.h"
#include "game/objectives/CTimeLimit.h"
#include "game/objectives/CWaterControl.h"
#include "game/objectives/IObjective.h"
#include "game/objectives/ObjectiveComp.h"
#include "game/widgets/IWidgetData.h"
#include "game/widgets/WidgetDataComp.h"
#include "platform/log.h"
#include "statemachine/MessageName.h"

#include <tinyxml.h>

#include <algorithm>
#include <sstream>

namespace QUORB
{
namespace
{
constexpr float kWaterLerpSeconds = 1.0f;

void RemoveId(std::vector<std::uint32_t>& ids, std::uint32_t id)
{
    const auto found = std::find(ids.begin(), ids.end(), id);
    if (found != ids.end())
        ids.erase(found);
}

bool PhysicsRuns()
{
    return !dorvo::phy::DynamicsEngine::Instance().paused;
}

// Immovable, and its saved copy, as the editor leaves every widget and star object.
void SetImmovable(Gob* gob, bool immovable)
{
    if (dorvo::phy::PhysicsComp* physics = dorvo::phy::GetPhysicsComp(gob))
    {
        physics->immovable = immovable;
        physics->savedImmovable = immovable;
    }
}

dorvo::phy::CollisionComp* CollisionOf(Gob* gob)
{
    return gob != nullptr ? dynamic_cast<dorvo::phy::CollisionComp*>(
                                gob->GetComponent(dorvo::phy::CollisionComp::StaticTypeID()))
                          : nullptr;
}

// Whether the widget's data lets star objects collide with it (widgets without data do).
bool CollidesWithQuorbs(Gob* widget)
{
    const WidgetDataComp* dataComp = WidgetDataComp::Of(widget);
    const IWidgetData* data = dataComp != nullptr ? dataComp->GetData() : nullptr;
    return data == nullptr || data->GetCollideWithQUORB();
}

// An object and, for a widget, the end nodes it holds.
void KillWithEndNodes(Gob* gob)
{
    GobManager& gobs = GobManager::Instance();
    if (const ConnectionComp* connection = ConnectionComp::Of(gob))
    {
        gobs.KillGobByID(connection->GetNodeAID());
        gobs.KillGobByID(connection->GetNodeBID());
    }
    gobs.KillGob(gob);
}

// "(x, y, z) scaled (x, y, z)" for a report line.
std::string DescribeTransform(const GobDescription& description)
{
    std::ostringstream text;
    text << description.position << " scaled " << description.scale;
    return text.str();
}

void OpenScoreMenu()
{
    SendToMenu(MenuTable::kScoreMenu, MSG_OpenMenu);
}
} // namespace

CPuzzle::CPuzzle() : m_loadedSnapshot(std::make_unique<PuzzleSnapshot>()) {}

CPuzzle::~CPuzzle()
{
    Clear(false);
}

IObjective* CPuzzle::GetObjective(Gob* gob)
{
    const ObjectiveComp* comp = ObjectiveComp::Of(gob);
    return comp != nullptr ? comp->GetObjective() : nullptr;
}

// ---- objectives ----

std::size_t CPuzzle::LiveObjectCount() const
{
    GobManager& gobs = GobManager::Instance();
    std::size_t count = 0;
    for (const PuzzleObjectiveEntry& entry : m_objectives)
        if (entry.active && GetEntryGob(entry) != nullptr)
            ++count;
    for (const std::vector<std::uint32_t>* ids : {&m_quorbIDs, &m_widgetIDs})
        for (std::uint32_t id : *ids)
            if (gobs.GetGob(id) != nullptr)
                ++count;
    return count;
}

bool CPuzzle::CanAddObjective(std::uint32_t type) const
{
    return (type & kSingleInstanceTypes) == 0 || (m_objectiveMask & type) == 0;
}

void CPuzzle::AddObjective(std::uint32_t id)
{
    if (Gob* gob = GobManager::Instance().GetGob(id))
        AppendObjective(gob);
}

void CPuzzle::AppendObjective(Gob* gob)
{
    const IObjective* objective = GetObjective(gob);
    const std::uint32_t type = objective != nullptr ? objective->GetType() : 0;
    m_objectives.push_back(PuzzleObjectiveEntry{gob->GetID(), type, true, false});
    m_objectiveMask |= type;
}

void CPuzzle::RemoveObjective(std::uint32_t id)
{
    const auto found = std::find_if(m_objectives.begin(), m_objectives.end(),
                                    [id](const PuzzleObjectiveEntry& entry) { return entry.gobID == id; });
    if (found == m_objectives.end())
        return;
    const std::uint32_t type = found->type;
    m_objectives.erase(found);
    if ((type & kSingleInstanceTypes) != 0 || !HasObjectiveOfType(type))
        m_objectiveMask &= ~type;
}

bool CPuzzle::HasObjectiveOfType(std::uint32_t type) const
{
    return std::any_of(m_objectives.begin(), m_objectives.end(),
                       [type](const PuzzleObjectiveEntry& entry)
                       { return entry.type == type && GetEntryGob(entry) != nullptr; });
}

bool CPuzzle::HasAtMostOneObjectiveOfType(std::uint32_t type) const
{
    int count = 0;
    for (const PuzzleObjectiveEntry& entry : m_objectives)
        if (entry.type == type && GetEntryGob(entry) != nullptr)
            ++count;
    return count < 2;
}

Gob* CPuzzle::GetObjectiveGob(std::uint32_t type) const
{
    if ((m_objectiveMask & type) == 0)
        return nullptr;
    for (const PuzzleObjectiveEntry& entry : m_objectives)
        if (entry.type == type)
            if (Gob* gob = GetEntryGob(entry))
                return gob;
    return nullptr;
}

Gob* CPuzzle::GetEntryGob(const PuzzleObjectiveEntry& entry)
{
    Gob* gob = GobManager::Instance().GetGob(entry.gobID);
    return gob != nullptr && !gob->IsKilled() ? gob : nullptr;
}

Gob* CPuzzle::LiveEntryGob(PuzzleObjectiveEntry& entry)
{
    Gob* gob = GetEntryGob(entry);
    if (gob != nullptr || !entry.active)
        return gob;
    entry.active = false;
    DORVO_LOG(
        "CPuzzle::LiveEntryGob: object %u: the objective object is gone; its objective no longer counts",
        static_cast<unsigned>(entry.gobID));
    if (!HasObjectiveOfType(entry.type))
        m_objectiveMask &= ~entry.type;
    return nullptr;
}

void CPuzzle::RemoveWidget(std::uint32_t id)
{
    RemoveId(m_widgetIDs, id);
}

void CPuzzle::RemoveQuorb(std::uint32_t id)
{
    RemoveId(m_quorbIDs, id);
}

// ---- budget ----

int CPuzzle::SpendBudget(const std::string&)
{
    if (IsCreatePuzzleMode())
        return 0;
    --m_budgetLeft;
    ++m_widgetsPlaced;
    return 1;
}

void CPuzzle::RefundBudget(int paid)
{
    if (paid <= 0)
        return;
    m_budgetLeft += paid;
    --m_widgetsPlaced;
}

// ---- play ----

void CPuzzle::End(bool failed)
{
    m_failed = failed;
    OpenScoreMenu();
}

void CPuzzle::Update(double time, float dt)
{
    if (PhysicsRuns())
    {
        for (PuzzleObjectiveEntry& entry : m_objectives)
        {
            if (!entry.active || entry.done)
                continue;
            IObjective* objective = GetObjective(LiveEntryGob(entry));
            if (objective == nullptr)
                continue;
            objective->Update(time, dt);
            if (objective->GetState() == IObjective::Failed)
            {
                End(true);
                return;
            }
            if (objective->GetState() == IObjective::Completed)
            {
                objective->End();
                if (objective->EndsPuzzle())
                {
                    End(false);
                    return;
                }
                entry.done = true;
            }
        }
        // An entry whose object is gone counts as if the puzzle never had it.
        int requiredLeft = 0;
        bool anyActive = false;
        for (const PuzzleObjectiveEntry& entry : m_objectives)
            if (entry.active)
            {
                anyActive = true;
                if (!entry.done)
                    if (const IObjective* objective = GetObjective(GetEntryGob(entry)))
                        if (objective->IsRequired())
                            ++requiredLeft;
            }
        if (requiredLeft == 0 && anyActive)
        {
            // The seconds left on the clock count in the score.
            for (const PuzzleObjectiveEntry& entry : m_objectives)
                if (IObjective* objective = GetObjective(GetEntryGob(entry)))
                    if (CTimeLimit* timeLimit = objective->AsTimeLimit())
                    {
                        timeLimit->GetCountdown().Stop();
                        break;
                    }
            End(false);
        }
        return;
    }
    if (m_rebuildPending && ++m_rebuildFrames > kRebuildFrames)
    {
        ResnapConnections();
        m_rebuildPending = false;
        m_rebuildFrames = 0;
    }
}

void CPuzzle::ResnapConnections()
{
    ++m_resnapCount;
    for (std::uint32_t id : m_widgetIDs)
    {
        Gob* widget = GobManager::Instance().GetGob(id);
        if (widget == nullptr || widget->GetTemplateName() != "Widget")
            continue;
        ConnectionComp* connection = ConnectionComp::Of(widget);
        Gob* nodes[2] = {connection ? connection->GetNodeA() : nullptr,
                         connection ? connection->GetNodeB() : nullptr};
        if (nodes[0] == nullptr || nodes[1] == nullptr)
            continue;
        for (Gob* node : nodes)
            if (POVComp* pov = GetPOVComp(node))
                pov->SetPosition(pov->GetPosition(), true);
        for (Gob* node : nodes)
            if (NodeDataComp* end = NodeDataComp::Of(node))
                end->DetachAll();
        for (Gob* node : nodes)
            if (NodeDataComp* end = NodeDataComp::Of(node))
                if (end->GetMasterID() == 0)
                    end->SnapToNearestNode();
        connection->UpdateFromNodes(true, true, true, true);
    }
}

void CPuzzle::Play()
{
    m_score = 0;
    // Nothing is charged while a puzzle is built, so its test run has the whole budget left, as
    // the puzzle's player has before placing a widget; the score and the score panel count it.
    if (IsCreatePuzzleMode())
    {
        m_budgetLeft = m_totalBudget;
        // The refill forgives what was paid before it, so no deletion gives it back again.
        for (std::uint32_t id : m_widgetIDs)
            if (const WidgetDataComp* data = WidgetDataComp::Of(GobManager::Instance().GetGob(id)))
                if (data->GetData() != nullptr)
                    data->GetData()->SetCost(0);
    }
    CQUORB* game = CQUORB::Get();
    if (game != nullptr)
        game->SetPuzzleHasWater(m_hasWater);

    m_playSnapshot.m_widgets.clear();
    m_playSnapshot.m_quorbs.clear();
    TakeSnapshot(m_playSnapshot);

    std::uint32_t lockMode = dorvo::phy::PhysicsComp::PLANE_None;
    const int face = game != nullptr ? game->GetFocusedFace() : -1;
    if (face == 0 || face == 2)
        lockMode = dorvo::phy::PhysicsComp::PLANE_XY;
    else if (face == 1 || face == 3)
        lockMode = dorvo::phy::PhysicsComp::PLANE_YZ;

    GobManager& gobs = GobManager::Instance();
    for (std::uint32_t id : m_widgetIDs)
    {
        Gob* widget = gobs.GetGob(id);
        if (widget == nullptr)
            continue;
        dorvo::phy::PhysicsComp* physics = dorvo::phy::GetPhysicsComp(widget);
        if (physics != nullptr && widget->GetArchetypeName() != "HardNode")
        {
            physics->immovable = false;
            physics->savedImmovable = false;
            physics->planeMode = lockMode;
        }
        auto* widgetCollision = CollisionOf(widget);
        if (widgetCollision != nullptr && !CollidesWithQuorbs(widget))
            for (std::uint32_t quorbID : m_quorbIDs)
                if (auto* quorbCollision = CollisionOf(gobs.GetGob(quorbID)))
                    quorbCollision->IgnoreCollisionWith(widgetCollision);
        if (ConnectionComp* connection = ConnectionComp::Of(widget))
            connection->PrepareForPlay();
    }
    for (std::uint32_t id : m_quorbIDs)
        if (dorvo::phy::PhysicsComp* physics = dorvo::phy::GetPhysicsComp(gobs.GetGob(id)))
        {
            physics->immovable = false;
            physics->savedImmovable = false;
            physics->planeMode = lockMode;
        }
    for (PuzzleObjectiveEntry& entry : m_objectives)
        if (entry.active)
            if (IObjective* objective = GetObjective(LiveEntryGob(entry)))
                objective->Begin();
}

int CPuzzle::ComputeScore()
{
    for (const PuzzleObjectiveEntry& entry : m_objectives)
    {
        Gob* gob = GetEntryGob(entry);
        IObjective* objective = GetObjective(gob);
        if (objective == nullptr)
            continue;
        switch (objective->GetType())
        {
        case OT_GetToLocation:
        case OT_CauseDestruction:
        case OT_SquashQuorbi:
        case OT_Target:
            if (objective->GetState() != IObjective::Completed)
                break;
            m_score += kScorePerObjective;
            if (const CTarget* target = objective->AsTarget())
                if (const POVComp* pov = GetPOVComp(gob))
                    m_score += static_cast<int>(static_cast<float>(kScorePerTargetUnit) *
                                                (pov->GetScale().x - target->GetClosestDistance()));
            break;
        case OT_TimeLimit:
            if (objective->GetState() == IObjective::Failed)
                break;
            m_score += kScorePerObjective;
            if (CTimeLimit* timeLimit = objective->AsTimeLimit())
                m_score += static_cast<int>(static_cast<float>(kScorePerSecondLeft) *
                                            timeLimit->GetRemainingSeconds());
            break;
        default: // the water change scores nothing
            break;
        }
    }
    m_score += kScorePerBudgetUnit * m_budgetLeft;
    return m_score;
}

void CPuzzle::Reload()
{
    const bool createMode = IsCreatePuzzleMode();
    Clear(!createMode);
    if (m_loadedSnapshot)
        BuildFromSnapshot(*m_loadedSnapshot);
    else
    {
        // Read from where the room saved it; a puzzle never saved has nothing to read.
        m_loadedSnapshot = std::make_unique<PuzzleSnapshot>();
        if (!m_fileName.empty())
            LoadPuzzleFile(*this, CQUORB::GetPuzzlePath() + m_fileName);
    }
    m_rebuildPending = true;
    m_rebuildFrames = 0;
    ResetManipulator();
    m_failed = false;
    m_budgetLeft = m_totalBudget;
    m_widgetsPlaced = 0;
    m_score = 0;
}

void CPuzzle::Reset()
{
    Clear(true);
    BuildFromSnapshot(m_playSnapshot);
    m_rebuildPending = true;
    m_rebuildFrames = 0;
    ResetManipulator();
    m_failed = false;
    m_score = 0;
}

void CPuzzle::Start(bool takeSnapshot)
{
    if (takeSnapshot)
    {
        m_playSnapshot.m_widgets.clear();
        m_playSnapshot.m_quorbs.clear();
        TakeSnapshot(m_playSnapshot);
    }
    Reset();
}

void CPuzzle::Clear(bool keepObjectives)
{
    GobManager& gobs = GobManager::Instance();
    if (!keepObjectives)
    {
        for (const PuzzleObjectiveEntry& entry : m_objectives)
            gobs.KillGobByID(entry.gobID);
        m_objectives.clear();
        if (m_hasWater)
        {
            m_hasWater = false;
            if (CQUORB* game = CQUORB::Get())
                game->RestoreWaterLevel();
        }
        m_objectiveMask = 0;
    }
    for (std::uint32_t id : m_widgetIDs)
        KillWithEndNodes(gobs.GetGob(id));
    m_widgetIDs.clear();
    for (std::uint32_t id : m_quorbIDs)
        gobs.KillGobByID(id);
    m_quorbIDs.clear();
    if (!keepObjectives)
        m_loadedSnapshot.reset();
}

void CPuzzle::TakeSnapshot(PuzzleSnapshot& snapshot) const
{
    GobManager& gobs = GobManager::Instance();
    for (std::uint32_t id : m_widgetIDs)
        if (Gob* gob = gobs.GetGob(id))
        {
            snapshot.m_widgets.emplace_back();
            GobDescription::FromGob(gob, snapshot.m_widgets.back());
        }
    for (std::uint32_t id : m_quorbIDs)
        if (Gob* gob = gobs.GetGob(id))
        {
            snapshot.m_quorbs.emplace_back();
            GobDescription::FromGob(gob, snapshot.m_quorbs.back());
        }
}

Gob* CPuzzle::CreateDescribed(const GobDescription& description)
{
    // Through the manipulator, which builds an object with its nodes, fields, links and
    // callbacks; an archetype it has no creator for is made from its template. Either way the
    // description's widget data and objective are installed.
    const CQUORB* game = CQUORB::Get();
    WidgetManipulator* manipulator = game != nullptr ? game->GetWidgetManipulator() : nullptr;
    const std::uint32_t id =
        manipulator != nullptr
            ? manipulator->CreateWidgetAtPos(description.archetypeName, description.position,
                                             description.orientation, description.scale)
            : 0;
    if (id == 0)
        return GobDescription::CreateGob(description);
    Gob* gob = GobManager::Instance().GetGob(id);
    GobDescription::ApplyToGob(gob, description);
    return gob;
}

void CPuzzle::ResetManipulator()
{
    if (const CQUORB* game = CQUORB::Get())
        if (WidgetManipulator* manipulator = game->GetWidgetManipulator())
            manipulator->Reset();
}

void CPuzzle::BuildFromSnapshot(const PuzzleSnapshot& snapshot)
{
    auto report = [](const GobDescription& description)
    {
        DORVO_LOG("CPuzzle::BuildFromSnapshot: no object is built under the archetype \"%s\"; the puzzle is "
                  "rebuilt without it",
                  description.archetypeName.c_str());
    };
    for (const GobDescription& description : snapshot.m_widgets)
        if (Gob* gob = CreateDescribed(description))
        {
            SetImmovable(gob, true);
            m_widgetIDs.push_back(gob->GetID());
        }
        else
            report(description);
    for (const GobDescription& description : snapshot.m_quorbs)
        if (Gob* gob = CreateDescribed(description))
        {
            SetImmovable(gob, true);
            m_quorbIDs.push_back(gob->GetID());
        }
        else
            report(description);
    for (PuzzleObjectiveEntry& entry : m_objectives)
        if (entry.active)
        {
            entry.done = false;
            if (IObjective* objective = GetObjective(LiveEntryGob(entry)))
                objective->Reset();
        }
}

void CPuzzle::LerpToWaterLevel()
{
    if (!m_hasWater)
        return;
    if (CQUORB* game = CQUORB::Get())
        game->LerpWaterLevel(m_waterLevel, kWaterLerpSeconds);
}

// ---- the "Puzzle" element ----

bool CPuzzle::Read(const TiXmlNode* node)
{
    const TiXmlElement* element = node != nullptr ? node->ToElement() : nullptr;
    if (element == nullptr)
        return false;
    const TiXmlNode* child = XmlFirstChildElement(element);
    if (child == nullptr)
    {
        ReportGameFileFault("CPuzzle::Read", element,
                            "the puzzle <" + element->ValueStr() + "> is empty; nothing is read from it");
        return false;
    }
    XmlReadInt(child, &m_totalBudget);
    m_budgetLeft = m_totalBudget;
    if ((child = XmlNextSiblingElement(child)) != nullptr)
        XmlReadInt(child, &m_availableWidgets);

    // Each list: a count, then that many descriptions; never more than the elements present, and
    // never more than kMaxObjects in the whole puzzle.
    std::uint32_t built = 0;
    bool capReported = false;
    auto readList = [&child, &built, &capReported](const char* countName, auto&& take)
    {
        if (child == nullptr || (child = XmlNextSiblingElement(child)) == nullptr)
            return;
        unsigned int count = 0;
        XmlReadUint(child, &count);
        const std::uint32_t entries = CheckedRecordCount(child, count, countName);
        for (std::uint32_t i = 0; i < entries; ++i)
        {
            const TiXmlNode* next = XmlNextSiblingElement(child);
            if (next == nullptr)
                break; // reported by CheckedRecordCount
            child = next;
            if (built >= kMaxObjects)
            {
                if (!capReported)
                    ReportGameFileFault("CPuzzle::Read", child,
                                        "the puzzle describes more than " + std::to_string(kMaxObjects) +
                                            " objects; the rest are left out");
                capReported = true;
                continue;
            }
            GobDescription description;
            if (!GobDescription::Read(child, description))
                continue;
            Gob* gob = CreateDescribed(description);
            if (gob == nullptr)
            {
                ReportGameFileFault("CPuzzle::Read", child,
                                    "no object is built under the archetype \"" + description.archetypeName +
                                        "\"; the description is skipped");
                continue;
            }
            ++built;
            if (gob->IsKilled())
            {
                // The oct tree removes what its world box does not hold as soon as it is placed.
                ReportGameFileFault("CPuzzle::Read", child,
                                    "the \"" + description.archetypeName + "\" at " +
                                        DescribeTransform(description) +
                                        " does not fit in the world; it is left out");
                KillWithEndNodes(gob);
                continue;
            }
            take(gob, description);
        }
    };
    readList("NumObjectives",
             [this](Gob* gob, const GobDescription&)
             {
                 AppendObjective(gob);
                 if (const IObjective* objective = GetObjective(gob))
                     if (const CWaterControl* water = objective->AsWaterControl())
                     {
                         m_waterLevel = water->GetBeginWaterLevel();
                         m_hasWater = true;
                     }
             });
    if (!m_loadedSnapshot)
        m_loadedSnapshot = std::make_unique<PuzzleSnapshot>();
    readList("NumQuorbs",
             [this](Gob* gob, const GobDescription& description)
             {
                 m_loadedSnapshot->m_quorbs.push_back(description);
                 SetImmovable(gob, true);
                 m_quorbIDs.push_back(gob->GetID());
             });
    readList("NumWidgets",
             [this](Gob* gob, const GobDescription& description)
             {
                 m_loadedSnapshot->m_widgets.push_back(description);
                 SetImmovable(gob, true);
                 m_widgetIDs.push_back(gob->GetID());
             });
    m_rebuildPending = true;
    m_rebuildFrames = 0;
    return true;
}

bool CPuzzle::Write(TiXmlNode* parent) const
{
    if (parent == nullptr || parent->ToElement() == nullptr)
        return false;
    GobManager& gobs = GobManager::Instance();
    TiXmlElement element("Puzzle");
    XmlWriteInt(&element, m_totalBudget, "TotalBudget");
    XmlWriteInt(&element, m_availableWidgets, "AvailableWidgets");

    // Only what still lives is described, so each count is what follows it.
    auto writeList = [&element](const char* countName, const char* role, const std::vector<Gob*>& list)
    {
        XmlWriteUint(&element, static_cast<unsigned int>(list.size()), countName);
        for (Gob* gob : list)
        {
            GobDescription description;
            GobDescription::FromGob(gob, description);
            GobDescription::Write(&element, role, description);
        }
    };
    std::vector<Gob*> objectives;
    for (const PuzzleObjectiveEntry& entry : m_objectives)
        if (entry.active)
            if (Gob* gob = GetEntryGob(entry))
                objectives.push_back(gob);
    auto live = [&gobs](const std::vector<std::uint32_t>& ids)
    {
        std::vector<Gob*> list;
        for (std::uint32_t id : ids)
            if (Gob* gob = gobs.GetGob(id))
                list.push_back(gob);
        return list;
    };
    std::vector<Gob*> quorbs = live(m_quorbIDs);
    std::vector<Gob*> widgets = live(m_widgetIDs);
    // Never more than the reader takes back: the objects past kMaxObjects, in the order it reads
    // them, would be lost at the next load without a word, so they are left out here with one.
    const std::size_t total = objectives.size() + quorbs.size() + widgets.size();
    if (total > kMaxObjects)
    {
        std::size_t room = kMaxObjects;
        for (std::vector<Gob*>* list : {&objectives, &quorbs, &widgets})
        {
            if (list->size() > room)
                list->resize(room);
            room -= list->size();
        }
        DORVO_LOG(
            "CPuzzle::Write: %s: the puzzle holds %zu objects, more than the %u a puzzle file may hold; "
            "the last %zu are not saved",
            m_fileName.c_str(), total, static_cast<unsigned>(kMaxObjects), total - kMaxObjects);
    }
    writeList("NumObjectives", "ObjectiveDescription", objectives);
    writeList("NumQuorbs", "QuorbDescription", quorbs);
    writeList("NumWidgets", "WidgetDescription", widgets);
    parent->InsertEndChild(element);
    return true;
}
} // namespace QUORB

// Small helpers of the puzzle and room tests: puzzle and room files as text, objective objects
// made directly, and lookups of the running game.
#pragma once

#include "common/math/Vector3.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/POVComp.h"
#include "game/objectives/IObjective.h"
#include "game/objectives/ObjectiveComp.h"

#include <memory>
#include <string>
#include <vector>

namespace puzzletest
{
inline std::string Num(float value)
{
    std::string text = std::to_string(value);
    return text;
}

inline std::string VectorXml(const char* name, const math::Vector3& v)
{
    return std::string("<Vector name=\"") + name + "\"><float name=\"x\">" + Num(v.x) +
           "</float><float name=\"y\">" + Num(v.y) + "</float><float name=\"z\">" + Num(v.z) +
           "</float></Vector>";
}

// One "GobDescription" element; objectiveXml, when given, is the "ObjectiveID" and the
// objective's own element.
inline std::string DescriptionXml(const char* role, const char* archetype, const math::Vector3& position,
                                  const math::Vector3& scale, const std::string& objectiveXml = std::string())
{
    return std::string("<GobDescription name=\"") + role + "\"><string name=\"Archetype\">" + archetype +
           "</string>" + VectorXml("Position", position) +
           "<Quat name=\"Orientation\"><float name=\"x\">0</float><float name=\"y\">0</float>"
           "<float name=\"z\">0</float><float name=\"w\">1</float></Quat>" +
           VectorXml("Scale", scale) + "<bool name=\"HasWidgetData\">false</bool>" +
           "<bool name=\"HasObjective\">" + (objectiveXml.empty() ? "false" : "true") + "</bool>" +
           objectiveXml + "</GobDescription>";
}

inline std::string DescriptionXml(const char* role, const char* archetype, const math::Vector3& position,
                                  float scale, const std::string& objectiveXml = std::string())
{
    return DescriptionXml(role, archetype, position, math::Vector3(scale, scale, scale), objectiveXml);
}

inline std::string LocationXml()
{
    return "<int name=\"ObjectiveID\">1</int><GetToLocation><enum "
           "name=\"QuorbCheckType\">0</enum></GetToLocation>";
}

inline std::string TimeLimitXml(float seconds)
{
    return "<int name=\"ObjectiveID\">8</int><TimeLimit><float name=\"TimeInterval\">" + Num(seconds) +
           "</float></TimeLimit>";
}

inline std::string TargetXml()
{
    return "<int name=\"ObjectiveID\">32</int><Target/>";
}

struct PuzzleText
{
    int budget = 0;
    int availableWidgets = 31;
    std::vector<std::string> objectives; // "GobDescription" elements
    std::vector<std::string> quorbs;
    std::vector<std::string> widgets;
};

inline std::string PuzzleXml(const PuzzleText& puzzle)
{
    std::string text = "<?xml version=\"1.0\" ?>\n<File><Puzzle><int name=\"TotalBudget\">" +
                       std::to_string(puzzle.budget) + "</int><int name=\"AvailableWidgets\">" +
                       std::to_string(puzzle.availableWidgets) + "</int>";
    auto list = [&text](const char* count, const std::vector<std::string>& items)
    {
        text += std::string("<uint name=\"") + count + "\">" + std::to_string(items.size()) + "</uint>";
        for (const std::string& item : items)
            text += item;
    };
    list("NumObjectives", puzzle.objectives);
    list("NumQuorbs", puzzle.quorbs);
    list("NumWidgets", puzzle.widgets);
    return text + "</Puzzle></File>\n";
}

inline std::string RoomXml(const std::vector<std::string>& puzzles)
{
    std::string text = "<?xml version=\"1.0\" ?>\n<File><RoomData><string name=\"Name\"></string>"
                       "<list name=\"Puzzles\" size=\"" +
                       std::to_string(puzzles.size()) + "\">";
    for (const std::string& name : puzzles)
        text += "<string name=\"PuzzleName\">" + name + "</string>";
    return text + "</list></RoomData></File>\n";
}

// An objective object of that archetype holding the objective, placed and scaled.
inline Gob* MakeObjective(const char* archetype, QUORB::IObjective* objective, const math::Vector3& position,
                          float scale)
{
    std::unique_ptr<QUORB::IObjective> owned(objective);
    Gob* gob = GobManager::Instance().CreateGob(archetype);
    if (gob == nullptr)
        return nullptr;
    if (POVComp* pov = GetPOVComp(gob))
    {
        pov->SetPosition(position, true);
        pov->SetScale(math::Vector3(scale, scale, scale), true);
    }
    auto* comp = dynamic_cast<QUORB::ObjectiveComp*>(gob->GetComponent(QUORB::ObjectiveComp::StaticTypeID()));
    if (comp == nullptr)
        return nullptr;
    comp->SetObjective(std::move(owned));
    comp->ApplyObjectiveToGob();
    return gob;
}

// A gob of the archetype at the position.
inline Gob* MakeAt(const char* archetype, const math::Vector3& position)
{
    Gob* gob = GobManager::Instance().CreateGob(archetype);
    if (gob != nullptr)
        if (POVComp* pov = GetPOVComp(gob))
            pov->SetPosition(position, true);
    return gob;
}
} // namespace puzzletest

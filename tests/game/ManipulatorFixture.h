// The editor booted on the committed empty room for the widget manipulator's tests: the front
// face focused (the camera glided to it), editor mode on, and helpers that point the mouse at
// places of the focused face through the real input path.
#pragma once

#include "GameTestWorld.h"

#include "common/math/Vector3.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/POVComp.h"
#include "game/app/CQUORB.h"
#include "game/manipulator/ManipulatorLogic.h"
#include "game/manipulator/WidgetManipulator.h"
#include "game/room/CPuzzle.h"
#include "game/room/CRoom.h"

#include <memory>
#include <string>
#include <vector>

namespace manipulatortest
{
inline gametest::GameTestSetup RoomSetup()
{
    gametest::GameTestSetup setup;
    setup.copyRooms = true;
    return setup;
}

struct Editor
{
    // roomFile: a room of the setup's files loaded in place of the empty room.
    explicit Editor(const gametest::GameTestSetup& setup = RoomSetup(), unsigned face = 0,
                    const std::string& roomFile = std::string())
        : world(std::make_unique<gametest::GameTestWorld>(setup))
    {
        if (!world->Booted())
            return;
        world->Frames(3);
        if (!roomFile.empty())
            game().LoadRoom(roomFile, false);
        if (game().GetRoom() == nullptr)
            return;
        game().GetRoom()->FocusFace(face);
        world->Frames(35); // the look-at glides over one second
        world->Console("toggleeditor");
        world->Frames(2);
        ready = game().IsEditorMode() && game().GetFocusedPuzzle() != nullptr && logic() != nullptr &&
                logic()->GetState() == QUORB::ManipulatorLogic::STATE_Idle;
    }

    QUORB::CQUORB& game() const { return world->Game(); }
    QUORB::WidgetManipulator& manipulator() const { return *game().GetWidgetManipulator(); }
    QUORB::ManipulatorLogic* logic() const { return manipulator().GetLogic(); }
    int state() const { return logic()->GetState(); }
    QUORB::CPuzzle& puzzle() const { return *game().GetFocusedPuzzle(); }

    // A point of the front face (z = 20): x from -11 to 11, y from -6 to 10.
    static math::Vector3 Front(float x, float y) { return math::Vector3(x, y, 20.0f); }

    // A click: press and release at the point, no drag.
    void ClickAt(const math::Vector3& at)
    {
        world->PressAt(at);
        world->LeftUp();
    }
    void RightClickAt(const math::Vector3& at)
    {
        world->RightPressAt(at);
        world->RightUp();
    }
    // The type chosen as the console's "setcwt" chooses it.
    void Choose(const std::string& type) { world->Console("setcwt " + type); }

    // An object made as the puzzle makes its own (CreateWidgetAtPos) at a place of the front
    // face, filed in the puzzle by its kind; null when nothing was built. Widgets lie along the
    // face; star objects and objectives are turned as the editor turns them, facing the camera.
    Gob* Place(const std::string& type, const math::Vector3& at,
               const math::Vector3& scale = math::Vector3(3.0f, 1.0f, 1.0f))
    {
        math::Quaternion orientation;
        orientation.SetIdentity();
        if (type != "Platform" && type != "Bar" && type != "Accelerator")
            orientation.SetFromDirection(math::Vector3(0.0f, 0.0f, -1.0f));
        const std::uint32_t id = manipulator().CreateWidgetAtPos(type, at, orientation, scale);
        Gob* gob = QUORB::WidgetManipulator::Live(id);
        if (gob == nullptr)
            return nullptr;
        const std::string& kind = gob->GetTemplateName();
        if (kind == "QUORB")
            puzzle().AddQuorb(id);
        else if (kind == "Objective")
            puzzle().AddObjective(id);
        else
            puzzle().AddWidget(id);
        return gob;
    }

    // An object straight from its template at a place, filed among the puzzle's widgets (for the
    // kinds no create operation makes yet).
    Gob* Make(const std::string& archetype, const math::Vector3& at)
    {
        Gob* gob = GobManager::Instance().CreateGobAtPos(archetype, at, true);
        if (gob != nullptr)
            puzzle().AddWidget(gob->GetID());
        return gob;
    }

    // Objects of the puzzle, looked up by id.
    std::vector<Gob*> Widgets() const { return Live(puzzle().GetWidgetIDs()); }
    std::vector<Gob*> Quorbs() const { return Live(puzzle().GetQuorbIDs()); }
    static std::vector<Gob*> Live(const std::vector<std::uint32_t>& ids)
    {
        std::vector<Gob*> gobs;
        for (std::uint32_t id : ids)
            if (Gob* gob = QUORB::WidgetManipulator::Live(id))
                gobs.push_back(gob);
        return gobs;
    }
    // Every live object of that archetype.
    static std::vector<Gob*> OfArchetype(const std::string& archetype)
    {
        std::vector<Gob*> gobs;
        GobManager& manager = GobManager::Instance();
        for (std::uint32_t id = 1; id < manager.GetNextID(); ++id)
            if (Gob* gob = QUORB::WidgetManipulator::Live(id))
                if (gob->GetArchetypeName() == archetype)
                    gobs.push_back(gob);
        return gobs;
    }

    std::unique_ptr<gametest::GameTestWorld> world;
    bool ready = false;
};

inline math::Vector3 PositionOf(Gob* gob)
{
    const POVComp* pov = GetPOVComp(gob);
    return pov != nullptr ? pov->GetPosition() : math::Vector3();
}
} // namespace manipulatortest

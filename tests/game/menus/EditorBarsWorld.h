// The menu test world inside a puzzle with the editor on, for the tests of the editor bars
// (property bar, value editor): objects placed on the front face as the puzzle makes its own,
// picked with the mouse through the real input path, and the bars' units read as a player
// sees them.
#pragma once

#include "PuzzleMenuWorld.h"

#include "common/math/Quaternion.h"
#include "engine/Gob.h"
#include "engine/POVComp.h"
#include "game/manipulator/WidgetManipulator.h"
#include "game/menus/BaseMenu.h"
#include "statemachine/ACMsgTaker.h"

#include <memory>
#include <string>
#include <vector>

namespace editorbars
{
using namespace puzzlemenutest;
using Strings = std::vector<std::string>;

constexpr double kSlide = 0.4; // seconds: past the bars' slides
const char* const kPropertyBar = "WidgetPropertyBarMenu";
const char* const kValueBar = "PropValueMenu";

// A point of the front face (z = 20): x from -11 to 11, y from -6 to 10.
inline math::Vector3 Front(float x, float y)
{
    return math::Vector3(x, y, 20.0f);
}

inline math::Vector3 PositionOf(const Gob* gob)
{
    const POVComp* pov = gob ? GetPOVComp(gob) : nullptr;
    return pov ? pov->GetPosition() : math::Vector3();
}

// The menu object's machine as its class.
inline QUORB::BaseMenu* MenuMachine(const std::string& name)
{
    Database* database = common::Singleton<Database>::Instance();
    ACMsgTaker* taker = database->FindById(database->FindIdByName(name));
    return taker ? dynamic_cast<QUORB::BaseMenu*>(taker->GetActiveStateMachine()) : nullptr;
}

struct EditorBars
{
    // An empty front puzzle; createPuzzle: puzzle building, where star objects and objectives
    // can be picked too.
    explicit EditorBars(bool createPuzzle) : play(puzzletest::PuzzleText())
    {
        if (!play.Ready())
            return;
        if (createPuzzle)
            play.Console("togglecm");
        play.Enter();
        play.world->RunFor(kSlide);
    }

    bool Ready() const { return play.Ready() && play.Game().IsEditorMode(); }
    gametest::MenuTestWorld& World() const { return *play.world; }
    QUORB::WidgetManipulator& Manipulator() const { return *play.Game().GetWidgetManipulator(); }

    // An object made as the puzzle makes its own, filed by its kind; null when none was built.
    // Widgets lie along the face; the others face the camera, as the editor turns them.
    Gob* Place(const std::string& type, const math::Vector3& at,
               const math::Vector3& scale = math::Vector3(3.0f, 1.0f, 1.0f))
    {
        math::Quaternion orientation;
        orientation.SetIdentity();
        if (type != "Platform" && type != "Bar" && type != "Accelerator")
            orientation.SetFromDirection(play.room->GetFace(0).normal);
        const std::uint32_t id = Manipulator().CreateWidgetAtPos(type, at, orientation, scale);
        Gob* gob = QUORB::WidgetManipulator::Live(id);
        if (!gob)
            return nullptr;
        const std::string& kind = gob->GetTemplateName();
        if (kind == "QUORB")
            play.puzzle->AddQuorb(id);
        else if (kind == "Objective")
            play.puzzle->AddObjective(id);
        else
            play.puzzle->AddWidget(id);
        return gob;
    }

    // A left click on the object (with Ctrl held when adding to the selection), then the bars'
    // slides.
    void Select(const Gob* gob, bool add = false)
    {
        const std::uint32_t kCtrl = 29;
        if (add)
            World().KeyDown(kCtrl);
        World().PressAt(PositionOf(gob));
        World().LeftUp();
        if (add)
            World().KeyUp(kCtrl);
        World().RunFor(kSlide);
    }

    // A click on a bar's button, then the slides.
    bool Click(const std::string& menu, const std::string& button)
    {
        const bool clicked = World().Click(menu, button);
        World().RunFor(kSlide);
        return clicked;
    }

    // The named units of a menu that are visible, in the order given.
    Strings Shown(const std::string& menu, const Strings& names) const
    {
        Strings shown;
        for (const std::string& name : names)
            if (World().Unit(menu, name).visible)
                shown.push_back(name);
        return shown;
    }
    Strings Checked(const std::string& menu, const Strings& names) const
    {
        Strings checked;
        for (const std::string& name : names)
            if (World().Unit(menu, name).checked)
                checked.push_back(name);
        return checked;
    }
    int X(const std::string& menu, const std::string& unit) const { return World().Unit(menu, unit).x; }

    PuzzleMenuWorld play;
};
} // namespace editorbars

// How a player solves each puzzle of the campaign's "Tutorial.xml", in one place for every test
// that plays them (the game's own and the menus'): for each face, the widgets bought and the
// mouse work on the face, as world points of the face's plane, and the budget left afterwards.
// The anchors, balls and locations the points refer to are those tools/rooms/make_tutorial.py
// writes into the room's puzzle files.
#pragma once

#include "common/math/Vector3.h"

#include <string>
#include <vector>

namespace tutorial
{
constexpr const char* kRoomFile = "Tutorial.xml";
constexpr const char* kProfileFile = "Blank.xml";

// One press, drag and release of the left button on the focused face: with a type, the editor's
// current widget type is set to it first ("setcwt"), so the press creates one; without one the
// press grabs what lies under the cursor and the drag moves it. A press released where it was
// made (from == to) is a click.
struct Placement
{
    std::string type;
    math::Vector3 from;
    math::Vector3 to;
};

struct Solution
{
    unsigned face = 0;
    std::vector<Placement> placements;
    int budgetLeft = 0; // after the placements
};

// Face 0: a platform between the two anchors at (-2.4, 0) and (2.4, 0) catches the ball in the
// location above the middle of the bridge. Clicked below the location (a platform standing up
// from the click), then its lower end dragged onto the left anchor and its upper end onto the
// right one; each end is grabbed just beyond the platform's end, on the node alone.
inline Solution Face0()
{
    const math::Vector3 leftAnchor(-2.4f, 0.0f, 20.0f);
    const math::Vector3 rightAnchor(2.4f, 0.0f, 20.0f);
    const math::Vector3 click(0.0f, -4.0f, 20.0f);
    // The standing platform's upper end, about 2.449 (the shortest platform) above the click,
    // seen from the left anchor once the lower end is there: grabbed 0.4 beyond it.
    const math::Vector3 upperEnd(0.0f, -4.0f + 2.4495f, 20.0f);
    const math::Vector3 along = (upperEnd - leftAnchor).GetNormalized();
    Solution solution;
    solution.face = 0;
    solution.placements = {{"Platform", click, click},
                           {"", click + math::Vector3(0.0f, -0.4f, 0.0f), leftAnchor},
                           {"", upperEnd + along * 0.4f, rightAnchor}};
    solution.budgetLeft = 2;
    return solution;
}

// Every face's solution, in face order (the faces whose widgets the editor cannot build yet are
// left out).
inline std::vector<Solution> Solutions()
{
    return {Face0()};
}
} // namespace tutorial

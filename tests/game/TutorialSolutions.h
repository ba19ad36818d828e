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

// The world point u units to the right of the face's middle (as the camera looking at it shows
// it) at height v: u from -11 to 11, v from -6 to 10.
inline math::Vector3 FacePoint(unsigned face, float u, float v)
{
    switch (face)
    {
    case 1:
        return math::Vector3(20.0f, v, -u);
    case 2:
        return math::Vector3(-u, v, -20.0f);
    case 3:
        return math::Vector3(-20.0f, v, u);
    default:
        return math::Vector3(u, v, 20.0f);
    }
}

// Face 0: a platform between the two anchors at (-2.4, 0) and (2.4, 0) catches the falling ball
// in the location above the middle of the bridge: one drag from the left anchor to the right one
// (4.8 units: one segment, one unit of the budget of 3); both ends snap onto the anchors.
inline Solution Face0()
{
    Solution solution;
    solution.face = 0;
    solution.placements = {{"Platform", FacePoint(0, -2.4f, 0.0f), FacePoint(0, 2.4f, 0.0f)}};
    solution.budgetLeft = 2;
    return solution;
}

// Face 1: an accelerator between the anchors at (-8.5, 5) and (-4.5, 5), dragged towards the
// target, catches the falling ball and throws it along its length through the target.
inline Solution Face1()
{
    Solution solution;
    solution.face = 1;
    solution.placements = {{"Accelerator", FacePoint(1, -8.5f, 5.0f), FacePoint(1, -4.5f, 5.0f)}};
    solution.budgetLeft = 2;
    return solution;
}

// Face 2: a gravity switch on the ramp, dragged to the right, towards the wall: rolling over it
// the ball turns gravity towards the wall, leaves the ramp and falls sideways into the location
// under the ledge, where it rests against the wall.
inline Solution Face2()
{
    Solution solution;
    solution.face = 2;
    solution.placements = {{"GravitySwitch", FacePoint(2, -4.0f, 5.0f), FacePoint(2, -2.5f, 5.0f)}};
    solution.budgetLeft = 2;
    return solution;
}

// Face 3: a magnet above the charged drawbridge that lies across the ramp (from (-4.5, 4.5) up
// to its hinge at (1.5, 7.7)), clicked at (-3.5, 8): the bridge's negative charge and the magnet's
// positive one attract, the bridge swings up against the magnet, and the ball rolls under it
// down the ramp and flies through the target.
inline Solution Face3()
{
    Solution solution;
    solution.face = 3;
    solution.placements = {{"Magnet", FacePoint(3, -3.5f, 8.0f), FacePoint(3, -3.5f, 8.0f)}};
    solution.budgetLeft = 2;
    return solution;
}

// Every face's solution, in face order.
inline std::vector<Solution> Solutions()
{
    return {Face0(), Face1(), Face2(), Face3()};
}
} // namespace tutorial

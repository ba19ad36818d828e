// The game's picker, the application's picker once the game exists: it finds the object under a
// screen point for the widget manipulator, testing each object on the ray's path first against
// its bounding volume and then, where its model has a BSP tree, against the model's triangles (a
// magnet against the box of its model, so the inside of the horseshoe picks it too).
// Water, the room's construction quads, hidden models and killed objects are never picked. It
// picks only while the editor is on (the game enables it with the editor) and only when asked: a
// click by itself picks nothing.
#pragma once

#include "engine/CPicker.h"

namespace QUORB
{
class CQUORBPicker : public dorvo::CPicker
{
public:
    // Never picks and never takes the event: the manipulator picks when it needs to.
    bool OnInputEvent(const dorvo::input::InputEvent& event) override;
    // Only while enabled. Afterwards the picked id names the nearest object hit (0 for none; of
    // two at the same distance the one tested first, objects of one oct-tree node by ascending
    // id), the previous id the one picked before, and the pick point the world hit ((inf, inf,
    // inf) for none). With boundsOnly the triangles are not tested. True on a hit.
    bool Pick(const math::Vector3& screenPoint, bool boundsOnly) override;
};
} // namespace QUORB

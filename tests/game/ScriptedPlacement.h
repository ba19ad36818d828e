// Plays a puzzle as a player does, through the game's real input path: the room turned to a face
// with the arrow keys, the editor switched on ("toggleeditor"), each placement's widget type
// chosen ("setcwt"), the left button pressed, dragged and released at the screen points of world
// points of the face, and "play". Used with the Tutorial's solutions (TutorialSolutions.h) by the
// game's and the menus' tests:
//
//   gametest::TurnToFace(world, 0);
//   gametest::PlaySolution(world, tutorial::Face0());   // the run has started
#pragma once

#include "GameTestWorld.h"
#include "TutorialSolutions.h"

#include "engine/phy/DynamicsEngine.h"
#include "game/app/CQUORB.h"
#include "game/camera/CCamera.h"

namespace gametest
{
// Frames of 1/30 s the drag of one placement takes from its press to its release point.
constexpr int kDragSteps = 8;

// Runs frames until the camera's look-at glide has ended (at most the given frames); false when
// it still runs.
inline bool WaitForGlide(GameTestWorld& world, int frames = 60)
{
    for (int frame = 0; frame < frames; ++frame)
    {
        const QUORB::CCamera* camera = world.Game().GetGameCamera();
        if (camera == nullptr || !camera->IsInterpolating())
            return true;
        world.Frame();
    }
    return !world.Game().GetGameCamera()->IsInterpolating();
}

// Switches the editor on or off with "toggleeditor" when it is not so already, and lets the frame
// that follows run.
inline void SetEditor(GameTestWorld& world, bool on)
{
    if (world.Game().IsEditorMode() != on)
        world.Console("toggleeditor");
    world.Frame();
}

// Turns the room to the face with the Right key, unless the camera looks at it already (the
// editor is switched off for it, as the keys do nothing in the editor), then waits for the
// camera's glide; false when the face is not focused afterwards.
inline bool TurnToFace(GameTestWorld& world, unsigned face)
{
    SetEditor(world, false);
    WaitForGlide(world);
    if (world.Game().GetRoom() == nullptr || face > 3)
        return false;
    for (int turn = 0; turn < 4 && world.Game().GetFocusedFace() != static_cast<int>(face); ++turn)
    {
        world.Key(kRightArrow);
        WaitForGlide(world);
    }
    return world.Game().GetFocusedFace() == static_cast<int>(face);
}

// One placement on the focused face (the editor must be on): its type chosen, then the press,
// the drag in kDragSteps frames and the release; the type is cleared afterwards, so the next
// press grabs rather than creates.
inline void Place(GameTestWorld& world, const tutorial::Placement& placement)
{
    if (!placement.type.empty())
        world.Console("setcwt " + placement.type);
    world.PressAt(placement.from);
    if (!(placement.from == placement.to))
        for (int step = 1; step <= kDragSteps; ++step)
            world.PointAt(placement.from +
                          (placement.to - placement.from) * (static_cast<float>(step) / kDragSteps));
    world.ReleaseAt(placement.to);
    world.Console("clearcwt");
    world.Frame();
}

// The editor on, every placement of the solution on the focused face, and "play".
inline void PlaySolution(GameTestWorld& world, const tutorial::Solution& solution)
{
    SetEditor(world, true);
    // The editor re-aims the camera at the face: points are pointed at once it stands still, or
    // a click's press and release would land on different pixels (a drag).
    WaitForGlide(world);
    for (const tutorial::Placement& placement : solution.placements)
        Place(world, placement);
    world.Console("play");
}
} // namespace gametest

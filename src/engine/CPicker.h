// Finds the game object under the mouse: a ray from the camera's eye through a screen point,
// the oct-tree nodes it crosses, and the nearest bounding volume it hits among the position
// components filed there. The application owns one picker (this default one until the game
// installs its own subclass); the game also builds rays with it to place things on a face.
#pragma once

#include "common/math/CRay.h"
#include "common/math/Vector3.h"

#include <cstdint>
#include <vector>

namespace common
{
struct SOctNode;
}

namespace dorvo
{
class CDorvoCamera;

namespace input
{
struct InputEvent;
}
namespace gfx
{
class CCursor;
}

class CPicker
{
public:
    // Graphics lies above the engine, so it lends the picker two of its services through
    // hooks it installs at start-up. Without them nothing can be picked.
    //
    // The world point under a screen point (x, y in back-buffer pixels, z the viewport depth)
    // with the graphics core's current viewport, projection and view and an identity world;
    // false when graphics has no current viewport.
    using UnprojectHook = bool (*)(const math::Vector3& screen, math::Vector3& world);
    // The cursor sprite's screen point: its position plus its parent's offset, in whole
    // back-buffer pixels, z 0.
    using CursorPointHook = math::Vector3 (*)(const gfx::CCursor& cursor);
    static void SetUnprojectHook(UnprojectHook hook);
    static void SetCursorPointHook(CursorPointHook hook);

    // Disabled, nothing picked, pick point (inf, inf, inf).
    CPicker();
    virtual ~CPicker();

    CPicker(const CPicker&) = delete;
    CPicker& operator=(const CPicker&) = delete;

    // A left-button press while enabled picks at the game's cursor. Never consumes the event.
    virtual bool OnInputEvent(const input::InputEvent& event);
    // Returns the flag as stored.
    virtual bool SetEnabled(bool enabled);
    // Only while enabled: remembers the picked id as the previous one, casts the ray through
    // the screen point and keeps the nearest hit's game-object id and world point. A miss
    // keeps the picked id and sets the pick point to (inf, inf, inf). boundsOnly is for
    // pickers that also test geometry; this one only ever tests bounds. True on a hit.
    virtual bool Pick(const math::Vector3& screenPoint, bool boundsOnly);

    // The ray from the game camera's eye through the screen point (back-buffer pixels); the
    // direction is unit, or zero when the point lies on the eye. False, ray unchanged, when
    // there is no camera or graphics cannot unproject.
    bool BuildRay(const math::Vector3& screenPoint);
    // Appends the node and, depth first, every node below it whose box the ray hits; a node
    // the ray misses is not descended into. A null node appends nothing.
    void GatherOctreeNodes(const common::SOctNode* node);

    bool IsEnabled() const { return m_enabled; }
    // Game-object id of the last hit, 0 before any.
    std::uint32_t GetPickedID() const { return m_pickedId; }
    // The picked id as it was before the last pick.
    std::uint32_t GetPreviousPickedID() const { return m_previousPickedId; }
    const math::CRay& GetRay() const { return m_ray; }
    // World point of the last pick's hit, (inf, inf, inf) after a miss.
    const math::Vector3& GetPickPoint() const { return m_pickPoint; }
    const std::vector<const common::SOctNode*>& GetCandidateNodes() const { return m_candidateNodes; }

protected:
    // The game's camera and cursor through the application, or null.
    static CDorvoCamera* GetGameCamera();
    static gfx::CCursor* GetGameCursor();

    std::vector<const common::SOctNode*> m_candidateNodes;
    std::uint32_t m_pickedId = 0;
    std::uint32_t m_previousPickedId = 0;
    bool m_enabled = false;
    math::CRay m_ray;
    math::Vector3 m_pickPoint;
};
} // namespace dorvo

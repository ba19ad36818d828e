// A menu that slides in a straight line: on opening every direct child of "Base" travels from
// the closed position to the open position, on closing back, each keeping its distance to the
// reference sprite (m_refSprite), which itself travels exactly between the two positions. A
// menu class sets its times, both positions and the reference in its constructor.
#pragma once

#include "common/math/Vector3.h"
#include "game/menus/BaseMenu.h"

#include <map>
#include <string>

namespace QUORB
{
class LinearMoveMenu : public BaseMenu
{
public:
    explicit LinearMoveMenu(StateMachineComponent* owner);

    const math::Vector3& GetClosedPosition() const { return m_closedPosition; }
    const math::Vector3& GetOpenPosition() const { return m_openPosition; }

protected:
    void OpenTransition(float duration) override;
    void CloseTransition(float duration) override;

    math::Vector3 m_closedPosition; // pixels, x and y used
    math::Vector3 m_openPosition;

private:
    void Slide(const math::Vector3& from, const math::Vector3& to, float duration);

    // Without a reference sprite: each child's offset from the menu's position as laid out,
    // taken at its first slide, so the children keep their layout and move as a block.
    std::map<std::string, math::Vector3> m_layout;
};
} // namespace QUORB

// A menu whose buttons fan out on a circle around its centre and fold back into it. The centre is
// the menu's position: radial menus are draggable, so a broadcast MSG_MouseHeld places a closed
// one at the cursor, and a broadcast MSG_MouseUp closes an open one. Every direct child of "Base"
// is one of its buttons, named "Button " + index. Angles are radians on the screen with y down:
// the point at angle a lies at centre + radius (cos a, -sin a), so 0 is to the right and pi/2
// straight up.
#pragma once

#include "game/menus/BaseMenu.h"

#include <cstddef>
#include <string>

namespace dorvo
{
namespace gfx
{
class CSprite;
}
} // namespace dorvo

namespace math
{
class Vector3;
}

namespace QUORB
{
class RadialMenu : public BaseMenu
{
public:
    explicit RadialMenu(StateMachineComponent* owner);

    // "Button " + index.
    static std::string ButtonName(std::size_t index);

    float GetRadius() const { return m_radius; }
    float GetStartAngle() const { return m_startAngle; }
    float GetEndAngle() const { return m_endAngle; }
    float GetAngleOffset() const { return m_angleOffset; }
    const std::string& GetHeldOverButton() const { return m_heldOverButton; }
    std::uint32_t GetSubMenuId() const { return m_subMenuId; }

protected:
    // A button held over that is not the one held over last closes the sub-menu opened from
    // this menu, if any.
    void OnHeldOver(const std::string& name) override;
    // The buttons leave the start direction together and fan out one after the other: button i
    // turns to its place in the arc from the start to the end angle in i x duration seconds.
    void OpenTransition(float duration) override;
    // Every button turns back to the start direction in the duration.
    void CloseTransition(float duration) override;

    // The number of buttons: the direct children of "Base".
    std::size_t GetButtonCount() const;
    // The button of that index, or null.
    dorvo::gfx::CSprite* GetButton(std::size_t index) const;
    // A unit's screen position (its absolute position) as a vector, z 0.
    static math::Vector3 ScreenPosition(const dorvo::gfx::CSprite& sprite);
    // The angle between two directions, radians in [0, pi]; a zero vector lies at right angles
    // to any other.
    static float AngleBetween(const math::Vector3& u, const math::Vector3& v);
    // The z component of u x v: positive when v lies clockwise of u on the screen.
    static float CrossZ(const math::Vector3& u, const math::Vector3& v);
    // A position record turning the point about the menu's centre by the angle.
    int AddTurn(const math::Vector3& point, float angle, float duration) const;

    float m_radius = 100.0f;    // pixels
    float m_startAngle = 0.0f;  // a: one end of the arc, radians
    float m_endAngle = 0.0f;    // b: the other end
    float m_angleOffset = 0.0f; // c: added to a for the start direction
};
} // namespace QUORB

#include "game/menus/RadialMenu.h"

#include "common/InterpolationMgr.h"
#include "common/math/MathUtil.h"
#include "common/math/Vector3.h"
#include "engine/gfx/sprites/CSprite.h"
#include "engine/gfx/sprites/Gfx2DComp.h"

#include <algorithm>
#include <cmath>

namespace QUORB
{
RadialMenu::RadialMenu(StateMachineComponent* owner) : BaseMenu(owner)
{
    m_draggable = true;
    m_closeOnMouseUp = true;
}

std::string RadialMenu::ButtonName(std::size_t index)
{
    return "Button " + std::to_string(index);
}

std::size_t RadialMenu::GetButtonCount() const
{
    return GetBase()->GetChildren().size();
}

dorvo::gfx::CSprite* RadialMenu::GetButton(std::size_t index) const
{
    dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp();
    return comp ? comp->GetSprite(ButtonName(index)) : nullptr;
}

math::Vector3 RadialMenu::ScreenPosition(const dorvo::gfx::CSprite& sprite)
{
    return math::Vector3(static_cast<float>(sprite.GetAbsoluteX()), static_cast<float>(sprite.GetAbsoluteY()),
                         0.0f);
}

float RadialMenu::AngleBetween(const math::Vector3& u, const math::Vector3& v)
{
    // Unit vectors can give a product a hair beyond 1, where acos has no answer.
    return std::acos(std::clamp(math::Dot(u.GetNormalized(), v.GetNormalized()), -1.0f, 1.0f));
}

float RadialMenu::CrossZ(const math::Vector3& u, const math::Vector3& v)
{
    return u.x * v.y - u.y * v.x;
}

int RadialMenu::AddTurn(const math::Vector3& point, float angle, float duration) const
{
    return common::CInterpolationMgr::Instance().AddRotation(point, m_position, angle, duration,
                                                             common::INTERP_REMOVE);
}

void RadialMenu::OnHeldOver(const std::string& name)
{
    if (name != m_heldOverButton && m_subMenuId != 0)
        SendMsg(MSG_CloseMenu, m_subMenuId);
    m_heldOverButton = name;
}

void RadialMenu::OpenTransition(float duration)
{
    const std::size_t count = GetButtonCount();
    if (count == 0)
        return;
    const float start = m_startAngle + m_angleOffset;
    const float step = (m_startAngle - m_endAngle) / static_cast<float>(count);
    const math::Vector3 first(m_position.x + m_radius * std::cos(start),
                              m_position.y - m_radius * std::sin(start), m_position.z);
    for (std::size_t i = 0; i < count; ++i)
        if (dorvo::gfx::CSprite* button = GetButton(i))
            button->SetInterpolation(
                dorvo::gfx::CSprite::IP_Position,
                AddTurn(first, (static_cast<float>(i) + 0.5f) * step, static_cast<float>(i) * duration));
}

void RadialMenu::CloseTransition(float duration)
{
    const float start = m_startAngle + m_angleOffset;
    const math::Vector3 home(std::cos(start), -std::sin(start), 0.0f);
    // The buttons go round the way they came out: the turn's sign follows the arc's direction.
    const float sign = m_endAngle > m_startAngle ? 1.0f : -1.0f;
    const math::Vector3 centre(m_position.x, m_position.y, 0.0f);
    for (std::size_t i = 0; i < GetButtonCount(); ++i)
    {
        dorvo::gfx::CSprite* button = GetButton(i);
        if (!button)
            continue;
        const math::Vector3 point = ScreenPosition(*button);
        const math::Vector3 away = (point - centre).GetNormalized();
        float angle = AngleBetween(home, away) * sign;
        if (CrossZ(home, away) * sign > 0.0f)
            angle = sign * (2.0f * math::kPi - std::fabs(angle));
        button->SetInterpolation(dorvo::gfx::CSprite::IP_Position, AddTurn(point, angle, duration));
    }
}
} // namespace QUORB

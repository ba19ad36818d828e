#include "game/menus/SpreadRadialMenu.h"

#include "common/ConsoleInterface.h"
#include "common/math/MathUtil.h"
#include "engine/gfx/gui/CButton.h"
#include "engine/gfx/sprites/CTextSprite.h"
#include "game/menus/MenuCallbacks.h"
#include "game/menus/MenuHitTests.h"
#include "game/menus/MenuHud.h"
#include "game/menus/MenuText.h"

#include <cmath>
#include <memory>

namespace QUORB
{
const char* const SpreadRadialMenu::kNotEnabledLine = "Button 1 not enabled";

SpreadRadialMenu::SpreadRadialMenu(StateMachineComponent* owner) : RadialMenu(owner)
{
    m_startAngle = 0.0f;
    m_endAngle = 0.25f * math::kPi;
    m_angleOffset = 0.0f;
    m_radius = 130.0f;
    m_openTime = 0.8f;
    m_closeTime = 0.4f;
    m_draggable = true;

    for (std::size_t i = 0; i < kButtonCount; ++i)
    {
        const std::string name = ButtonName(i);
        auto button = g_menuHud.CreateBarButton(name);
        button->SetPointInsideFunct(new RectPointInsideFunct(button.get(), 60, 60));
        button->SetPosition(0, 0);
        button->SetScale(0.5f, 0.5f, 1.0f);
        button->SetReleaseInside(false);
        button->SetButtonPressedFunct(new SMButtonPressedFunct(owner, name));
        button->SetHeldOverFunct(new SMHeldOverFunct(owner, button.get(), true, kHeldOverSeconds));
        // Inside the pill, which fills the top 27 pixels of the half-size bar-button face.
        auto text =
            MakeMenuText("ButtonText " + std::to_string(i), "Prop " + std::to_string(i + 1), 4, 10, 4, 64);
        if (AddUnit(std::move(button)))
            AddUnit(std::move(text), name);
    }
}

void SpreadRadialMenu::OnButtonPressed(const std::string& name)
{
    if (name == ButtonName(1))
        common::ConsoleInterface::Instance().WriteToConsole(kNotEnabledLine, common::FF_Display, false);
}

void SpreadRadialMenu::OnHeldOver(const std::string&) {}

math::Vector3 SpreadRadialMenu::StartDirection() const
{
    if (m_refSprite)
        return math::Vector3(static_cast<float>(m_refSprite->GetAbsoluteX()) - m_position.x,
                             static_cast<float>(m_refSprite->GetAbsoluteY()) - m_position.y, 0.0f)
            .GetNormalized();
    const float start = m_startAngle + m_angleOffset;
    return math::Vector3(std::cos(start), -std::sin(start), 0.0f);
}

void SpreadRadialMenu::OpenTransition(float duration)
{
    const std::size_t count = GetButtonCount();
    if (count == 0)
        return;
    const float step = (m_startAngle - m_endAngle) / static_cast<float>(count);
    const math::Vector3 direction = StartDirection();
    const math::Vector3 first(m_position.x + m_radius * direction.x, m_position.y + m_radius * direction.y,
                              m_position.z);
    std::size_t i = 0;
    if (count % 2 == 1)
    {
        if (dorvo::gfx::CSprite* middle = GetButton(0))
            middle->SetInterpolation(dorvo::gfx::CSprite::IP_Position, AddTurn(first, 0.0f, duration));
        i = 1;
    }
    for (; i + 1 < count; i += 2)
    {
        const float angle = static_cast<float>(i + 1) * step;
        const float time = static_cast<float>(i) * duration / (2.0f * static_cast<float>(count));
        if (dorvo::gfx::CSprite* one = GetButton(i))
            one->SetInterpolation(dorvo::gfx::CSprite::IP_Position, AddTurn(first, angle, time));
        if (dorvo::gfx::CSprite* other = GetButton(i + 1))
            other->SetInterpolation(dorvo::gfx::CSprite::IP_Position, AddTurn(first, -angle, time));
    }
}

void SpreadRadialMenu::CloseTransition(float duration)
{
    const math::Vector3 home = StartDirection();
    const math::Vector3 centre(m_position.x, m_position.y, 0.0f);
    for (std::size_t i = 0; i < GetButtonCount(); ++i)
    {
        dorvo::gfx::CSprite* button = GetButton(i);
        if (!button)
            continue;
        const math::Vector3 point = ScreenPosition(*button);
        const math::Vector3 away = (point - centre).GetNormalized();
        float angle = AngleBetween(home, away);
        if (CrossZ(home, away) > 0.0f)
            angle = -angle;
        button->SetInterpolation(dorvo::gfx::CSprite::IP_Position, AddTurn(point, angle, duration));
    }
}
} // namespace QUORB

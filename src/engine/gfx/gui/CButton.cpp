#include "engine/gfx/gui/CButton.h"

#include "common/InputEvent.h"
#include "engine/gfx/gui/ButtonPressedFunct.h"
#include "engine/gfx/gui/GuiAnimationNames.h"
#include "engine/gfx/gui/GuiSkinColors.h"
#include "engine/gfx/gui/HeldOverFunct.h"
#include "engine/gfx/gui/PointInsideFunct.h"

#include <algorithm>

namespace dorvo
{
namespace gfx
{
namespace
{
// Axis events carry a delta, not a down or up: a delta of 1 is no press.
bool IsAxis(std::uint32_t code)
{
    return code >= input::MOUSE_X && code <= input::MOUSE_WHEEL;
}

// Replacing a callback with itself must not delete the one kept.
template <class T> void Replace(std::unique_ptr<T>& held, T* given)
{
    if (held.get() != given)
        held.reset(given);
}
} // namespace

CButton::CButton(const std::string& textureFile, const SpriteAnimation& unpressed, const int position[2],
                 const int anchor[2], const SpriteAnimation* pressed, const SpriteAnimation* over,
                 const SpriteAnimation* disabled, ButtonPressedFunct* click, PointInsideFunct* hitTest,
                 HeldOverFunct* heldOver, HeldOverFunct* notOver)
    : CSprite(textureFile), m_pHitTest(hitTest), m_pClick(click), m_pHeldOver(heldOver), m_pNotOver(notOver)
{
    // The record's name follows the state even where the button has no record for it, so the
    // colour lookup can go by name.
    SetRenameCurrent(true);
    AddAnimation(g_UnpressedAnimation, unpressed, false);
    if (pressed)
        AddAnimation(g_PressedAnimation, *pressed, false);
    if (over)
        AddAnimation(g_CursorOverAnimation, *over, false);
    if (disabled)
        AddAnimation(g_DisabledAnimation, *disabled, false);
    SetAnimation(g_UnpressedAnimation);
    if (position)
        SetPosition(position[0], position[1]);
    if (anchor)
        SetAnchor(anchor[0], anchor[1]);
}

CButton::~CButton() = default;

// ---- Update -----------------------------------------------------------------------------------------

void CButton::Update(int ms)
{
    CSprite::Update(ms);
    UpdateHover();
    UpdateHeldOver();
    SettleEdges();
}

void CButton::UpdateHover()
{
    // A disabled button keeps its hover state.
    if (!m_enabled)
        return;
    const bool inside = m_pHitTest && (*m_pHitTest)(GetReferencePoint());
    if (inside)
    {
        if (m_hover != HOVER_Over)
            m_hover = HOVER_JustEntered;
    }
    else if (m_hover != HOVER_Away)
        m_hover = HOVER_JustLeft;
    if (m_hover == HOVER_JustEntered)
        m_hoverTimer.Restart();
    else if (m_hover == HOVER_JustLeft)
        m_hoverTimer.Stop();
}

void CButton::UpdateHeldOver()
{
    if (m_pHeldOver)
    {
        HeldOverFunct& heldOver = *m_pHeldOver;
        if (m_hover < HOVER_JustEntered)
            heldOver.fired = false;
        else if (!heldOver.fired && m_hoverTimer.GetTime() > heldOver.delay)
        {
            heldOver.fired = true;
            m_hoverTimer.Stop();
            heldOver();
        }
    }
    if (m_pNotOver)
    {
        HeldOverFunct& notOver = *m_pNotOver;
        if (m_hover > HOVER_Away)
            notOver.fired = false;
        else if (!notOver.fired)
        {
            notOver.fired = true;
            notOver();
        }
    }
}

void CButton::SettleEdges()
{
    if (m_press == PRESS_JustPressed)
        m_press = PRESS_Held;
    else if (m_press == PRESS_JustReleased)
        m_press = PRESS_Up;
    if (m_hover == HOVER_JustEntered)
        m_hover = HOVER_Over;
    else if (m_hover == HOVER_JustLeft)
        m_hover = HOVER_Away;
}

// ---- Input ------------------------------------------------------------------------------------------

bool CButton::HandleInput(const input::InputEvent* event, float dt)
{
    if (!event)
        return false;
    if (IScreenUnit::HandleInput(event, dt))
        return true;
    if (!IsVisible() || !m_enabled || GetAlpha() < kMinInputAlpha || IsAxis(event->code))
        return false;
    // The pointer as it is at the press or release: a move and a click between two frames
    // come before the update that would see the move.
    if (event->value == 1)
    {
        // Released since the last update counts as up: the second press of a double click
        // made within one frame is a press of its own.
        const bool up = m_press == PRESS_Up || m_press == PRESS_JustReleased;
        if (event->code == input::MOUSE_BUTTON_0 && up && IsPointerOver())
        {
            m_press = PRESS_JustPressed;
            m_pressTimeStamp = event->timeStamp;
            m_pressSequence = event->sequence;
            OnPress();
            return true;
        }
        const bool held = m_press == PRESS_Held || m_press == PRESS_JustPressed;
        if (event->code == input::MOUSE_BUTTON_0 && held && event->timeStamp == m_pressTimeStamp &&
            event->sequence == m_pressSequence)
            return true; // the held press re-sent: taken, so the editor under the button never sees it
        if (std::find(m_hotKeys.begin(), m_hotKeys.end(), event->code) != m_hotKeys.end())
        {
            OnClick();
            return true;
        }
        return false;
    }
    if (event->value != 0 || event->code != input::MOUSE_BUTTON_0)
        return false;
    // A press and its release can arrive between two updates: the press counts as held then,
    // so a quick click is not lost.
    const bool held = m_press == PRESS_Held || m_press == PRESS_JustPressed;
    if (held && (!m_releaseInside || IsPointerOver()))
    {
        OnClick();
        if (m_press != PRESS_Up)
            m_press = PRESS_JustReleased;
        return true;
    }
    OnReleaseOutside();
    if (m_press != PRESS_Up)
        m_press = PRESS_JustReleased;
    return false;
}

bool CButton::IsPointerOver() const
{
    return m_pHitTest ? (*m_pHitTest)(GetReferencePoint()) : IsHovered();
}

// ---- Look ---------------------------------------------------------------------------------------------

void CButton::Render(double time, float dt)
{
    UpdateAnimation();
    CSprite::Render(time, dt);
}

void CButton::UpdateAnimation()
{
    if (!IsVisible())
        return;
    if (!m_enabled)
        SetAnimation(g_DisabledAnimation);
    else if (m_press >= PRESS_JustPressed && IsHovered())
        SetAnimation(g_PressedAnimation);
    else if (IsHovered())
        SetAnimation(g_CursorOverAnimation);
    else
        SetAnimation(g_UnpressedAnimation);
}

void CButton::GetColor(plat::D3DXCOLOR& color) const
{
    const SpriteAnimation* current = GetCurrentAnimation();
    if (current && current->hasColor)
    {
        color = plat::D3DXCOLOR(current->red, current->green, current->blue, GetAlpha());
        return;
    }
    if (!g_GuiSkinColors)
    {
        color = plat::D3DXCOLOR(GetRed(), GetGreen(), GetBlue(), GetAlpha());
        return;
    }
    const std::string* name = current ? &current->name : nullptr;
    int which = -1;
    if (name && *name == g_PressedAnimation)
        which = SKIN_Pressed;
    else if (name && *name == g_UnpressedAnimation)
        which = SKIN_Unpressed;
    else if (name && *name == g_CursorOverAnimation)
        which = SKIN_Over;
    else if (name && *name == g_DisabledAnimation)
        which = SKIN_Disabled;
    if (which < 0)
    {
        CSprite::GetColor(color);
        return;
    }
    color = g_GuiSkinColors[which];
    color.a = GetAlpha();
}

// ---- Callbacks ----------------------------------------------------------------------------------------

void CButton::OnPress()
{
    if (m_pPress)
        (*m_pPress)();
}

void CButton::OnClick()
{
    if (m_pClick)
        (*m_pClick)();
}

void CButton::OnReleaseOutside() {}

void CButton::SetPointInsideFunct(PointInsideFunct* hitTest)
{
    Replace(m_pHitTest, hitTest);
}

void CButton::SetButtonPressedFunct(ButtonPressedFunct* click)
{
    Replace(m_pClick, click);
}

void CButton::SetPressFunct(ButtonPressedFunct* press)
{
    Replace(m_pPress, press);
}

void CButton::SetHeldOverFunct(HeldOverFunct* heldOver)
{
    Replace(m_pHeldOver, heldOver);
}

void CButton::SetNotOverFunct(HeldOverFunct* notOver)
{
    Replace(m_pNotOver, notOver);
}

bool CButton::HasAnimation(const std::string& name) const
{
    return GetAnimations().count(name) != 0;
}

void CButton::SetAnchor(int x, int y)
{
    m_anchorX = x;
    m_anchorY = y;
}

plat::POINT CButton::GetReferencePoint() const
{
    plat::POINT point;
    point.x = GetAbsoluteX() + m_anchorX;
    point.y = GetAbsoluteY() + m_anchorY;
    return point;
}
} // namespace gfx
} // namespace dorvo

#include "engine/gfx/gui/CheckButton.h"

#include "engine/gfx/gui/ButtonPressedFunct.h"
#include "engine/gfx/gui/GuiAnimationNames.h"

namespace dorvo
{
namespace gfx
{
CheckButton::CheckButton(const std::string& textureFile, const std::string& unitName,
                         const SpriteAnimation& unpressed, const int position[2], const int anchor[2],
                         const SpriteAnimation* pressed, const SpriteAnimation* over,
                         const SpriteAnimation* disabled, const SpriteAnimation* checkedOver,
                         ButtonPressedFunct* click, ButtonPressedFunct* uncheck, PointInsideFunct* hitTest,
                         HeldOverFunct* heldOver, HeldOverFunct* notOver)
    : CButton(textureFile, unpressed, position, anchor, pressed, over, disabled, click, hitTest, heldOver,
              notOver),
      m_pUncheck(uncheck)
{
    SetName(unitName);
    if (pressed)
        AddAnimation(g_CheckedAnimation, *pressed, false);
    if (checkedOver)
        AddAnimation(g_CheckedOverAnimation, *checkedOver, false);
}

CheckButton::~CheckButton() = default;

void CheckButton::OnClick()
{
    if (!m_checked)
    {
        // Checked before the call, so a radio group the callback updates sees it checked, and
        // after it, so the callback cannot leave it unchecked.
        m_checked = true;
        CButton::OnClick();
        m_checked = true;
        return;
    }
    if (!m_mayUncheck)
        return;
    m_checked = false;
    if (m_pUncheck)
        (*m_pUncheck)();
    m_checked = false;
}

void CheckButton::UpdateAnimation()
{
    if (!IsVisible())
        return;
    if (!IsEnabled())
        SetAnimation(g_DisabledAnimation);
    else if (m_checked)
        SetAnimation(IsHovered() ? g_CheckedOverAnimation : g_CheckedAnimation);
    else
        SetAnimation(IsHovered() ? g_CursorOverAnimation : g_UnpressedAnimation);
}

void CheckButton::Uncheck()
{
    if (!m_checked)
        return;
    m_checked = false;
    if (m_pUncheck)
        (*m_pUncheck)();
}

void CheckButton::SetUncheckFunct(ButtonPressedFunct* uncheck)
{
    if (m_pUncheck.get() != uncheck)
        m_pUncheck.reset(uncheck);
}
} // namespace gfx
} // namespace dorvo

// A check box: a button that a click checks and (while may-uncheck is set) unchecks, showing
// "Checked" or "CheckedOver" while checked. Radio groups of the 2D component uncheck the other
// members through Uncheck. Owns its uncheck callback as well as the button's.
#pragma once

#include "engine/gfx/gui/CButton.h"

namespace dorvo
{
namespace gfx
{
class CheckButton : public CButton
{
public:
    // As the button (no separate pressed state: the pressed record is also filed as "Checked"),
    // with the unit's name, the uncheck callback and a checked-over record ("CheckedOver").
    // Unchecked, may-uncheck set. Any record but the unpressed one, and any callback, may be null.
    CheckButton(const std::string& textureFile, const std::string& unitName, const SpriteAnimation& unpressed,
                const int position[2], const int anchor[2], const SpriteAnimation* pressed = nullptr,
                const SpriteAnimation* over = nullptr, const SpriteAnimation* disabled = nullptr,
                const SpriteAnimation* checkedOver = nullptr, ButtonPressedFunct* click = nullptr,
                ButtonPressedFunct* uncheck = nullptr, PointInsideFunct* hitTest = nullptr,
                HeldOverFunct* heldOver = nullptr, HeldOverFunct* notOver = nullptr);
    ~CheckButton() override;

    // Unchecked: checks and calls the click callback. Checked with may-uncheck: unchecks and
    // calls the uncheck callback. Checked without: nothing.
    void OnClick() override;
    // Disabled; checked ("Checked", or "CheckedOver" while hovered); or the button's over and
    // unpressed animations. Only while visible.
    void UpdateAnimation() override;

    // When checked: unchecks and calls the uncheck callback.
    void Uncheck();

    bool IsChecked() const { return m_checked; }
    // Sets the flag alone, without a callback.
    void SetChecked(bool checked) { m_checked = checked; }
    bool GetMayUncheck() const { return m_mayUncheck; }
    void SetMayUncheck(bool mayUncheck) { m_mayUncheck = mayUncheck; }
    // Replaces the uncheck callback and deletes the old one.
    void SetUncheckFunct(ButtonPressedFunct* uncheck);
    ButtonPressedFunct* GetUncheckFunct() const { return m_pUncheck.get(); }

private:
    bool m_checked = false;
    bool m_mayUncheck = true;
    std::unique_ptr<ButtonPressedFunct> m_pUncheck;
};
} // namespace gfx
} // namespace dorvo

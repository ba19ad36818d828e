// A push button of the 2D layer: a sprite that follows the pointer through its hit test (hover
// is found in Update), is pressed with the left button or clicked by its hot keys, and shows and
// colours its state: unpressed, cursor over, pressed, disabled. It reports through callbacks it
// owns (click, press, held-over, not-over). A button takes no input while invisible, disabled or
// nearly transparent.
#pragma once

#include "common/Timer.h"
#include "engine/gfx/sprites/CSprite.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace dorvo
{
namespace gfx
{
class ButtonPressedFunct;
class HeldOverFunct;
class PointInsideFunct;

class CButton : public CSprite
{
public:
    // Press states: the edges last until the end of the next Update.
    enum EPress : int
    {
        PRESS_JustReleased = 0,
        PRESS_Up = 1,
        PRESS_JustPressed = 2,
        PRESS_Held = 3,
    };
    // Hover states, likewise.
    enum EHover : int
    {
        HOVER_JustLeft = 0,
        HOVER_Away = 1,
        HOVER_JustEntered = 2,
        HOVER_Over = 3,
    };
    // Below this alpha a button takes no input.
    static constexpr float kMinInputAlpha = 0.01f;

    // position and anchor: pixels. The records are filed under the state names (the optional
    // ones only when given) and the unpressed one is shown; each record keeps its own pivot. The
    // anchor is added to the absolute position to make the point the hit test gets. The button
    // takes the callbacks it is given (any may be null).
    CButton(const std::string& textureFile, const SpriteAnimation& unpressed, const int position[2],
            const int anchor[2], const SpriteAnimation* pressed = nullptr,
            const SpriteAnimation* over = nullptr, const SpriteAnimation* disabled = nullptr,
            ButtonPressedFunct* click = nullptr, PointInsideFunct* hitTest = nullptr,
            HeldOverFunct* heldOver = nullptr, HeldOverFunct* notOver = nullptr);
    ~CButton() override;

    // ---- IScreenUnit / CSprite ----
    // The sprite's update, then hover from the hit test (only while enabled), the held-over and
    // not-over calls, and the press and hover edges made steady.
    void Update(int ms) override;
    // The children first; then a left press while hovered, a hot key, or the left release that
    // clicks (true) or ends outside (false).
    bool HandleInput(const input::InputEvent* event, float dt) override;
    // The animation of the state, then the sprite.
    void Render(double time, float dt) override;
    // The current record's own colour; else without a skin the sprite's; else the skin's colour
    // for the record's state name (other names: as a sprite). Alpha is always the sprite's.
    void GetColor(plat::D3DXCOLOR& color) const override;

    // ---- Further operations of the controls ----
    // Shows the animation of the state (only while visible).
    virtual void UpdateAnimation();
    // The press callback, when there is one.
    virtual void OnPress();
    // The click callback, when there is one.
    virtual void OnClick();
    // A left release that did not click; nothing in a plain button.
    virtual void OnReleaseOutside();

    // Each replaces the callback and deletes the old one (the same object again changes
    // nothing). The button owns what it is given.
    void SetPointInsideFunct(PointInsideFunct* hitTest);
    void SetButtonPressedFunct(ButtonPressedFunct* click);
    void SetPressFunct(ButtonPressedFunct* press);
    void SetHeldOverFunct(HeldOverFunct* heldOver);
    void SetNotOverFunct(HeldOverFunct* notOver);
    PointInsideFunct* GetPointInsideFunct() const { return m_pHitTest.get(); }
    ButtonPressedFunct* GetButtonPressedFunct() const { return m_pClick.get(); }
    ButtonPressedFunct* GetPressFunct() const { return m_pPress.get(); }
    HeldOverFunct* GetHeldOverFunct() const { return m_pHeldOver.get(); }
    HeldOverFunct* GetNotOverFunct() const { return m_pNotOver.get(); }

    void SetEnabled(bool enabled) { m_enabled = enabled; }
    bool IsEnabled() const { return m_enabled; }
    // Set (the default): a click needs the pointer over the button at the release.
    void SetReleaseInside(bool releaseInside) { m_releaseInside = releaseInside; }
    bool GetReleaseInside() const { return m_releaseInside; }
    // Input codes that click the button when pressed.
    void AddHotKey(std::uint32_t code) { m_hotKeys.push_back(code); }
    std::vector<std::uint32_t>& GetHotKeys() { return m_hotKeys; }
    bool HasAnimation(const std::string& name) const;

    int GetPressState() const { return m_press; }
    int GetHoverState() const { return m_hover; }
    bool IsHovered() const { return m_hover > HOVER_Away; }
    // Whether the pointer is over the button now: the hit test asked at once, where the hover
    // state is the last update's (the cursor may have moved since, between two frames); without
    // a hit test, the hover state.
    bool IsPointerOver() const;
    // Pixels added to the absolute position for the hit test.
    void SetAnchor(int x, int y);
    int GetAnchorX() const { return m_anchorX; }
    int GetAnchorY() const { return m_anchorY; }
    // The point the hit test gets: absolute position plus anchor.
    plat::POINT GetReferencePoint() const;

protected:
    // The update and input of the sprite alone, for controls that replace the button's.
    void UpdateHover();
    void UpdateHeldOver();
    void SettleEdges();

private:
    bool m_enabled = true;
    bool m_releaseInside = true;
    std::vector<std::uint32_t> m_hotKeys;
    int m_press = PRESS_Up;
    // The press this button took, as the input system stamped it: a held button is re-sent
    // every 0.2 s with the same stamp, and that repeat belongs to the button, not to whatever
    // lies under it.
    std::uint32_t m_pressTimeStamp = 0;
    std::uint32_t m_pressSequence = 0;
    int m_hover = HOVER_Away;
    common::CTimer m_hoverTimer;
    std::unique_ptr<PointInsideFunct> m_pHitTest;
    std::unique_ptr<ButtonPressedFunct> m_pPress;
    std::unique_ptr<ButtonPressedFunct> m_pClick;
    std::unique_ptr<HeldOverFunct> m_pHeldOver;
    std::unique_ptr<HeldOverFunct> m_pNotOver;
    int m_anchorX = 0; // pixels
    int m_anchorY = 0;
};
} // namespace gfx
} // namespace dorvo

// A vertical scroll bar that pages a scroll list of its 2D component: a track (its own sprite)
// with an up arrow, a down arrow and a thumb as its children. The arrows and the wheel move the
// target position by a step, dragging the thumb sets it; each update the shown position eases
// toward the target and the list's units are laid out in the band between the list's top and
// bottom points, fading out over one unit's height beyond its edges. The points are pixels in
// the frame of the bar's parent; the bar stands at the up-arrow point. The bar owns its three
// buttons (as children) and the callbacks it gives them.
#pragma once

#include "engine/gfx/gui/ButtonPressedFunct.h"
#include "engine/gfx/gui/CButton.h"

#include <string>

namespace dorvo
{
namespace gfx
{
class ScrollBar : public CButton
{
public:
    // An arrow's click: the target moves by the step, kept in 0..1.
    class ScrollButtonFunct : public ButtonPressedFunct
    {
    public:
        ScrollButtonFunct(ScrollBar* bar, float step) : m_pBar(bar), m_step(step) {}
        void operator()() override;

    private:
        ScrollBar* m_pBar;
        float m_step; // signed, positions
    };
    // The thumb's press: dragging takes the flag.
    class ScrollBarFunct : public ButtonPressedFunct
    {
    public:
        ScrollBarFunct(ScrollBar* bar, bool drag) : m_pBar(bar), m_drag(drag) {}
        void operator()() override;

    private:
        ScrollBar* m_pBar;
        bool m_drag;
    };

    // Pixels from the down arrow's point up to the arrow's bottom edge.
    static constexpr int kDownArrowLift = 15;

    // step: positions a notch or an arrow click; position: 0..1, also the target; speed:
    // positions a second; spacing: pixels between the list's units. The buttons are taken as
    // the children "ScrollDownButton", "ScrollUpButton" and "ScrollBarButton"; their press and
    // click callbacks are replaced by the bar's.
    ScrollBar(const std::string& unitName, const std::string& textureFile, CButton* downButton,
              CButton* upButton, CButton* barButton, const SpriteAnimation& background, float step,
              float position, float speed, const plat::POINT& listTopLeft, const plat::POINT& listBottom,
              const plat::POINT& upPosition, const plat::POINT& downPosition, std::string scrollListName,
              float spacing);
    ~ScrollBar() override;

    // The sprite's update (the button's is not used); eases the position toward the target and
    // lays the list out when either moved or the list's length changed.
    void Update(int ms) override;
    // The children first; then the wheel moves the target, and while dragging a vertical move
    // drags the thumb and a left release ends the drag. Nothing while hidden.
    bool HandleInput(const input::InputEvent* event, float dt) override;
    // The track itself: no button state to show.
    void UpdateAnimation() override {}

    // Places the list's units for the shown position (see the class comment).
    void LayoutList();

    float GetPosition() const { return m_position; }
    float GetTarget() const { return m_target; }
    // Kept in 0..1.
    void SetTarget(float target);
    bool IsDragging() const { return m_dragging; }
    void SetDragging(bool dragging) { m_dragging = dragging; }
    CButton* GetDownButton() const { return m_pDownButton; }
    CButton* GetUpButton() const { return m_pUpButton; }
    CButton* GetBarButton() const { return m_pBarButton; }
    const std::string& GetScrollListName() const { return m_scrollListName; }
    // The thumb's track: its top at the position 0 and at 1, in the parent's frame.
    plat::POINT GetTrackTop() const;
    plat::POINT GetTrackBottom() const;

private:
    // Puts the thumb at its place on the track for the shown position.
    void PlaceThumb();
    // A point of the parent's frame as a child's position.
    void PlaceChild(CSprite* child, int x, int y);

    CButton* m_pDownButton; // children: owned through the unit tree
    CButton* m_pUpButton;
    CButton* m_pBarButton;
    float m_position;
    float m_target;
    float m_spacing; // pixels
    float m_speed;   // positions a second
    float m_step;
    plat::POINT m_listTopLeft;
    plat::POINT m_listBottom;
    plat::POINT m_upPosition;
    plat::POINT m_downPosition;
    std::string m_scrollListName;
    std::size_t m_laidOutCount = 0; // the list's length at the last layout
    bool m_dragging = false;
    int m_thumbY = 0; // the thumb's top in the parent's frame, pixels
};
} // namespace gfx
} // namespace dorvo

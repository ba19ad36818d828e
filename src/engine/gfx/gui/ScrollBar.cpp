#include "engine/gfx/gui/ScrollBar.h"

#include "common/InputEvent.h"
#include "engine/gfx/sprites/Gfx2DComp.h"

#include <algorithm>
#include <cmath>

namespace dorvo
{
namespace gfx
{
namespace
{
float Clamp01(float value)
{
    return value < 0.0f ? 0.0f : (value > 1.0f ? 1.0f : value);
}

int HeightOf(const CButton* button)
{
    return button ? static_cast<int>(button->GetHeight()) : 0;
}
} // namespace

void ScrollBar::ScrollButtonFunct::operator()()
{
    if (m_pBar)
        m_pBar->SetTarget(m_pBar->GetTarget() + m_step);
}

void ScrollBar::ScrollBarFunct::operator()()
{
    if (m_pBar)
        m_pBar->SetDragging(m_drag);
}

ScrollBar::ScrollBar(const std::string& unitName, const std::string& textureFile, CButton* downButton,
                     CButton* upButton, CButton* barButton, const SpriteAnimation& background, float step,
                     float position, float speed, const plat::POINT& listTopLeft,
                     const plat::POINT& listBottom, const plat::POINT& upPosition,
                     const plat::POINT& downPosition, std::string scrollListName, float spacing)
    : CButton(textureFile, background, nullptr, nullptr), m_pDownButton(downButton), m_pUpButton(upButton),
      m_pBarButton(barButton), m_position(Clamp01(position)), m_target(Clamp01(position)), m_spacing(spacing),
      m_speed(speed), m_step(step), m_listTopLeft(listTopLeft), m_listBottom(listBottom),
      m_upPosition(upPosition), m_downPosition(downPosition), m_scrollListName(std::move(scrollListName))
{
    SetName(unitName);
    SetPosition(upPosition.x, upPosition.y);
    // The track spans from the up arrow's point to the down arrow's.
    if (background.frameHeight > 0)
        SetScale(GetScaleX(), static_cast<float>(downPosition.y - upPosition.y) / background.frameHeight,
                 GetScaleZ());
    if (!AddChild("ScrollDownButton", m_pDownButton))
        m_pDownButton = nullptr;
    if (!AddChild("ScrollUpButton", m_pUpButton))
        m_pUpButton = nullptr;
    if (!AddChild("ScrollBarButton", m_pBarButton))
        m_pBarButton = nullptr;
    if (m_pUpButton)
    {
        m_pUpButton->SetButtonPressedFunct(new ScrollButtonFunct(this, -step));
        PlaceChild(m_pUpButton, upPosition.x, upPosition.y);
    }
    if (m_pDownButton)
    {
        m_pDownButton->SetButtonPressedFunct(new ScrollButtonFunct(this, step));
        PlaceChild(m_pDownButton, downPosition.x, downPosition.y - kDownArrowLift - HeightOf(m_pDownButton));
    }
    if (m_pBarButton)
        m_pBarButton->SetPressFunct(new ScrollBarFunct(this, true));
    PlaceThumb();
}

ScrollBar::~ScrollBar() = default;

plat::POINT ScrollBar::GetTrackTop() const
{
    plat::POINT top;
    top.x = m_upPosition.x;
    top.y = m_upPosition.y + HeightOf(m_pUpButton);
    return top;
}

plat::POINT ScrollBar::GetTrackBottom() const
{
    plat::POINT bottom;
    bottom.x = m_downPosition.x;
    bottom.y = m_downPosition.y - HeightOf(m_pBarButton);
    return bottom;
}

void ScrollBar::PlaceChild(CSprite* child, int x, int y)
{
    child->SetPosition(x - m_positionX, y - m_positionY);
}

void ScrollBar::PlaceThumb()
{
    const plat::POINT a = GetTrackTop();
    const plat::POINT b = GetTrackBottom();
    const int x = a.x + static_cast<int>(static_cast<float>(b.x - a.x) * m_position);
    m_thumbY = a.y + static_cast<int>(static_cast<float>(b.y - a.y) * m_position);
    if (m_pBarButton)
        PlaceChild(m_pBarButton, x, m_thumbY);
}

void ScrollBar::SetTarget(float target)
{
    m_target = Clamp01(target);
}

void ScrollBar::Update(int ms)
{
    CSprite::Update(ms);
    const Gfx2DComp::ScrollList* list = GetOwner() ? GetOwner()->GetScrollList(m_scrollListName) : nullptr;
    if (!list || list->empty())
        return;
    if (m_position == m_target && list->size() == m_laidOutCount)
        return;
    const float d = static_cast<float>(ms) / 1000.0f * m_speed;
    if (std::abs(m_target - m_position) <= d)
        m_position = m_target;
    else
        m_position = Clamp01(m_position + (m_target > m_position ? d : -d));
    PlaceThumb();
    LayoutList();
    m_laidOutCount = list->size();
}

bool ScrollBar::HandleInput(const input::InputEvent* event, float dt)
{
    if (!event || !IsVisible())
        return false;
    // The release usually lands on the thumb, which takes it: the drag ends all the same.
    if (m_dragging && event->code == input::MOUSE_BUTTON_0 && event->value == 0)
        m_dragging = false;
    if (IScreenUnit::HandleInput(event, dt))
        return true;
    if (event->code == input::MOUSE_WHEEL)
    {
        SetTarget(m_target + (event->value > 0 ? -m_step : m_step));
        return true;
    }
    if (!m_dragging || event->code != input::MOUSE_Y)
        return false;
    const plat::POINT a = GetTrackTop();
    const plat::POINT b = GetTrackBottom();
    // A track of no length has no position to drag to.
    if (a.y == b.y)
        return false;
    const int low = std::min(a.y, b.y);
    const int high = std::max(a.y, b.y);
    m_thumbY = std::clamp(m_thumbY + event->value, low, high);
    if (m_pBarButton)
        m_pBarButton->SetPosition(m_pBarButton->GetPositionX(), m_thumbY - m_positionY);
    m_position = m_target = Clamp01(static_cast<float>(m_thumbY - a.y) / static_cast<float>(b.y - a.y));
    LayoutList();
    // The cursor moves on with the same event.
    return false;
}

void ScrollBar::LayoutList()
{
    const Gfx2DComp::ScrollList* list = GetOwner() ? GetOwner()->GetScrollList(m_scrollListName) : nullptr;
    if (!list)
        return;
    float total = 0.0f;
    for (const IScreenUnit* unit : *list)
        if (const auto* item = dynamic_cast<const CSprite*>(unit))
            total += item->GetHeight() + m_spacing;
    const float top = static_cast<float>(m_listTopLeft.y);
    const float bottom = static_cast<float>(m_listBottom.y);
    const float view = bottom - top;
    const bool fits = total <= view;
    float y = fits ? top : top - (total - view) * m_position;
    for (IScreenUnit* unit : *list)
    {
        auto* item = dynamic_cast<CSprite*>(unit);
        if (!item)
            continue;
        const float height = item->GetHeight();
        float alpha = 1.0f;
        if (!fits)
        {
            const float d = y < top ? top - y : (y > bottom ? y - bottom : 0.0f);
            alpha = d <= 0.0f ? 1.0f : (height > 0.0f && d < height ? 1.0f - d / height : 0.0f);
        }
        item->SetPosition(m_listTopLeft.x, static_cast<int>(y));
        item->SetAlpha(alpha, true);
        y += height + m_spacing;
    }
}
} // namespace gfx
} // namespace dorvo

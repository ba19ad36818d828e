// The badge beside the mouse cursor that shows what the next click in the room creates: a round
// coloured badge carrying the icon of the widget manipulator's creation type, following the
// cursor while the type is set. The manipulator opens it when it is given a type and closes it
// when the type is cleared; the icon shown is always the current type's, also for a type set
// while the badge is open.
#pragma once

#include "game/menus/StaticMenu.h"

#include <cstddef>

namespace QUORB
{
class MouseWidgetSelMenu : public StaticMenu
{
public:
    struct Icon
    {
        const char* type; // the creation type
        const char* texture;
        const char* name;
    };
    static constexpr std::size_t kIconCount = 13;
    static const Icon kIcons[kIconCount];

    static constexpr int kCursorOffsetX = 25; // pixels from the cursor's screen point
    static constexpr int kCursorOffsetY = 10;

    explicit MouseWidgetSelMenu(StateMachineComponent* owner);

protected:
    // Only the icon of the current type shows (none for a type without one).
    void OnOpened() override;
    void Init() override;
    // The current type's icon, and the badge to the cursor.
    void UpdateOpen() override;

private:
    void ShowIconOfCurrentType();
};
} // namespace QUORB

// The column of five round toggles at the right edge of the screen with which the author of a
// puzzle, in create-puzzle mode, chooses the widget types its player may buy: each toggle sets or
// clears one bit of the focused puzzle's AvailableWidgets mask, and a cross over its icon marks a
// type that is off. The last type that is on cannot be switched off. The look-at menu opens it
// when a puzzle is entered in create-puzzle mode, the start-puzzle menu closes it while a test run
// is under way, and leaving the puzzle closes it. Without a focused puzzle it changes nothing.
#pragma once

#include "game/menus/LinearMoveMenu.h"

#include <cstddef>
#include <string>

namespace QUORB
{
class CreatorMenu : public LinearMoveMenu
{
public:
    // One widget type of the column, top to bottom.
    struct WidgetType
    {
        const char* toggle;    // the check button, alone in its radio group
        const char* iconImage; // under "hud/"
        const char* icon;      // the icon sprite under the toggle
        const char* cross;     // the cross sprite over the icon, shown while the type is off
        int bit;               // of AvailableWidgets
        const char* onTip;     // the tool tip while the type is on
        const char* offTip;    // the tool tip while the type is off
    };
    static constexpr std::size_t kTypeCount = 5;
    // Platform 1, bar 4, accelerator 16, gravity switch 2, magnet 8: the column's order is not
    // the bits' order.
    static const WidgetType kTypes[kTypeCount];
    // The five bits together; other bits of the mask are left alone and count as no type.
    static constexpr int kTypeBits = 31;
    static const char* const kGroupPrefix;  // "WidgetType": group i is "WidgetType" + i
    static const char* const kLastTypeText; // "You need to enable at least 1 type of widget."

    explicit CreatorMenu(StateMachineComponent* owner);

    // The row of a toggle's name; kTypeCount for a name that is no toggle.
    static std::size_t FindType(const std::string& toggle);

protected:
    // A toggle was checked: its type is switched on.
    void OnButtonPressed(const std::string& name) override;
    // The end of the slide in: every toggle, cross and tip shows the focused puzzle's mask.
    void OnOpened() override;
    // A toggle was unchecked: its type is switched off, unless it is the last one on, which is
    // refused with an editor message and stays on.
    void OnButtonUnPressed(const std::string& name) override;

private:
    // The row's cross and tip as the type is on or off.
    void ShowType(std::size_t row, bool on);
};
} // namespace QUORB

// The editor bar from which the player picks what the next click in the room creates: a row of
// square check buttons along the bottom of the screen, one for each widget type the focused
// puzzle allows (every type, star objects and objectives too, in create-puzzle mode), each with
// its icon, its tip and the hot key of its place (Z X C V B N M A S D F G H). Checking a button
// hands its type to the widget manipulator, which opens the mouse badge; unchecking it clears the
// type. The row is laid out anew at every opening and slides in from the left.
#pragma once

#include "game/menus/LinearMoveMenu.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace QUORB
{
class WidgetChoiceMenu : public LinearMoveMenu
{
public:
    struct Entry
    {
        const char* button;
        const char* iconTexture;
        const char* icon;
        const char* type;      // the creation type handed to the manipulator
        unsigned availableBit; // of the puzzle's AvailableWidgets; 0: offered in create-puzzle mode only
        const char* tip;
        bool enabled;
    };
    static constexpr std::size_t kEntryCount = 13;
    static const Entry kEntries[kEntryCount];
    // The input codes of the keys Z X C V B N M A S D F G H, by place in the row.
    static const std::uint32_t kHotKeys[kEntryCount];
    static const char* const kGroup; // "WidgetChoice"

    static constexpr int kOpenX = 150; // pixels; 0 in create-puzzle mode
    static constexpr int kOpenY = 560;
    static constexpr int kClosedX = -300;

    explicit WidgetChoiceMenu(StateMachineComponent* owner);

    // The creation type of a button, or null for a name that is none of the row's.
    static const char* TypeOfButton(const std::string& name);

protected:
    void OnButtonPressed(const std::string& name) override;
    // Lays the row out for the focused puzzle (or create-puzzle mode), then slides.
    void OpenTransition(float duration) override;
    void OnClosed() override;
    void Reset() override;
    void OnButtonUnPressed(const std::string& name) override;

private:
    void Layout();
    void UncheckAll();
};
} // namespace QUORB

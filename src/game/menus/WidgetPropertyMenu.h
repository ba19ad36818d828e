// The editor bar above the widget choice bar that shows, for the widget, star object or
// objective selected in the room, one button for each property the player can edit: friction,
// weight, magnetic charge, strength, direction, scale, number of star objects, time interval. A
// property button opens the value editor ("PropValueMenu") on that property. The widget
// manipulator resets the bar on every selection and opens it (shown buttons only), and closes it
// when the selection goes; closing unchecks the buttons and closes the value editor.
#pragma once

#include "game/menus/LinearMoveMenu.h"

#include <cstddef>
#include <string>
#include <vector>

class Gob;

namespace QUORB
{
class WidgetPropertyMenu : public LinearMoveMenu
{
public:
    struct Property
    {
        const char* button; // the last two carry their icons' names
        const char* iconTexture;
        const char* icon;
        const char* tip;
    };
    // Indexed by the property code the value editor is sent.
    static constexpr std::size_t kPropertyCount = 8;
    static const Property kProperties[kPropertyCount];
    static const char* const kGroup; // "WidgetProp"

    static constexpr int kOpenX = 150; // pixels; 0 in create-puzzle mode
    static constexpr int kOpenY = 525;
    static constexpr int kClosedX = -300;

    explicit WidgetPropertyMenu(StateMachineComponent* owner);

    // The property codes shown for an object, by its archetype (and, for star objects, its
    // template); false when the layout is skipped (a squash or destruction objective, anything
    // not editable): the buttons then keep what they showed.
    static bool CodesFor(const Gob& gob, std::vector<int>& codes);
    // The code of a property button, -1 for a name that is none.
    static int CodeOfButton(const std::string& name);

protected:
    // The code to the value editor, which is reset and, when closed, opened.
    void OnButtonPressed(const std::string& name) override;
    void OpenTransition(float duration) override;
    void OnClosed() override;
    // The buttons of the selection's properties; nothing without a selection.
    void Reset() override;

private:
    void UncheckAllAndCloseEditor();
};
} // namespace QUORB

// The editor bar above the widget property bar that edits one property of the selection: the
// choices of the property chosen there as a row of check buttons (the current value checked),
// or, for a time interval, two buttons that step it by 5 s beside a box showing it ("N secs").
// A choice is written at once to the selected object and to every further selected object that
// can take it. The property bar sends the property code (MSG_SetCustomData), then resets the bar
// and opens it (shown buttons only); the property bar and the manipulator close it.
#pragma once

#include "game/menus/LinearMoveMenu.h"

#include <cstddef>
#include <string>
#include <vector>

class Gob;

namespace QUORB
{
class IObjective;
class IWidgetData;

class PropValueMenu : public LinearMoveMenu
{
public:
    struct ValueButton
    {
        const char* button;
        const char* iconTexture;
        const char* icon; // the step buttons' icons keep their files' names
        const char* tip;
    };
    // Buttons 0 to 19 are check buttons of the radio group "WidgetProp", 20 to 22 plain buttons.
    static constexpr std::size_t kButtonCount = 23;
    static const ValueButton kButtons[kButtonCount];
    static constexpr std::size_t kCheckButtonCount = 20;
    static const char* const kGroup;     // "WidgetProp"
    static const char* const kValueBox;  // "ValueTextBackground"
    static const char* const kValueText; // "ValueText"

    static constexpr int kOpenX = 150; // pixels; 0 in create-puzzle mode
    static constexpr int kOpenY = 490;
    static constexpr int kClosedX = -300;
    static constexpr float kIntervalStep = 5.0f; // seconds a step button adds or takes
    static constexpr float kMaxInterval = 180.0f;

    explicit PropValueMenu(StateMachineComponent* owner);

    // The value buttons a property code shows for an object, and whether the value box shows;
    // false for a code outside 0 to 7, or a direction for an object that is neither gravity
    // switch nor accelerator.
    static bool ButtonsFor(int code, const Gob& gob, std::vector<int>& buttons, bool& showValueText);
    // The index of a value button, -1 for a name that is none.
    static int IndexOfButton(const std::string& name);
    // A time interval as the value box shows it: default stream formatting and " secs".
    static std::string FormatInterval(float seconds);
    // The objective of an object: its own, or (for an end marker that holds none) that of the
    // object its GobIDComp links; null when there is none or the link leads nowhere.
    static IObjective* ObjectiveOf(Gob* gob);
    // The value of button index written to every entry of the list that can take it (the others
    // are skipped): frictions, weight, charge, strength, direction, and the accelerators' toggle.
    static void ApplyToWidgetData(int index, const std::vector<IWidgetData*>& list);
    // The scale buttons act on every location and target objective of the list; the star-object
    // count and the time-interval steps on own (the selected object's objective) only.
    static void ApplyToObjectives(int index, IObjective* own, const std::vector<IObjective*>& list);

protected:
    // Writes the pressed button's value to the selection.
    void OnButtonPressed(const std::string& name) override;
    void OpenTransition(float duration) override;
    void OnClosed() override;
    // The buttons of the property in the custom data, the selection's current value checked;
    // without a selection the bar closes itself.
    void Reset() override;

private:
    void ShowCurrentValue(Gob& selected);
    void Check(int index);
    void SetValueText(float seconds);
};
} // namespace QUORB
